// SPDX-License-Identifier: GPL-3.0-or-later
// Putting a clean-up's items back where they were. Each item is renamed from
// its Trash entry to its original path without replacing anything, its
// missing folders made again; only then is its Trash record removed, so a
// put-back stopped in between leaves the item in place and a record without
// its entry, which the mover's sweep takes away later (DesktopTrash.h).
#include "Cleanups.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "Platform.h"
#include "Trash.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cleanups {
namespace {

// Far more than any folder holds; only stops a loop on a broken file system.
constexpr int kMaxSuffix = 100000;

PutBackOutcome refusal(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return PutBackOutcome::NoPermission;
    default:
        return PutBackOutcome::Failed;
    }
}

bool plainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// The original path split into its folder and name; false when it is not
// an absolute path with a name.
bool splitPath(std::string path, std::string& folder, std::string& name)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const size_t slash = path.find_last_of('/');
    if (path.empty() || path.front() != '/' || slash == std::string::npos)
        return false;
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
    return plainName(name);
}

bool sameItem(const Item& item, const struct stat& st)
{
    return (item.device == 0 && item.inode == 0) ||
           (uint64_t(st.st_dev) == item.device && uint64_t(st.st_ino) == item.inode);
}

// Renames an item back under name, or, when that is taken and beside is
// asked, under the first free "<name> (restored <date>)", which target then
// holds; rename(target) tries one name without replacing anything.
template <class Rename>
PutBackOutcome renameBack(Rename rename, const std::string& name, bool beside,
                          Clock::time_point now, std::string& target)
{
    target = name;
    PutBackOutcome done = PutBackOutcome::PutBack;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const auto result = rename(target);
        const int error = errno;
        if (result == Platform::RenameResult::Moved)
            return done;
        if (result == Platform::RenameResult::CrossDevice)
            return PutBackOutcome::Failed;
        if (result == Platform::RenameResult::Failed)
            return refusal(error);
        if (!beside)
            return PutBackOutcome::Taken;
        done = PutBackOutcome::PutBackBeside;
        target = restoredName(name, now, n);
    }
    return PutBackOutcome::Failed;
}

// Puts item back from the desktop's Trash; beside it, its new path goes to
// placed.
PutBackOutcome putBackDesktop(const DesktopTrash::Opened* trash, const Item& item, bool beside,
                              Clock::time_point now, std::string& placed)
{
    if (!plainName(item.entry))
        return PutBackOutcome::Failed;
    if (!trash)
        return PutBackOutcome::Gone;
    struct stat st = {};
    if (::fstatat(trash->files.fd, item.entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? PutBackOutcome::Gone : refusal(errno);
    if (!sameItem(item, st))
        return PutBackOutcome::Gone; // another item holds the name now
    std::string folderPath, name;
    if (!splitPath(item.path, folderPath, name))
        return PutBackOutcome::Failed;
    OwnedFd folder = DesktopTrash::openFolderWithoutLinks(folderPath, true);
    if (!folder.ok())
        return refusal(errno);
    std::string target;
    const PutBackOutcome outcome = renameBack(
        [&](const std::string& tried) {
            return Platform::renameNoReplaceAt(trash->files.fd, item.entry, folder.fd, tried);
        },
        name, beside, now, target);
    if (outcome == PutBackOutcome::PutBackBeside)
        placed = folderPath + (folderPath == "/" ? "" : "/") + target;
    if (outcome == PutBackOutcome::PutBack || outcome == PutBackOutcome::PutBackBeside) {
        // The record goes only once the item is back: stopped before this,
        // the item is in place and its record is stale.
        const std::string record = item.entry + std::string(DesktopTrash::kInfoSuffix);
        ::unlinkat(trash->info.fd, record.c_str(), 0);
    }
    return outcome;
}

[[maybe_unused]] PutBackOutcome putBackFromRoot(const Item& item, bool beside,
                                                Clock::time_point now, std::string& placed)
{
    if (item.entry.empty() || item.entry.find("..") != std::string::npos)
        return PutBackOutcome::Failed;
    const std::string source = Platform::homeDir() + Trash::kRoot + item.entry;
    struct stat st = {};
    if (::lstat(source.c_str(), &st) != 0)
        return errno == ENOENT ? PutBackOutcome::Gone : refusal(errno);
    if (!sameItem(item, st))
        return PutBackOutcome::Gone;
    std::string folder, name;
    if (!splitPath(item.path, folder, name))
        return PutBackOutcome::Failed;
    Files::makeDirs(folder);
    std::string target;
    const PutBackOutcome outcome = renameBack(
        [&](const std::string& tried) {
            return Platform::renameNoReplace(source, folder + "/" + tried);
        },
        name, beside, now, target);
    if (outcome == PutBackOutcome::PutBackBeside)
        placed = folder + "/" + target;
    return outcome;
}

// Writes into the manifest of clean-up id where each item of besides went
// beside its taken original, so it reads as put back later. The manifest is
// read afresh and rewritten whole and atomically; items are matched by their
// entry and original path.
void noteBesides(const std::string& id, const std::vector<std::pair<Item, std::string>>& besides)
{
    const std::string path = manifestPath(id);
    auto text = Files::read(path, kMaxManifestBytes);
    if (!text)
        return;
    Decoded decoded = decode(*text);
    if (!decoded.complete)
        return; // rewriting would drop the items it could not read
    for (auto& item : decoded.manifest.items)
        for (const auto& [moved, placed] : besides)
            if (item.entry == moved.entry && item.path == moved.path)
                item.restored = placed;
    Files::writeAtomically(path, encode(decoded.manifest));
}

} // namespace
} // namespace Cleanups

namespace Scanner {

std::vector<Cleanups::PutBackOutcome> putBack(const Cleanups::Record& record,
                                              const std::vector<size_t>& items, bool beside)
{
    using Cleanups::PutBackOutcome;
    const auto now = Clock::now();
    std::shared_ptr<const DesktopTrash::Opened> trash;
    if constexpr (Platform::kDesktopTrash)
        trash = DesktopTrash::open(Platform::desktopTrash(), false);
    std::vector<PutBackOutcome> outcomes;
    outcomes.reserve(items.size());
    std::vector<std::pair<Cleanups::Item, std::string>> besides;
    for (size_t index : items) {
        if (index >= record.items.size()) {
            outcomes.push_back(PutBackOutcome::Failed);
            continue;
        }
        const Cleanups::Item& item = record.items[index];
        std::string placed;
        if constexpr (Platform::kDesktopTrash)
            outcomes.push_back(Cleanups::putBackDesktop(trash.get(), item, beside, now, placed));
        else
            outcomes.push_back(Cleanups::putBackFromRoot(item, beside, now, placed));
        if (!placed.empty())
            besides.emplace_back(item, std::move(placed));
    }
    if (!besides.empty())
        Cleanups::noteBesides(record.entry.id, besides);
    return outcomes;
}

} // namespace Scanner
