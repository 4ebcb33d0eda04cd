#include "Files.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace Files {

std::optional<std::string> read(const std::string& path)
{
    // Opened without blocking so that a named pipe standing at the path cannot
    // hold the caller; anything but a regular file is refused before reading.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

bool writeAtomically(const std::string& path, const std::string& data)
{
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = mkstemp(tmp.data());
    if (fd < 0)
        return false;
    const char* p = data.data();
    size_t left = data.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(tmp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(tmp.c_str());
    return false;
}

bool makeDirs(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

} // namespace Files
