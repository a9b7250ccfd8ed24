// The in-memory registry: a map from (root, key path) to named values. Key
// paths and value names compare without regard to case.
#include "platform/win32/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace valmere::win32 {
namespace {

std::string Folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct Key {
    std::map<std::string, Value> values;  // by folded name
};

struct OpenKey {
    std::uintptr_t root;
    std::string path;
};

class RegistryStore {
public:
    RegistryStore() { Reset(); }

    void Reset() {
        keys_.clear();
        open_.clear();
        // The Direct3D key always exists; its switches come from the environment.
        const std::string direct3D = KeyName(HKEY_LOCAL_MACHINE, "Software\\Direct3D");
        keys_[direct3D];
        SeedFromEnvironment(direct3D, "VALMERE_DISABLE_MMX", "DisableMMX");
        SeedFromEnvironment(direct3D, "VALMERE_DISABLE_D3DXPSGP", "DisableD3DXPSGP");
    }

    static std::string KeyName(HKEY root, const std::string& path) {
        return std::to_string(reinterpret_cast<std::uintptr_t>(root)) + "\\" + Folded(path);
    }

    void Set(const std::string& key, const std::string& name, DWORD type, const void* data, std::size_t bytes) {
        Value& value = keys_[key].values[Folded(name)];
        value.type = type;
        const BYTE* first = static_cast<const BYTE*>(data);
        value.data.assign(first, first + (data ? bytes : 0));
    }

    void Delete(const std::string& key, const std::string& name) {
        auto found = keys_.find(key);
        if (found != keys_.end()) found->second.values.erase(Folded(name));
    }

    void DeleteKey(const std::string& key) { keys_.erase(key); }

    LONG Open(HKEY root, const char* subKey, HKEY* result) {
        if (!result) return ERROR_INVALID_PARAMETER;
        const std::string path = subKey ? subKey : "";
        const std::string name = KeyName(root, path);
        if (keys_.count(name) == 0) return ERROR_FILE_NOT_FOUND;
        // Handles are small integers above the predefined roots' range.
        const std::uintptr_t handle = nextHandle_++;
        open_[handle] = name;
        *result = reinterpret_cast<HKEY>(handle);
        return ERROR_SUCCESS;
    }

    LONG Query(HKEY key, const char* valueName, DWORD* type, BYTE* data, DWORD* dataBytes) {
        const auto open = open_.find(reinterpret_cast<std::uintptr_t>(key));
        if (open == open_.end()) return ERROR_INVALID_HANDLE;
        const auto storedKey = keys_.find(open->second);
        if (storedKey == keys_.end()) return ERROR_FILE_NOT_FOUND;
        const auto value = storedKey->second.values.find(Folded(valueName ? valueName : ""));
        if (value == storedKey->second.values.end()) return ERROR_FILE_NOT_FOUND;
        if (type) *type = value->second.type;
        const DWORD size = static_cast<DWORD>(value->second.data.size());
        if (data) {
            if (!dataBytes) return ERROR_INVALID_PARAMETER;
            if (*dataBytes < size) {
                *dataBytes = size;
                return ERROR_MORE_DATA;
            }
            std::memcpy(data, value->second.data.data(), size);
        }
        if (dataBytes) *dataBytes = size;
        return ERROR_SUCCESS;
    }

    LONG Close(HKEY key) {
        return open_.erase(reinterpret_cast<std::uintptr_t>(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }

    std::mutex mutex;

private:
    void SeedFromEnvironment(const std::string& key, const char* variable, const char* valueName) {
        const char* text = std::getenv(variable);
        if (!text || !*text) return;
        char* end = nullptr;
        const unsigned long number = std::strtoul(text, &end, 0);
        if (end == text) return;
        const DWORD value = static_cast<DWORD>(number);
        Set(key, valueName, REG_DWORD, &value, sizeof value);
    }

    std::map<std::string, Key> keys_;
    std::map<std::uintptr_t, std::string> open_;
    std::uintptr_t nextHandle_ = 0x1000;
};

RegistryStore& Store() {
    static RegistryStore store;
    return store;
}

}  // namespace

void SetRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD type,
                      const void* data, std::size_t bytes) {
    std::lock_guard lock(Store().mutex);
    Store().Set(RegistryStore::KeyName(root, keyPath), valueName, type, data, bytes);
}

void SetRegistryDword(HKEY root, const std::string& keyPath, const std::string& valueName, DWORD value) {
    SetRegistryValue(root, keyPath, valueName, REG_DWORD, &value, sizeof value);
}

void DeleteRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName) {
    std::lock_guard lock(Store().mutex);
    Store().Delete(RegistryStore::KeyName(root, keyPath), valueName);
}

void DeleteRegistryKey(HKEY root, const std::string& keyPath) {
    std::lock_guard lock(Store().mutex);
    Store().DeleteKey(RegistryStore::KeyName(root, keyPath));
}

void ResetRegistry() {
    std::lock_guard lock(Store().mutex);
    Store().Reset();
}

}  // namespace valmere::win32

using valmere::win32::Store;

namespace {

// The store's maps allocate (the first call builds the store); running out
// of memory is an error code of the call, as in Win32, not an exception.
template <class Call>
LONG WithStore(Call call) {
    try {
        std::lock_guard lock(Store().mutex);
        return call(Store());
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

}  // namespace

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, HKEY* result) {
    return WithStore([&](auto& store) { return store.Open(key, subKey, result); });
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD /*reserved*/, LPDWORD type, LPBYTE data,
                      LPDWORD dataBytes) {
    return WithStore([&](auto& store) { return store.Query(key, valueName, type, data, dataBytes); });
}

LONG RegCloseKey(HKEY key) {
    return WithStore([&](auto& store) { return store.Close(key); });
}
