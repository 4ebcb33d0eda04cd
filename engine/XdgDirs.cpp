// SPDX-License-Identifier: GPL-3.0-or-later
#include "XdgDirs.h"

#include "Strings.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace XdgDirs {
namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The folder of one quoted value (without the quotes' content checks done by
// the caller), or "" when it is neither below $HOME nor absolute.
std::string valueOf(std::string_view quoted, const std::string& home)
{
    std::string raw;
    for (size_t i = 0; i < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 1 < quoted.size())
            ++i;
        raw += quoted[i];
    }
    // No path holds a NUL byte: the system calls would see a shorter one,
    // another folder.
    if (raw.find('\0') != std::string::npos)
        return "";
    std::string path;
    if (raw.rfind("$HOME", 0) == 0 && (raw.size() == 5 || raw[5] == '/'))
        path = home + raw.substr(5);
    else if (!raw.empty() && raw.front() == '/')
        path = raw;
    else
        return "";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string baseDir(const char* variable, const std::string& home, std::string_view fallback)
{
    const std::string defaultDir = home + std::string(fallback);
    const char* value = std::getenv(variable);
    if (!value || *value != '/')
        return defaultDir;
    std::string path = std::filesystem::path(value).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    // The home folder, "/" or a folder above the home: every folder in it
    // would be taken for a cache or a leftover. Compared by name first, then
    // by identity, so another name for the same folder is refused too.
    if (path == "/" || path == home || home.starts_with(path + "/"))
        return defaultDir;
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        return path; // made when first written, by this user
    if (st.st_uid != ::geteuid())
        return defaultDir;
    std::string above = home;
    for (;;) {
        struct stat at = {};
        if (::stat(above.empty() ? "/" : above.c_str(), &at) == 0 && at.st_dev == st.st_dev &&
            at.st_ino == st.st_ino)
            return defaultDir;
        const size_t slash = above.find_last_of('/');
        if (above.empty() || slash == std::string::npos)
            break;
        above.resize(slash);
    }
    return path;
}

std::map<std::string, std::string> parseUserDirs(std::string_view text, const std::string& home)
{
    std::map<std::string, std::string> out;
    for (std::string_view line : Strings::split(text, '\n')) {
        line = trimmed(line);
        if (line.empty() || line.front() == '#')
            continue;
        size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            continue;
        std::string_view name = trimmed(line.substr(0, equals));
        std::string_view value = trimmed(line.substr(equals + 1));
        if (name.rfind("XDG_", 0) != 0 || name.size() < 8 || name.substr(name.size() - 4) != "_DIR")
            continue;
        // The value is one double-quoted string; a quote inside it is escaped.
        if (value.size() < 2 || value.front() != '"')
            continue;
        size_t close = 1;
        while (close < value.size() && value[close] != '"')
            close += value[close] == '\\' ? 2 : 1;
        if (close != value.size() - 1)
            continue;
        std::string path = valueOf(value.substr(1, close - 1), home);
        if (!path.empty())
            out[std::string(name)] = path;
    }
    return out;
}

} // namespace XdgDirs
