#include "Files.h"

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace Files {

std::optional<std::string> read(const std::string& path, size_t maxBytes)
{
    // Opened without blocking so that a named pipe standing at the path cannot
    // hold the caller; anything but a regular file is refused before reading.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::string out;
    // Room for the whole file and the padding a fast JSON parser reads past
    // the end, so the text grows once.
    out.reserve(static_cast<size_t>(st.st_size) + kReadSlack);
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
        if (static_cast<size_t>(n) > maxBytes - out.size()) {
            ::close(fd);
            return std::nullopt;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return out;
}

namespace {

// Removes PATH.tmp-XXXXXX files (the temporary names writeAtomically makes)
// whose last change is older than ten minutes: a write in progress in another
// process is never that old, a leftover of a killed one is.
void removeStaleTemporaries(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    while (dirent* e = ::readdir(dir)) {
        std::string_view name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.substr(0, prefix.size()) != prefix)
            continue;
        struct stat st = {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || now - st.st_mtime < 600)
            continue;
        ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

bool writeAtomically(const std::string& path, const std::string& data, Durability durability)
{
    removeStaleTemporaries(path);
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
    ok = ok && fchmod(fd, 0644) == 0 && (durability == Durability::Cache || fsync(fd) == 0);
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
