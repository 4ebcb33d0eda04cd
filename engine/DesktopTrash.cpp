// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopTrash.h"

#include "Files.h"
#include "OwnedFd.h"
#include "Platform.h"
#include "Strings.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>
#include <vector>

#ifndef O_PATH
#define O_PATH O_RDONLY // a search-only descriptor where the system has one
#endif

namespace DesktopTrash {
namespace {

// Far more than any Trash holds; only stops a loop on a broken file system.
constexpr int kMaxSuffix = 100000;
constexpr size_t kMaxFileName = 255;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The names in an open folder, without "." and "..". No value when it cannot
// be listed.
std::optional<std::vector<std::string>> namesIn(int folder)
{
    int copy = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0)
        return std::nullopt;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

// Where a folder lives: its device and, where the system tells, its mount.
// A bind mount of another folder of the same file system has the same device
// but a mount of its own.
struct Place
{
    dev_t dev = 0;
    uint64_t mount = 0;
    bool hasMount = false;

    bool operator==(const Place&) const = default;
};

// The place of name in folder (of folder itself for ""), never following a
// link. No value when it cannot be examined.
std::optional<Place> placeOf(int folder, const char* name)
{
    const int flags = AT_SYMLINK_NOFOLLOW | (*name ? 0 : AT_EMPTY_PATH);
#ifdef STATX_MNT_ID
    struct statx sx = {};
    if (::statx(folder, name, flags, STATX_MNT_ID, &sx) == 0)
        return Place{makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_mnt_id,
                     (sx.stx_mask & STATX_MNT_ID) != 0};
#endif
    struct stat st = {};
    if (::fstatat(folder, name, &st, flags) != 0)
        return std::nullopt;
    return Place{st.st_dev, 0, false};
}

// Whether what sits at place belongs to the Trash whose place is home.
bool samePlace(const std::optional<Place>& place, const Place& home)
{
    return place && place->dev == home.dev &&
           (!place->hasMount || !home.hasMount || place->mount == home.mount);
}

// What a walk through a Trash met and left alone.
struct Tally
{
    int otherDevice = 0;
    int64_t bytes = 0;
};

// Removes name in folder with everything inside it, never following a link
// (a link is removed itself) and never leaving the Trash's file system: a
// folder mounted there from elsewhere (another device, or a bind mount) stays
// as it is and is counted in tally. A read-only folder the user owns is made
// writable on the way. True when it is gone (or was never there).
bool removeTree(int folder, const std::string& name, const Place& home, Tally& tally)
{
    struct stat st = {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) {
        if (!samePlace(placeOf(folder, name.c_str()), home)) {
            ++tally.otherDevice;
            return false;
        }
        return ::unlinkat(folder, name.c_str(), 0) == 0 || errno == ENOENT;
    }
    bool all = true;
    {
        // The folder is checked once open, so a mount made after the check
        // above is not walked into either.
        OwnedFd inner(::openat(folder, name.c_str(), kFolderFlags));
        if (!inner.ok())
            return false;
        if (!samePlace(placeOf(inner.fd, ""), home)) {
            ++tally.otherDevice;
            return false;
        }
        // A folder of the user's that is read-only (Go keeps its module
        // cache so) is made writable first, or nothing in it could go.
        struct stat own = {};
        if (::fstat(inner.fd, &own) == 0 && own.st_uid == ::geteuid() &&
            (own.st_mode & S_IRWXU) != S_IRWXU)
            ::fchmod(inner.fd, (own.st_mode & 07777) | S_IRWXU);
        auto names = namesIn(inner.fd);
        if (!names)
            return false;
        for (const auto& child : *names)
            all = removeTree(inner.fd, child, home, tally) && all;
    }
    return ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 && all;
}

// The bytes removeTree would free: allocated blocks of name and everything
// inside it on the Trash's own file system, a link counted as itself; a
// file at the top counts its length, as a measured file does.
int64_t treeBytes(int folder, const std::string& name, const Place& home, bool top)
{
    struct stat st = {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || st.st_dev != home.dev)
        return 0;
    if (!S_ISDIR(st.st_mode))
        return top ? int64_t(st.st_size) : int64_t(st.st_blocks) * 512;
    OwnedFd inner(::openat(folder, name.c_str(), kFolderFlags));
    if (!inner.ok() || !samePlace(placeOf(inner.fd, ""), home))
        return 0;
    int64_t total = int64_t(st.st_blocks) * 512;
    for (const auto& child : namesIn(inner.fd).value_or(std::vector<std::string>{})) {
        if (__builtin_add_overflow(total, treeBytes(inner.fd, child, home, false), &total))
            return INT64_MAX;
    }
    return total;
}

// Whether name in folder would be removed by emptying: not a folder mounted
// from elsewhere.
bool removable(int folder, const std::string& name, const Place& home)
{
    struct stat st = {};
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           samePlace(placeOf(folder, name.c_str()), home);
}

// Opens (and with create, first makes with mode 0700) the folder name in
// parent, refusing a link or anything that is not a folder.
OwnedFd openOwnFolder(int parent, const char* name, bool create)
{
    if (create && ::mkdirat(parent, name, 0700) != 0 && errno != EEXIST)
        return OwnedFd();
    return OwnedFd(::openat(parent, name, kFolderFlags));
}

// Makes path and its missing parents (mode 0700, as for a base folder).
bool makeFolders(const std::string& path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash)))
        return false;
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// Opens the folder at path, following links only above the home folder: a
// folder at or below home is reached from home one name at a time without
// following any link, anything else from "/". Invalid when a step is "..",
// a link, not a folder or missing (made first with create).
OwnedFd openWithoutLinks(const std::string& path, bool create = false)
{
    const std::string home = Platform::homeDir();
    std::string_view rest = path;
    OwnedFd at;
    if (!home.empty() && home.front() == '/' && home != "/" &&
        (path == home || path.rfind(home + "/", 0) == 0)) {
        at = OwnedFd(::open(home.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        rest.remove_prefix(home.size());
    } else {
        at = OwnedFd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    for (std::string_view step : Strings::split(rest, '/')) {
        if (!at.ok())
            return at;
        if (step == "..") {
            errno = EINVAL;
            return OwnedFd();
        }
        if (step == ".")
            continue;
        const std::string name(step);
        OwnedFd next(::openat(at.fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.ok() && errno == ENOENT && create &&
            (::mkdirat(at.fd, name.c_str(), 0777) == 0 || errno == EEXIST))
            next = OwnedFd(
                ::openat(at.fd, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        at = std::move(next);
    }
    return at;
}

// Opens the folder at path for emptying or counting: its parent may be
// reached through links (as the data folder may be), the folder itself is
// never a link. Invalid with errno set when it cannot be opened.
OwnedFd openLastWithoutLink(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (path.empty() || path.front() != '/' || slash == std::string::npos ||
        slash + 1 == path.size()) {
        errno = EINVAL;
        return OwnedFd();
    }
    OwnedFd above(::open(slash == 0 ? "/" : path.substr(0, slash).c_str(),
                         O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!above.ok())
        return OwnedFd();
    return OwnedFd(::openat(above.fd, path.c_str() + slash + 1, kFolderFlags));
}

bool writeAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// What emptying the open folder (but keep) would remove.
Contents folderContents(int folder, const Place& home, std::string_view keep)
{
    Contents out;
    for (const auto& name : namesIn(folder).value_or(std::vector<std::string>{})) {
        if (name == keep || !removable(folder, name, home))
            continue;
        ++out.count;
        out.size = Strings::addSaturated(out.size, treeBytes(folder, name, home, true));
    }
    return out;
}

// What a failure to reach or rename the item itself means.
MoveOutcome itemOutcome(int error)
{
    switch (error) {
    case ENOENT:
        return MoveOutcome::Gone;
    case EACCES:
    case EPERM:
    case EROFS:
        return MoveOutcome::NoPermission;
    case EXDEV:
        return MoveOutcome::OtherFileSystem;
    case EBUSY:
    case ETXTBSY:
        return MoveOutcome::InUse;
    default:
        return MoveOutcome::Failed;
    }
}

// Whether the open folder may be written by this process (its own
// permissions and a file system mounted read-only both count).
bool writable(int folder)
{
    struct statvfs vfs = {};
    if (::fstatvfs(folder, &vfs) == 0 && (vfs.f_flag & ST_RDONLY))
        return false;
    return ::faccessat(folder, ".", W_OK, AT_EACCESS) == 0;
}

} // namespace

std::string encodePath(std::string_view path)
{
    static constexpr std::string_view kKept = "-_.!~*'()/";
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        unsigned char u = static_cast<unsigned char>(c);
        bool alnum = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
        if (alnum || kKept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

std::string infoText(const std::string& path, Clock::time_point deleted)
{
    return "[Trash Info]\nPath=" + encodePath(path) +
           "\nDeletionDate=" + localTimeText(deleted, "%Y-%m-%dT%H:%M:%S") + "\n";
}

std::string entryName(const std::string& prefix, const std::string& name, int n)
{
    const std::string suffix = n >= 2 ? "_" + std::to_string(n) : "";
    const size_t fixed = prefix.size() + 1 + suffix.size() + kInfoSuffix.size();
    const size_t room = fixed < kMaxFileName ? kMaxFileName - fixed : 0;
    return prefix + " " + name.substr(0, Strings::byteBoundary(name, room)) + suffix;
}

std::shared_ptr<const Opened> open(const std::string& trash, bool create)
{
    size_t slash = trash.find_last_of('/');
    if (trash.empty() || trash.front() != '/' || slash == std::string::npos)
        return nullptr;
    const std::string parent = slash == 0 ? "/" : trash.substr(0, slash);
    const std::string name = trash.substr(slash + 1);
    if (create && !makeFolders(parent))
        return nullptr;
    OwnedFd above(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!above.ok())
        return nullptr;
    auto opened = std::make_shared<Opened>();
    opened->trash = openOwnFolder(above.fd, name.c_str(), create);
    if (!opened->trash.ok())
        return nullptr;
    opened->files = openOwnFolder(opened->trash.fd, "files", create);
    opened->info = openOwnFolder(opened->trash.fd, "info", create);
    if (!opened->files.ok() || !opened->info.ok())
        return nullptr;
    return opened;
}

OwnedFd openFolderWithoutLinks(const std::string& path, bool create)
{
    if (path.empty() || path.front() != '/') {
        errno = EINVAL;
        return OwnedFd();
    }
    return openWithoutLinks(path, create);
}

MoveOutcome put(const Opened& trash, const std::string& path, const std::string& prefix,
                Clock::time_point deleted, Placed* placed)
{
    // A trailing slash would name what a link leads to rather than the link.
    std::string source = path;
    while (source.size() > 1 && source.back() == '/')
        source.pop_back();
    if (source.empty() || source.front() != '/')
        return MoveOutcome::Failed;
    const size_t slash = source.find_last_of('/');
    const std::string name = source.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        return MoveOutcome::Failed;
    OwnedFd parent = openWithoutLinks(slash == 0 ? "/" : source.substr(0, slash));
    if (!parent.ok())
        return itemOutcome(errno);
    struct stat st = {};
    if (::fstatat(parent.fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return itemOutcome(errno);

    const std::string record = infoText(source, deleted);
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string entry = entryName(prefix, name, n);
        const std::string infoName = entry + std::string(kInfoSuffix);
        OwnedFd info(::openat(trash.info.fd, infoName.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!info.ok()) {
            if (errno == EEXIST)
                continue;
            return MoveOutcome::TrashUnwritable;
        }
        bool written = writeAll(info.fd, record);
        written = ::close(std::exchange(info.fd, -1)) == 0 && written;
        if (!written) {
            ::unlinkat(trash.info.fd, infoName.c_str(), 0);
            return MoveOutcome::TrashUnwritable;
        }
        auto result = Platform::renameNoReplaceAt(parent.fd, name, trash.files.fd, entry);
        const int error = errno;
        if (result == Platform::RenameResult::Moved) {
            if (placed)
                *placed = Placed{entry, uint64_t(st.st_dev), uint64_t(st.st_ino),
                                 Files::modifiedNanoseconds(st)};
            return MoveOutcome::Moved;
        }
        ::unlinkat(trash.info.fd, infoName.c_str(), 0);
        if (result == Platform::RenameResult::TargetExists)
            continue;
        if (result == Platform::RenameResult::CrossDevice)
            return MoveOutcome::OtherFileSystem; // nothing is copied
        // A refusal may come from either side of the rename: the Trash's
        // files folder is asked first, the item's own folder otherwise.
        if ((error == EACCES || error == EPERM || error == EROFS) && !writable(trash.files.fd))
            return MoveOutcome::TrashUnwritable;
        return itemOutcome(error);
    }
    return MoveOutcome::Failed;
}

bool isOwnEntry(std::string_view entry)
{
    constexpr std::string_view kStamp = "dddd-dd-dd_dddd";
    if (entry.size() <= kStamp.size() + 1)
        return false;
    for (size_t i = 0; i < kStamp.size(); ++i) {
        const char c = entry[i];
        if (kStamp[i] == 'd' ? !(c >= '0' && c <= '9') : c != kStamp[i])
            return false;
    }
    std::string_view rest = entry.substr(kStamp.size());
    if (rest.front() == '_') {
        const size_t blank = rest.find(' ');
        if (blank == std::string_view::npos || blank == 1)
            return false;
        rest.remove_prefix(blank);
    }
    return rest.size() >= 2 && rest.front() == ' ';
}

int sweepOrphans(const Opened& trash, Clock::time_point now)
{
    auto records = namesIn(trash.info.fd);
    if (!records)
        return 0;
    int removed = 0;
    for (const auto& record : *records) {
        std::string_view entry = record;
        if (!entry.ends_with(kInfoSuffix))
            continue;
        entry.remove_suffix(kInfoSuffix.size());
        struct stat st = {};
        if (!isOwnEntry(entry) ||
            ::fstatat(trash.files.fd, std::string(entry).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ||
            errno != ENOENT)
            continue;
        if (::fstatat(trash.info.fd, record.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode))
            continue;
        const auto modified = std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(st.st_mtim.tv_sec) +
                std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
        if (now - modified < kOrphanAge)
            continue; // a date in the future counts as fresh
        if (::unlinkat(trash.info.fd, record.c_str(), 0) == 0)
            ++removed;
    }
    return removed;
}

EmptyResult empty(const std::string& trash)
{
    EmptyResult result;
    OwnedFd folder = openLastWithoutLink(trash);
    if (!folder.ok()) {
        result.emptied = errno == ENOENT ? Emptied::Absent : Emptied::NotAll;
        return result;
    }
    const auto home = placeOf(folder.fd, "");
    if (!home) {
        result.emptied = Emptied::NotAll;
        return result;
    }
    // A missing files or info folder holds nothing; one that is a link, not
    // a folder or mounted from elsewhere is refused.
    auto sub = [&](const char* name, OwnedFd& out) {
        out = OwnedFd(::openat(folder.fd, name, kFolderFlags));
        if (!out.ok())
            return errno == ENOENT;
        if (samePlace(placeOf(out.fd, ""), *home))
            return true;
        ++result.otherDevice;
        out = OwnedFd();
        return false;
    };
    OwnedFd files, info, expunged;
    const bool filesOk = sub("files", files);
    const bool infoOk = sub("info", info);
    const bool expungedOk = sub("expunged", expunged);
    if (!filesOk || !infoOk || !expungedOk) {
        result.emptied = Emptied::NotAll;
        return result;
    }
    Tally tally;
    bool all = true;
    std::vector<std::string> entries;
    if (files.ok()) {
        auto names = namesIn(files.fd);
        if (!names) {
            result.emptied = Emptied::NotAll;
            return result;
        }
        entries = std::move(*names);
    }
    for (const auto& name : entries) {
        if (!removeTree(files.fd, name, *home, tally))
            all = false;
        else if (info.ok())
            removeTree(info.fd, name + std::string(kInfoSuffix), *home, tally);
    }
    struct stat st = {};
    // Records left without their entry (an entry that could not be removed
    // keeps its record, so it can still be restored).
    if (info.ok()) {
        auto records = namesIn(info.fd);
        all = records.has_value() && all;
        for (const auto& record : records.value_or(std::vector<std::string>{})) {
            std::string_view entry = record;
            if (entry.ends_with(kInfoSuffix))
                entry.remove_suffix(kInfoSuffix.size());
            if (files.ok() &&
                ::fstatat(files.fd, std::string(entry).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
                continue;
            all = removeTree(info.fd, record, *home, tally) && all;
        }
    }
    // Trashes written by other programs may also hold these.
    if (expunged.ok())
        for (const auto& name : namesIn(expunged.fd).value_or(std::vector<std::string>{}))
            all = removeTree(expunged.fd, name, *home, tally) && all;
    if (::unlinkat(folder.fd, "directorysizes", 0) != 0 && errno != ENOENT)
        all = false;
    result.otherDevice += tally.otherDevice;
    result.emptied = all ? Emptied::All : Emptied::NotAll;
    return result;
}

EmptyResult emptyFolder(const std::string& path, std::string_view keep)
{
    EmptyResult result;
    OwnedFd folder = openLastWithoutLink(path);
    if (!folder.ok()) {
        result.emptied = errno == ENOENT ? Emptied::Absent : Emptied::NotAll;
        return result;
    }
    const auto home = placeOf(folder.fd, "");
    auto names = namesIn(folder.fd);
    if (!home || !names) {
        result.emptied = Emptied::NotAll;
        return result;
    }
    Tally tally;
    bool all = true;
    for (const auto& name : *names)
        if (name != keep)
            all = removeTree(folder.fd, name, *home, tally) && all;
    result.otherDevice = tally.otherDevice;
    result.emptied = all ? Emptied::All : Emptied::NotAll;
    return result;
}

Contents contents(const std::string& trash)
{
    OwnedFd folder = openLastWithoutLink(trash);
    const auto home = folder.ok() ? placeOf(folder.fd, "") : std::nullopt;
    if (!home)
        return {};
    OwnedFd files(::openat(folder.fd, "files", kFolderFlags));
    if (!files.ok() || !samePlace(placeOf(files.fd, ""), *home))
        return {};
    return folderContents(files.fd, *home, "");
}

Contents folderContents(const std::string& path, std::string_view keep)
{
    OwnedFd folder = openLastWithoutLink(path);
    const auto home = folder.ok() ? placeOf(folder.fd, "") : std::nullopt;
    if (!home)
        return {};
    return folderContents(folder.fd, *home, keep);
}

} // namespace DesktopTrash
