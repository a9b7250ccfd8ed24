// Files and read-only file mappings over the real file system (POSIX).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>
#include <mutex>
#include <string>

#include "platform/host/Host.h"
#include "platform/win32/KernelObjects.h"

namespace valmere::win32 {
namespace {

thread_local DWORD lastError = 0;

class FileObject final : public KernelObject {
public:
    explicit FileObject(int descriptor) : fd(descriptor) {}
    ~FileObject() override { ::close(fd); }
    int fd;
};

class MappingObject final : public KernelObject {
public:
    MappingObject(int descriptor, std::size_t bytes) : fd(descriptor), size(bytes) {}
    ~MappingObject() override { ::close(fd); }
    int fd;  // a duplicate: the mapping outlives the file handle
    std::size_t size;
};

struct Views {
    std::mutex mutex;
    std::map<const void*, std::size_t> sizes;
};

Views& MappedViews() {
    static Views views;
    return views;
}

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return static_cast<DWORD>(ERROR_FILE_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EISDIR:
        return static_cast<DWORD>(ERROR_ACCESS_DENIED);
    case ENOMEM:
        return static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY);
    default:
        return static_cast<DWORD>(ERROR_INVALID_PARAMETER);
    }
}

HANDLE OpenFile(const std::string& path, DWORD access, DWORD creation) {
    if (host::CurrentHost().ShouldFail("CreateFileA")) {
        lastError = static_cast<DWORD>(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    const bool reads = (access & GENERIC_READ) != 0;
    const bool writes = (access & GENERIC_WRITE) != 0;
    flags |= reads && writes ? O_RDWR : (writes ? O_WRONLY : O_RDONLY);
    if (creation == CREATE_ALWAYS) flags |= O_CREAT | O_TRUNC;
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        lastError = ErrorFromErrno(errno);
        return INVALID_HANDLE_VALUE;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        lastError = static_cast<DWORD>(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return RegisterHandle(std::make_unique<FileObject>(fd));
}

}  // namespace
}  // namespace valmere::win32

using namespace valmere::win32;

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD /*shareMode*/, SECURITY_ATTRIBUTES* /*security*/,
                   DWORD creation, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (!fileName) {
        lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return OpenFile(fileName, access, creation);
}

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES* security, DWORD creation,
                   DWORD flags, HANDLE templateFile) {
    if (!fileName) {
        lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // File names are UTF-8 on this platform.
    const int bytes = WideCharToMultiByte(CP_ACP, 0, fileName, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, fileName, -1, narrow.data(), bytes, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(bytes - 1));
    return CreateFileA(narrow.c_str(), access, shareMode, security, creation, flags, templateFile);
}

DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    auto* object = LookUpHandleAs<FileObject>(file);
    struct stat info {};
    if (!object || ::fstat(object->fd, &info) != 0) {
        lastError = static_cast<DWORD>(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (sizeHigh) *sizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void* /*overlapped*/) {
    auto* object = LookUpHandleAs<FileObject>(file);
    if (!object || (!buffer && bytesToRead)) {
        lastError = static_cast<DWORD>(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const ssize_t got = ::read(object->fd, buffer, bytesToRead);
    if (got < 0) {
        lastError = ErrorFromErrno(errno);
        return FALSE;
    }
    if (bytesRead) *bytesRead = static_cast<DWORD>(got);
    return TRUE;
}

HANDLE CreateFileMappingA(HANDLE file, SECURITY_ATTRIBUTES* /*security*/, DWORD protect, DWORD maxSizeHigh,
                          DWORD maxSizeLow, LPCSTR /*name*/) {
    auto* object = LookUpHandleAs<FileObject>(file);
    if (!object || protect != PAGE_READONLY || valmere::host::CurrentHost().ShouldFail("CreateFileMappingA")) {
        lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(object->fd, &info) != 0) {
        lastError = ErrorFromErrno(errno);
        return nullptr;
    }
    std::uint64_t size = (static_cast<std::uint64_t>(maxSizeHigh) << 32) | maxSizeLow;
    if (size == 0) size = static_cast<std::uint64_t>(info.st_size);
    // As on Win32, an empty file cannot be mapped, and a read-only mapping
    // cannot be larger than the file.
    if (size == 0 || size > static_cast<std::uint64_t>(info.st_size) || size > SIZE_MAX) {
        lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int duplicate = ::fcntl(object->fd, F_DUPFD_CLOEXEC, 0);
    if (duplicate < 0) {
        lastError = ErrorFromErrno(errno);
        return nullptr;
    }
    return RegisterHandle(std::make_unique<MappingObject>(duplicate, static_cast<std::size_t>(size)));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, std::size_t bytes) {
    auto* object = LookUpHandleAs<MappingObject>(mapping);
    if (!object || access != FILE_MAP_READ || offsetHigh != 0 || offsetLow != 0 || bytes > object->size ||
        valmere::host::CurrentHost().ShouldFail("MapViewOfFile")) {
        lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::size_t length = bytes ? bytes : object->size;
    void* address = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, object->fd, 0);
    if (address == MAP_FAILED) {
        lastError = ErrorFromErrno(errno);
        return nullptr;
    }
    std::lock_guard lock(MappedViews().mutex);
    MappedViews().sizes[address] = length;
    return address;
}

BOOL UnmapViewOfFile(LPCVOID address) {
    std::size_t length = 0;
    {
        std::lock_guard lock(MappedViews().mutex);
        const auto found = MappedViews().sizes.find(address);
        if (found == MappedViews().sizes.end()) {
            lastError = static_cast<DWORD>(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        length = found->second;
        MappedViews().sizes.erase(found);
    }
    ::munmap(const_cast<void*>(address), length);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    if (!CloseRegisteredHandle(handle)) {
        lastError = static_cast<DWORD>(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
