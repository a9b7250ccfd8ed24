// A replaced global allocator for tests that make allocations fail: while
// armed, allocation number `failAt` (counted from 0) fails (null from the
// nothrow forms, std::bad_alloc from the others), `count` counts the
// allocations made and `live` follows those made and freed meanwhile.
//
// The header defines the global operator new and delete: include it in one
// source file of an executable of its own.
#pragma once

#include <cstdlib>
#include <new>

namespace valmere::test {

struct AllocationInjection {
    bool armed = false;
    long count = 0;
    long failAt = -1;
    long live = 0;
    bool failed = false;
};

inline AllocationInjection g_allocations;

[[gnu::noinline]] inline void* InjectedAllocate(std::size_t size) {
    AllocationInjection& a = g_allocations;
    if (a.armed && a.count++ == a.failAt) {
        a.failed = true;
        return nullptr;
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p && a.armed) ++a.live;
    return p;
}

[[gnu::noinline]] inline void InjectedFree(void* p) {
    if (p && g_allocations.armed) --g_allocations.live;
    std::free(p);
}

}  // namespace valmere::test

void* operator new(std::size_t size) {
    if (void* p = valmere::test::InjectedAllocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = valmere::test::InjectedAllocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return valmere::test::InjectedAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return valmere::test::InjectedAllocate(size);
}
void operator delete(void* p) noexcept { valmere::test::InjectedFree(p); }
void operator delete[](void* p) noexcept { valmere::test::InjectedFree(p); }
void operator delete(void* p, std::size_t) noexcept { valmere::test::InjectedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { valmere::test::InjectedFree(p); }
