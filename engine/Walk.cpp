// SPDX-License-Identifier: GPL-3.0-or-later
#include "Walk.h"

#include <algorithm>
#include <cstring>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace Walk {
namespace {

// The names of a folder with their entry types, sorted; empty when it cannot
// be read. The folder is closed again before any entry is visited.
std::vector<std::pair<std::string, unsigned char>> listFolder(const std::string& path)
{
    std::vector<std::pair<std::string, unsigned char>> names;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return names;
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        names.emplace_back(e->d_name, e->d_type);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool walk(const std::string& folder, const std::string& relative,
          const std::function<Step(const Entry&)>& visit)
{
    for (auto& [name, type] : listFolder(folder)) {
        Entry e;
        e.path = folder + "/" + name;
        e.relative = relative.empty() ? name : relative + "/" + name;
        e.name = name;
        if (type == DT_UNKNOWN) {
            struct stat st = {};
            if (::lstat(e.path.c_str(), &st) == 0) {
                e.isFolder = S_ISDIR(st.st_mode);
                e.isRegular = S_ISREG(st.st_mode);
            }
        } else {
            e.isFolder = type == DT_DIR;
            e.isRegular = type == DT_REG;
        }
        Step step = visit(e);
        if (step == Step::Stop)
            return false;
        if (step == Step::Go && e.isFolder && !walk(e.path, e.relative, visit))
            return false;
    }
    return true;
}

} // namespace

bool below(const std::string& folder, const std::function<Step(const Entry&)>& visit)
{
    return walk(folder, "", visit);
}

} // namespace Walk
