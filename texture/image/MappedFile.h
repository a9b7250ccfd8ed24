// The bytes of a whole file or resource as one read-only block, for the
// image-information and texture-from-file entry points.
#pragma once

#include "platform/win32/Win32.h"

#include <cstddef>

namespace valmere {

// A file mapped whole, read-only, through the platform's file mapping calls.
// Closed by Close or the destructor; the bytes stay valid until then.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { Close(); }

    // D3DERR_INVALIDCALL for a null name; D3DXERR_INVALIDDATA when the file
    // cannot be opened, mapped or sized (what was opened is released).
    HRESULT Open(LPCSTR fileName);
    // A wide name; on a platform outside the NT family it is converted to the
    // ANSI code page and opened as an ANSI name.
    HRESULT Open(LPCWSTR fileName);
    void Close();

    const BYTE* Data() const { return static_cast<const BYTE*>(view_); }
    std::size_t Size() const { return size_; }

private:
    HRESULT Map();

    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    LPCVOID view_ = nullptr;
    std::size_t size_ = 0;
};

// A resource of a module, looked up as RT_BITMAP and then as RT_RCDATA.
// Resource memory belongs to the module; nothing is freed.
class ResourceBlock {
public:
    // D3DXERR_INVALIDDATA when the resource is missing, empty or cannot be
    // loaded or locked.
    HRESULT Open(HMODULE module, LPCSTR name);
    HRESULT Open(HMODULE module, LPCWSTR name);

    const BYTE* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    HRESULT Load(HMODULE module, HRSRC resource);

    const BYTE* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace valmere
