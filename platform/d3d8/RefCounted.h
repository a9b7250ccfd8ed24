// The one reference-counting base of the platform's interfaces.
//
// Ownership rule: a Create call hands its caller one reference; a Get call
// (GetSurfaceLevel, GetDevice, GetTexture, ...) adds one that the caller
// releases. An object is destroyed when its count reaches zero.
//
// Sub-objects that live inside a container (the surfaces of a texture, the
// volumes of a volume texture) have no count of their own: their AddRef and
// Release go to the container, so a surface keeps its texture alive and is
// destroyed with it, as in Direct3D 8.
#pragma once

#include <cassert>
#include <cstdlib>

#include "platform/win32/Win32.h"

namespace valmere::d3d8 {

// A Release below zero is a broken invariant of the caller: stop in debug
// builds; release builds ignore the call instead of freeing twice.
inline void ReportReferenceUnderflow() {
#ifndef NDEBUG
    assert(!"Release called on an object without references");
    std::abort();
#endif
}

// nullOutResult: what QueryInterface answers for a null out-pointer (COM's
// E_POINTER; the extension library's objects answer D3DERR_INVALIDCALL).
template <class Interface, HRESULT nullOutResult = E_POINTER>
class RefCounted : public Interface {
public:
    ULONG AddRef() override {
        if (container_ != nullptr) return container_->AddRef();
        return ++count_;
    }

    ULONG Release() override {
        if (container_ != nullptr) return container_->Release();
        if (count_ == 0) {
            ReportReferenceUnderflow();
            return 0;
        }
        const ULONG remaining = --count_;
        if (remaining == 0) delete this;
        return remaining;
    }

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return nullOutResult;
        if (riid != IID_IUnknown && !ImplementsInterface(riid)) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

protected:
    // container: the object whose count this one shares, or null for an
    // object with a count of its own (which starts at one).
    explicit RefCounted(IUnknown* container = nullptr) : container_(container) {}
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    // Whether QueryInterface answers riid (IID_IUnknown is always answered).
    virtual bool ImplementsInterface(REFIID riid) const = 0;

    IUnknown* Container() const { return container_; }

private:
    IUnknown* container_;
    ULONG count_ = 1;
};

}  // namespace valmere::d3d8
