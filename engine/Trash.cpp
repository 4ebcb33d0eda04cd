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
    return moveIntoNamed(path, folder).has_value();
}

std::optional<std::string> moveIntoNamed(const std::string& path, const std::string& folder)
{
    // A trailing slash would make the rename resolve a link instead of
    // moving the link itself.
    std::string source = path;
    while (source.size() > 1 && source.back() == '/')
        source.pop_back();
    const std::string name = Strings::lastComponent(source);
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        std::string target = name + (n == 1 ? "" : "_" + std::to_string(n));
        if (resolves(folder + "/" + target))
            continue;
        switch (Platform::renameNoReplace(source, folder + "/" + target)) {
        case Platform::RenameResult::Moved:
            return target;
        case Platform::RenameResult::TargetExists:
            continue; // appeared since the check, or a link that leads nowhere
        case Platform::RenameResult::CrossDevice:
        case Platform::RenameResult::Failed:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace Trash

namespace Scanner {

std::vector<MoveOutcome> moveToTrash(const std::vector<std::string>& paths,
                                     const std::string& subfolder)
{
    std::vector<MoveOutcome> outcomes;
    outcomes.reserve(paths.size());
    for (const auto& moved : moveToTrashNamed(paths, subfolder))
        outcomes.push_back(moved.outcome);
    return outcomes;
}

std::vector<Trash::Moved> moveToTrashNamed(const std::vector<std::string>& paths,
                                           const std::string& subfolder)
{
    const auto now = Clock::now();
    std::string stamp = Trash::stamp(now);
    if (!subfolder.empty())
        stamp += "_" + subfolder;
    std::vector<Trash::Moved> moved;
    moved.reserve(paths.size());
    if constexpr (!Platform::kDesktopTrash) {
        std::string folder = Platform::homeDir() + Trash::kRoot + stamp;
        Files::makeDirs(folder);
        for (const auto& path : paths) {
            Trash::Moved one;
            struct stat st = {};
            const bool known = ::lstat(path.c_str(), &st) == 0;
            if (auto name = Trash::moveIntoNamed(path, folder)) {
                one.outcome = MoveOutcome::Moved;
                one.entry = stamp + "/" + *name;
                if (known) {
                    one.device = uint64_t(st.st_dev);
                    one.inode = uint64_t(st.st_ino);
                    one.modified = Files::modifiedNanoseconds(st);
                }
            }
            moved.push_back(std::move(one));
        }
    } else {
        // One entry per item, named after the stamp and the item, so the
        // file manager lists each under its own name and can put it back.
        auto trash = DesktopTrash::open(Platform::desktopTrash(), true);
        // Records a killed clean-up left behind, before their names are
        // wanted again.
        if (trash)
            DesktopTrash::sweepOrphans(*trash, now);
        for (const auto& path : paths) {
            Trash::Moved one;
            if (!trash) {
                one.outcome = MoveOutcome::TrashUnwritable;
            } else {
                DesktopTrash::Placed placed;
                one.outcome = DesktopTrash::put(*trash, path, stamp, now, &placed);
                one.entry = std::move(placed.entry);
                one.device = placed.device;
                one.inode = placed.inode;
                one.modified = placed.modified;
            }
            moved.push_back(std::move(one));
        }
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
