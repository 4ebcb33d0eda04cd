// SPDX-License-Identifier: GPL-3.0-or-later
// The Trash mover: the desktop's Trash on Linux, a dated folder on macOS.
#include "Trash.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "Platform.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <sys/stat.h>

namespace Trash {
namespace {

// Far more than any folder holds; only stops a loop on a broken file system.
constexpr int kMaxSuffix = 100000;

bool resolves(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

std::string stamp(Clock::time_point time)
{
    return localTimeText(time, "%Y-%m-%d_%H%M");
}

bool moveInto(const std::string& path, const std::string& folder)
{
    // A trailing slash would make the rename resolve a link instead of
    // moving the link itself.
    std::string source = path;
    while (source.size() > 1 && source.back() == '/')
        source.pop_back();
    const std::string name = Strings::lastComponent(source);
    if (name.empty() || name == "." || name == "..")
        return false;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        std::string target = folder + "/" + name + (n == 1 ? "" : "_" + std::to_string(n));
        if (resolves(target))
            continue;
        switch (Platform::renameNoReplace(source, target)) {
        case Platform::RenameResult::Moved:
            return true;
        case Platform::RenameResult::TargetExists:
            continue; // appeared since the check, or a link that leads nowhere
        case Platform::RenameResult::CrossDevice:
        case Platform::RenameResult::Failed:
            return false;
        }
    }
    return false;
}

} // namespace Trash

namespace Scanner {

std::vector<MoveOutcome> moveToTrash(const std::vector<std::string>& paths,
                                     const std::string& subfolder)
{
    const auto now = Clock::now();
    std::string stamp = Trash::stamp(now);
    if (!subfolder.empty())
        stamp += "_" + subfolder;
    std::vector<MoveOutcome> moved;
    moved.reserve(paths.size());
    if constexpr (!Platform::kDesktopTrash) {
        std::string folder = Platform::homeDir() + Trash::kRoot + stamp;
        Files::makeDirs(folder);
        for (const auto& path : paths)
            moved.push_back(Trash::moveInto(path, folder) ? MoveOutcome::Moved
                                                          : MoveOutcome::Failed);
    } else {
        // One entry per item, named after the stamp and the item, so the
        // file manager lists each under its own name and can put it back.
        auto trash = DesktopTrash::open(Platform::desktopTrash(), true);
        // Records a killed clean-up left behind, before their names are
        // wanted again.
        if (trash)
            DesktopTrash::sweepOrphans(*trash, now);
        for (const auto& path : paths)
            moved.push_back(trash ? DesktopTrash::put(*trash, path, stamp, now)
                                  : MoveOutcome::TrashUnwritable);
    }
    return moved;
}

int trashPaths(const std::vector<std::string>& paths, const std::string& subfolder)
{
    const std::vector<MoveOutcome> moved = moveToTrash(paths, subfolder);
    return int(std::count(moved.begin(), moved.end(), MoveOutcome::Moved));
}

int trashPaths(const std::vector<std::string>& paths)
{
    return trashPaths(paths, t("trash.toolbox"));
}

} // namespace Scanner
