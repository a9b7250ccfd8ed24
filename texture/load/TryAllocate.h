// Allocation that answers null instead of throwing: the load path declines
// or fails with E_OUTOFMEMORY, and no exception leaves the library.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace valmere {

// Default-initialised memory for `count` values (at least one), or null.
template <class T>
std::unique_ptr<T[]> TryAllocate(std::size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count == 0 ? 1 : count]);
}

}  // namespace valmere
