#include "platform/win32/KernelObjects.h"

#include <map>
#include <mutex>

namespace valmere::win32 {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::map<HANDLE, std::unique_ptr<KernelObject>> objects;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

}  // namespace

HANDLE RegisterHandle(std::unique_ptr<KernelObject> object) {
    std::lock_guard lock(Table().mutex);
    HANDLE handle = object.get();
    Table().objects[handle] = std::move(object);
    return handle;
}

KernelObject* LookUpHandle(HANDLE handle) {
    std::lock_guard lock(Table().mutex);
    const auto found = Table().objects.find(handle);
    return found == Table().objects.end() ? nullptr : found->second.get();
}

bool CloseRegisteredHandle(HANDLE handle) {
    std::unique_ptr<KernelObject> object;
    {
        std::lock_guard lock(Table().mutex);
        const auto found = Table().objects.find(handle);
        if (found == Table().objects.end()) return false;
        object = std::move(found->second);
        Table().objects.erase(found);
    }
    return true;  // the object is destroyed outside the lock
}

}  // namespace valmere::win32
