// Handles of the kernel32 stand-in: every HANDLE given out points at a live
// KernelObject registered here, so a stale or made-up handle is refused
// instead of being dereferenced.
#pragma once

#include <memory>

#include "platform/win32/Win32.h"

namespace valmere::win32 {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

// Takes ownership and returns the handle.
HANDLE RegisterHandle(std::unique_ptr<KernelObject> object);
// The object behind a live handle of type T, or null.
KernelObject* LookUpHandle(HANDLE handle);
template <typename T>
T* LookUpHandleAs(HANDLE handle) {
    return dynamic_cast<T*>(LookUpHandle(handle));
}
// Destroys the object; false for a handle that is not live.
bool CloseRegisteredHandle(HANDLE handle);

}  // namespace valmere::win32
