// SPDX-License-Identifier: GPL-3.0-or-later
#include "Files.h"

#include "Strings.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <numeric>
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
    out.reserve(static_cast<size_t>(st.st_size)); // the text grows once

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

// The suffix mkstemp fills in: ".tmp-" and six characters.
constexpr std::string_view kTmpMark = ".tmp-";
constexpr size_t kTmpLength = kTmpMark.size() + 6;

// Removes the temporary files in folder (names "<target>.tmp-XXXXXX", as
// AtomicFile makes them) whose target owns accepts and whose last change is
// older than ten minutes: a write in progress in another process is never
// that old, a leftover of a killed one is.
template <typename Owns> void removeStale(const std::string& folder, Owns owns)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const time_t now = ::time(nullptr);
    while (dirent* e = ::readdir(dir)) {
        std::string_view name = e->d_name;
        if (name.size() <= kTmpLength ||
            name.substr(name.size() - kTmpLength, kTmpMark.size()) != kTmpMark ||
            !owns(name.substr(0, name.size() - kTmpLength)))
            continue;
        struct stat st = {};
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || now - st.st_mtime < 600)
            continue;
        ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

// The stale temporaries of earlier writes to path itself.
void removeStaleTemporaries(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string target = slash == std::string::npos ? path : path.substr(slash + 1);
    removeStale(folder, [&target](std::string_view name) { return name == target; });
}

} // namespace

AtomicFile::AtomicFile(const std::string& path) : m_path(path)
{
    removeStaleTemporaries(path);
    m_tmp = path + ".tmp-XXXXXX";
    m_fd = mkstemp(m_tmp.data());
    m_ok = m_fd >= 0;
}

AtomicFile::~AtomicFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_tmp.c_str());
    }
}

bool AtomicFile::append(std::string_view data)
{
    while (m_ok && !data.empty()) {
        ssize_t n = ::write(m_fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            m_ok = false;
        else
            data.remove_prefix(static_cast<size_t>(n));
    }
    return m_ok;
}

bool AtomicFile::commit(Durability durability)
{
    if (m_fd < 0)
        return false;
    bool ok =
        m_ok && fchmod(m_fd, 0644) == 0 && (durability == Durability::Cache || fsync(m_fd) == 0);
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    if (ok && ::rename(m_tmp.c_str(), m_path.c_str()) == 0)
        return true;
    ::unlink(m_tmp.c_str());
    return false;
}

void removeStaleTemporaries(const std::string& folder, std::string_view prefix,
                            std::string_view suffix)
{
    removeStale(folder, [prefix, suffix](std::string_view name) {
        return name.size() >= prefix.size() + suffix.size() && name.starts_with(prefix) &&
               name.ends_with(suffix);
    });
}

bool writeAtomically(const std::string& path, const std::string& data, Durability durability)
{
    AtomicFile file(path);
    return file.append(data) && file.commit(durability);
}

bool belowWithoutLinks(const std::string& base, const std::string& path, bool folderOnly)
{
    std::string_view top = base;
    while (top.size() > 1 && top.back() == '/')
        top.remove_suffix(1);
    if (top.empty() || path.size() <= top.size() + 1 || !path.starts_with(top) ||
        (top != "/" && path[top.size()] != '/'))
        return false;
    // Each step from base down, the candidate last.
    for (size_t slash = path.find('/', top.size() + 1);; slash = path.find('/', slash + 1)) {
        const std::string step = path.substr(0, slash);
        struct stat st = {};
        if (::lstat(step.c_str(), &st) != 0)
            return false;
        if (slash == std::string::npos)
            return S_ISDIR(st.st_mode) || (!folderOnly && !S_ISLNK(st.st_mode));
        if (!S_ISDIR(st.st_mode))
            return false;
    }
}

bool isFolder(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t ownSize(const std::string& path)
{
    struct stat st = {};
    if (::lstat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<int64_t>(st.st_size);
}

bool makeDirs(const std::string& path)
{
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

std::vector<bool> insideOthers(const std::vector<std::string>& paths)
{
    // Each path as a key in which every separator is a NUL byte, which no
    // name holds: sorted by bytes, a folder then comes right before all that
    // lies inside it ("a" < "a\0b" < "a-b"), so one pass that remembers the
    // last outer path finds every nested one.
    std::vector<std::string> keys;
    keys.reserve(paths.size());
    for (const auto& path : paths) {
        std::string key;
        key.reserve(path.size());
        for (char c : path) {
            if (c != '/')
                key += c;
            else if (key.empty() || key.back() != '\0')
                key += '\0';
        }
        if (!key.empty() && key.back() == '\0')
            key.pop_back(); // "/" becomes "", the key every absolute path lies in
        keys.push_back(std::move(key));
    }
    std::vector<size_t> order(paths.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });

    std::vector<bool> inside(paths.size(), false);
    const std::string* outer = nullptr;
    for (size_t i : order) {
        if (paths[i].empty())
            continue;
        const std::string& key = keys[i];
        if (outer && key.starts_with(*outer) &&
            (key.size() == outer->size() || key[outer->size()] == '\0')) {
            inside[i] = true;
            continue;
        }
        outer = &key;
    }
    return inside;
}

int64_t outerTotal(const std::vector<std::string>& paths, const std::vector<int64_t>& sizes)
{
    const std::vector<bool> inside = insideOthers(paths);
    int64_t total = 0;
    for (size_t i = 0; i < paths.size() && i < sizes.size(); ++i) {
        if (inside[i])
            continue;
        total = Strings::addSaturated(total, sizes[i]);
    }
    return total;
}

int64_t modifiedNanoseconds(const struct stat& st)
{
#ifdef __APPLE__
    return int64_t(st.st_mtimespec.tv_sec) * 1000000000 + st.st_mtimespec.tv_nsec;
#else
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
}

} // namespace Files
