#include "texture/image/MappedFile.h"

#include "texture/D3DXTexture.h"

#include <string>

namespace valmere {
namespace {

constexpr DWORD kPlatformNt = 2;

bool IsNtPlatform() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == kPlatformNt;
}

// The wide name in the ANSI code page; empty when it cannot be converted.
std::string ToAnsi(LPCWSTR wide) {
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow.data(), bytes, nullptr, nullptr) != bytes) {
        return {};
    }
    narrow.resize(static_cast<std::size_t>(bytes) - 1);
    return narrow;
}

}  // namespace

HRESULT MappedFile::Open(LPCSTR fileName) {
    if (!fileName) {
        return D3DERR_INVALIDCALL;
    }
    Close();
    file_ = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS,
                        nullptr);
    return Map();
}

HRESULT MappedFile::Open(LPCWSTR fileName) {
    if (!fileName) {
        return D3DERR_INVALIDCALL;
    }
    if (!IsNtPlatform()) {
        const std::string narrow = ToAnsi(fileName);
        return narrow.empty() ? D3DXERR_INVALIDDATA : Open(narrow.c_str());
    }
    Close();
    file_ = CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_RANDOM_ACCESS,
                        nullptr);
    return Map();
}

HRESULT MappedFile::Map() {
    if (file_ == INVALID_HANDLE_VALUE) {
        return D3DXERR_INVALIDDATA;
    }
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping_) {
        Close();
        return D3DXERR_INVALIDDATA;
    }
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    const DWORD size = view_ ? GetFileSize(file_, nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE) {
        Close();
        return D3DXERR_INVALIDDATA;
    }
    size_ = size;
    return S_OK;
}

void MappedFile::Close() {
    if (view_) {
        UnmapViewOfFile(view_);
        view_ = nullptr;
    }
    if (mapping_) {
        CloseHandle(mapping_);
        mapping_ = nullptr;
    }
    if (file_ != INVALID_HANDLE_VALUE) {
        CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    size_ = 0;
}

HRESULT ResourceBlock::Open(HMODULE module, LPCSTR name) {
    HRSRC resource = FindResourceA(module, name, RT_BITMAP);
    if (!resource) {
        resource = FindResourceA(module, name, RT_RCDATA);
    }
    return Load(module, resource);
}

HRESULT ResourceBlock::Open(HMODULE module, LPCWSTR name) {
    HRSRC resource = FindResourceW(module, name, MAKEINTRESOURCEW(2));
    if (!resource) {
        resource = FindResourceW(module, name, MAKEINTRESOURCEW(10));
    }
    return Load(module, resource);
}

HRESULT ResourceBlock::Load(HMODULE module, HRSRC resource) {
    if (!resource) {
        return D3DXERR_INVALIDDATA;
    }
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL handle = size ? LoadResource(module, resource) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) {
        return D3DXERR_INVALIDDATA;
    }
    data_ = static_cast<const BYTE*>(data);
    size_ = size;
    return S_OK;
}

}  // namespace valmere
