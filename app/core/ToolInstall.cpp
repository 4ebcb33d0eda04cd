#include "ToolInstall.h"

#include "Platform.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace ToolInstall {

namespace {

std::string reasonOf(int err)
{
    return std::error_code(err, std::generic_category()).message();
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Whether the bytes of a regular file hold the marker. A file that cannot be
// opened or read (or is no regular file) counts as not holding it; the bytes
// are searched as they are, so a file in another encoding is searched too.
bool holdsMarker(const std::string& file)
{
    int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st = {};
    std::string bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char buf[65536];
        for (;;) {
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            bytes.append(buf, size_t(n));
        }
    }
    ::close(fd);
    return bytes.find(kMarker) != std::string::npos;
}

// Appends the block to an existing regular file (following a link to one).
StartupEdit appendBlock(const std::string& file)
{
    int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return StartupEdit::Skipped;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return StartupEdit::Skipped;
    }
    bool written = writeAll(fd, kBlock.data(), kBlock.size());
    ::close(fd);
    return written ? StartupEdit::Appended : StartupEdit::Skipped;
}

// Writes the block to a new file beside the start-up file and renames it into
// place without replacing anything that appeared there meanwhile.
StartupEdit createWithBlock(const std::string& file)
{
    std::string temp = file + ".tidlo-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return StartupEdit::Skipped;
    temp = name.data();
    bool written =
        writeAll(fd, kBlock.data(), kBlock.size()) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written) {
        ::unlink(temp.c_str());
        return StartupEdit::Skipped;
    }
    Platform::RenameResult moved = Platform::renameNoReplace(temp, file);
    if (moved == Platform::RenameResult::Moved)
        return StartupEdit::Created;
    ::unlink(temp.c_str());
    if (moved == Platform::RenameResult::TargetExists)
        return holdsMarker(file) ? StartupEdit::AlreadyThere : appendBlock(file);
    return StartupEdit::Skipped;
}

bool plainPathChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '.' || c == '_' || c == '-' || c == '+';
}

std::string shellQuoted(const std::string& path)
{
    bool plain = !path.empty();
    for (char c : path)
        plain = plain && plainPathChar(c);
    if (plain)
        return path;
    std::string out = "'";
    for (char c : path)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

std::string installedPath(const std::string& home)
{
    return home + "/bin/tclean";
}

std::string startupFile(const std::string& home, std::string_view shell)
{
    const size_t slash = shell.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? shell : shell.substr(slash + 1);
    if (name == "zsh")
        return home + "/.zshrc";
    if (name == "bash")
        return home + "/.bashrc";
    return home + "/.profile";
}

bool isInstalled(const std::string& home)
{
    struct stat st = {};
    return ::stat(installedPath(home).c_str(), &st) == 0;
}

StartupEdit addPathToShell(const std::string& file)
{
    if (holdsMarker(file))
        return StartupEdit::AlreadyThere;
    struct stat st = {};
    if (::lstat(file.c_str(), &st) != 0)
        return errno == ENOENT ? createWithBlock(file) : StartupEdit::Skipped;
    return appendBlock(file);
}

Outcome install(const std::string& source, const std::string& home, std::string_view shell)
{
    Outcome out;
    // The source is opened first, so a missing tool leaves an installed copy alone.
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        out.reason = reasonOf(errno);
        return out;
    }
    const std::string folder = home + "/bin";
    const std::string target = installedPath(home);
    ::mkdir(folder.c_str(), 0755);
    struct stat st = {};
    if (::lstat(target.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
        ::unlink(target.c_str());

    int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0755);
    if (fd < 0) {
        out.reason = reasonOf(errno);
        ::close(in);
        return out;
    }
    int err = 0;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            err = errno;
        if (n <= 0)
            break;
        if (!writeAll(fd, buf, size_t(n))) {
            err = errno ? errno : EIO;
            break;
        }
    }
    if (err == 0 && ::fchmod(fd, 0755) != 0)
        err = errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    ::close(in);
    if (err != 0) {
        ::unlink(target.c_str());
        out.reason = reasonOf(err);
        return out;
    }
    out.ok = true;
    out.startupFile = startupFile(home, shell);
    out.edit = addPathToShell(out.startupFile);
    return out;
}

std::string commandFor(std::string_view cmd, bool installed, const std::string& installedTool)
{
    std::string out(cmd);
    if (!installed)
        return out;
    const std::string path = shellQuoted(installedTool);
    const std::string_view word = "tclean";
    for (size_t at = out.find(word); at != std::string::npos; at = out.find(word, at + path.size()))
        out.replace(at, word.size(), path);
    return out;
}

} // namespace ToolInstall
