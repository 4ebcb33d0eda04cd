// SPDX-License-Identifier: GPL-3.0-or-later
#include "ToolInstall.h"

#include "Platform.h"
#include "XdgDirs.h"

#include <cerrno>
#include <cstdlib>
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
StartupEdit appendBlock(const std::string& file, std::string_view block)
{
    int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return StartupEdit::Skipped;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return StartupEdit::Skipped;
    }
    bool written = writeAll(fd, block.data(), block.size());
    ::close(fd);
    return written ? StartupEdit::Appended : StartupEdit::Skipped;
}

// Creates folder and the folders above it that are missing, with mode.
void makeFolders(const std::string& folder, mode_t mode)
{
    if (folder.empty() || ::mkdir(folder.c_str(), mode) == 0 || errno != ENOENT)
        return;
    const size_t slash = folder.rfind('/');
    if (slash == 0 || slash == std::string::npos)
        return;
    makeFolders(folder.substr(0, slash), mode);
    ::mkdir(folder.c_str(), mode);
}

std::string_view lastComponent(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Writes the block to a new file beside the start-up file and renames it into
// place without replacing anything that appeared there meanwhile.
StartupEdit createWithBlock(const std::string& file, std::string_view block)
{
    makeFolders(file.substr(0, file.rfind('/')), 0700);
    std::string temp = file + ".tidlo-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0)
        return StartupEdit::Skipped;
    temp = name.data();
    bool written =
        writeAll(fd, block.data(), block.size()) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
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
        return holdsMarker(file) ? StartupEdit::AlreadyThere : appendBlock(file, block);
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

Session currentSession()
{
    Session session;
    session.home = Platform::homeDir();
    const char* shell = std::getenv("SHELL");
    session.shell = shell ? shell : "";
    const char* path = std::getenv("PATH");
    session.path = path ? path : "";
    session.configHome = XdgDirs::baseDir("XDG_CONFIG_HOME", session.home, "/.config");
    return session;
}

std::string binDir(const std::string& home)
{
    return home + "/.local/bin";
}

std::string installedPath(const std::string& home)
{
    return binDir(home) + "/tclean";
}

bool isFish(std::string_view shell)
{
    return lastComponent(shell) == "fish";
}

std::string exportLine(std::string_view shell)
{
    if (isFish(shell))
        return "contains $HOME/.local/bin $PATH; or set -gx PATH $HOME/.local/bin $PATH";
    return "export PATH=\"$HOME/.local/bin:$PATH\"";
}

std::string block(std::string_view shell)
{
    return "\n" + std::string(kMarker) + "\n" + exportLine(shell) + "\n";
}

std::string startupFile(const Session& session)
{
    const std::string_view name = lastComponent(session.shell);
    if (name == "zsh")
        return session.home + "/.zshrc";
    if (name == "bash")
        return session.home + "/.bashrc";
    if (name == "fish")
        return session.configHome + "/fish/conf.d/tidlo.fish";
    return session.home + "/.profile";
}

bool onPath(const std::string& folder, std::string_view path)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string_view entry = path.substr(start, end - start);
        while (entry.size() > 1 && entry.back() == '/')
            entry.remove_suffix(1);
        if (!entry.empty() && entry.front() == '/' && entry == folder)
            return true;
        start = end + 1;
    }
    return false;
}

std::string packagedTool(std::string_view path, const std::string& home)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(':', start);
        if (end == std::string_view::npos)
            end = path.size();
        std::string entry(path.substr(start, end - start));
        start = end + 1;
        while (entry.size() > 1 && entry.back() == '/')
            entry.pop_back();
        if (entry.empty() || entry.front() != '/' || entry == home ||
            entry.rfind(home + "/", 0) == 0)
            continue;
        const std::string tool = (entry == "/" ? "" : entry) + "/tclean";
        struct stat st = {};
        if (::stat(tool.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(tool.c_str(), X_OK) == 0)
            return tool;
    }
    return {};
}

bool isInstalled(const std::string& home)
{
    struct stat st = {};
    return ::stat(installedPath(home).c_str(), &st) == 0;
}

StartupEdit addPathToShell(const std::string& file, std::string_view block)
{
    if (holdsMarker(file))
        return StartupEdit::AlreadyThere;
    struct stat st = {};
    if (::lstat(file.c_str(), &st) != 0)
        return errno == ENOENT ? createWithBlock(file, block) : StartupEdit::Skipped;
    return appendBlock(file, block);
}

Outcome install(const std::string& source, const Session& session)
{
    const std::string& home = session.home;
    Outcome out;
    // The source is opened first, so a missing tool leaves an installed copy alone.
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        out.reason = reasonOf(errno);
        return out;
    }
    const std::string folder = binDir(home);
    const std::string target = installedPath(home);
    ::mkdir((home + "/.local").c_str(), 0700);
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
    if (onPath(folder, session.path)) {
        out.edit = StartupEdit::NotNeeded;
        return out;
    }
    out.startupFile = startupFile(session);
    out.edit = addPathToShell(out.startupFile, block(session.shell));
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
