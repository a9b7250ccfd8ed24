#include "platform/host/ReplaceFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>

namespace valmere::host {
namespace {

// Creates a file beside `target` whose name no other writer, in this process
// or another, uses: ".<name>.<process>.<count>.tmp".
std::FILE* CreateTemporaryBeside(const std::string& target, std::string& name) {
    static std::atomic<unsigned> count{0};
    const std::filesystem::path path(target);
    const std::string prefix = "." + path.filename().string() + "." + std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = (path.parent_path() / (prefix + std::to_string(count++) + ".tmp")).string();
        // 0666 less the umask, as for any file the program creates.
        const int descriptor = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        if (std::FILE* file = ::fdopen(descriptor, "wb")) return file;
        const int saved = errno;
        ::close(descriptor);
        std::remove(name.c_str());
        errno = saved;
        return nullptr;
    }
    return nullptr;
}

}  // namespace

bool WriteReplacing(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    std::string temporary;
    std::FILE* file = CreateTemporaryBeside(path, temporary);
    if (!file) return false;
    errno = 0;
    bool ok = write(file);
    int saved = errno;
    // The last buffered bytes reach the disk at the close.
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    if (ok) saved = errno;
    std::remove(temporary.c_str());
    errno = saved;
    return false;
}

}  // namespace valmere::host
