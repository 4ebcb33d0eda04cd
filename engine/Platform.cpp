// SPDX-License-Identifier: GPL-3.0-or-later
#include "Platform.h"

#include "Files.h"
#include "XdgDirs.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Platform {

std::string homeDir()
{
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env)
        home = env;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    while (home.size() > 1 && home.back() == '/')
        home.pop_back();
    return home;
}

std::string configDir()
{
    return XdgDirs::baseDir("XDG_CONFIG_HOME", homeDir(), "/.config");
}

std::string dataHome()
{
    if constexpr (kIsMac)
        return homeDir() + "/Library";
    return XdgDirs::baseDir("XDG_DATA_HOME", homeDir(), "/.local/share");
}

std::string cacheHome()
{
    if constexpr (kIsMac)
        return homeDir() + "/Library/Caches";
    return XdgDirs::baseDir("XDG_CACHE_HOME", homeDir(), "/.cache");
}

std::string userFolder(UserFolder which)
{
    struct Names
    {
        const char* key;
        const char* linuxName;
        const char* macName;
    };
    static constexpr Names kNames[] = {
        {"XDG_DESKTOP_DIR", "/Desktop", "/Desktop"},
        {"XDG_DOCUMENTS_DIR", "/Documents", "/Documents"},
        {"XDG_DOWNLOAD_DIR", "/Downloads", "/Downloads"},
        {"XDG_MUSIC_DIR", "/Music", "/Music"},
        {"XDG_PICTURES_DIR", "/Pictures", "/Pictures"},
        {"XDG_VIDEOS_DIR", "/Videos", "/Movies"},
    };
    const Names& names = kNames[static_cast<int>(which)];
    const std::string home = homeDir();
    if constexpr (kIsMac)
        return home + names.macName;
    std::string folder = home + names.linuxName;
    // The file is a few lines; anything far larger is not one.
    const std::string file = configDir() + "/user-dirs.dirs";
    if (auto text = Files::read(file); text && text->size() < 65536) {
        auto dirs = XdgDirs::parseUserDirs(*text, home);
        if (auto it = dirs.find(names.key); it != dirs.end())
            folder = it->second;
    }
    if (folder == home || folder == "/")
        return "";
    return folder;
}

std::vector<std::string> userFolders(const std::vector<UserFolder>& which)
{
    std::vector<std::string> all;
    for (UserFolder w : which)
        all.push_back(userFolder(w));
    auto inside = [](const std::string& path, const std::string& folder) {
        return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
               path[folder.size()] == '/';
    };
    std::vector<std::string> out;
    for (size_t i = 0; i < all.size(); ++i) {
        const std::string& path = all[i];
        bool keep = !path.empty();
        for (size_t j = 0; keep && j < all.size(); ++j)
            if (j != i && !all[j].empty() && (inside(path, all[j]) || (j < i && all[j] == path)))
                keep = false;
        if (keep)
            out.push_back(path);
    }
    return out;
}

std::string supportFolder()
{
    if constexpr (kIsMac)
        return homeDir() + "/Library/Application Support/TidloCleaner";
    return dataHome() + "/TidloCleaner";
}

std::string cacheFolder()
{
    if constexpr (kIsMac)
        return supportFolder();
    return cacheHome() + "/TidloCleaner";
}

std::string reportFolder()
{
    if constexpr (kIsMac)
        return homeDir() + "/Desktop";
    std::string desktop = userFolder(UserFolder::Desktop);
    struct stat st = {};
    if (!desktop.empty() && ::stat(desktop.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return desktop;
    return homeDir();
}

std::string desktopTrash()
{
    if constexpr (kIsMac)
        return homeTrash();
    return dataHome() + "/Trash";
}

std::string trashFilesFolder()
{
    if constexpr (kIsMac)
        return homeTrash();
    return desktopTrash() + "/files";
}

std::string userVolumeFolder()
{
    return kIsMac ? std::string("/") : homeDir();
}

std::string flatpakAppsFolder()
{
    return kIsMac ? std::string() : homeDir() + "/.var/app";
}

std::string homeTrash()
{
    return homeDir() + "/.Trash";
}

std::vector<std::string> preferredLanguages()
{
    std::vector<std::string> out;
    auto add = [&out](std::string code) {
        if (code.empty() || code == "C" || code == "POSIX" || code.rfind("C.", 0) == 0)
            code = "en";
        out.push_back(code);
    };
    if (const char* language = std::getenv("LANGUAGE"); language && *language) {
        std::string list = language;
        size_t start = 0;
        while (start <= list.size()) {
            size_t colon = list.find(':', start);
            std::string item = list.substr(start, colon - start);
            if (!item.empty())
                add(item);
            if (colon == std::string::npos)
                break;
            start = colon + 1;
        }
        if (!out.empty())
            return out;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const char* value = std::getenv(name); value && *value) {
            add(value);
            return out;
        }
    }
    return out;
}

int64_t physicalMemory()
{
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return 0;
    return static_cast<int64_t>(pages) * pageSize;
}

bool volumeCapacity(const std::string& path, int64_t& total, int64_t& available)
{
    struct statvfs st = {};
    if (statvfs(path.c_str(), &st) != 0)
        return false;
    total = static_cast<int64_t>(st.f_blocks) * static_cast<int64_t>(st.f_frsize);
    available = static_cast<int64_t>(st.f_bavail) * static_cast<int64_t>(st.f_frsize);
    return true;
}

RenameResult renameNoReplace(const std::string& from, const std::string& to)
{
#ifdef __APPLE__
    int rc = renamex_np(from.c_str(), to.c_str(), RENAME_EXCL);
#else
    int rc = renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
#endif
    if (rc == 0)
        return RenameResult::Moved;
    if (errno == EEXIST)
        return RenameResult::TargetExists;
    if (errno == EXDEV)
        return RenameResult::CrossDevice;
    return RenameResult::Failed;
}

RenameResult renameNoReplaceAt(int fromDir, const std::string& from, int toDir,
                               const std::string& to)
{
#ifdef __APPLE__
    int rc = renameatx_np(fromDir, from.c_str(), toDir, to.c_str(), RENAME_EXCL);
#else
    int rc = renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE);
#endif
    if (rc == 0)
        return RenameResult::Moved;
    if (errno == EEXIST)
        return RenameResult::TargetExists;
    if (errno == EXDEV)
        return RenameResult::CrossDevice;
    return RenameResult::Failed;
}

std::optional<std::vector<std::string>> listFolder(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    closedir(dir);
    return names;
}

std::optional<std::vector<std::string>> listFolderSorted(const std::string& path)
{
    auto names = listFolder(path);
    if (names)
        std::sort(names->begin(), names->end());
    return names;
}

bool stdoutIsTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}

} // namespace Platform
