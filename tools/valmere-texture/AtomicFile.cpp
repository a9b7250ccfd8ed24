#include "tools/valmere-texture/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace valmere::tools {

bool WriteFileAtomically(const std::string& path, std::span<const std::span<const std::byte>> pieces,
                         std::string& error) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = std::string("cannot create a file beside it: ") + std::strerror(errno);
        return false;
    }
    bool ok = true;
    for (std::span<const std::byte> piece : pieces) {
        const std::byte* p = piece.data();
        std::size_t left = piece.size();
        while (ok && left > 0) {
            const ssize_t n = write(fd, p, left);
            if (n < 0 && errno == EINTR) continue;
            ok = n > 0;
            if (ok) {
                p += n;
                left -= static_cast<std::size_t>(n);
            }
        }
    }
    int saved = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    // mkstemp makes the file 0600; give it what a plain create would.
    const mode_t mask = umask(0);
    umask(mask);
    if (ok && chmod(temporary.c_str(), 0666 & ~mask) != 0) {
        ok = false;
        saved = errno;
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        error = std::string("cannot write: ") + std::strerror(saved);
    }
    return ok;
}

}  // namespace valmere::tools
