// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's Trash in the freedesktop.org layout, the one every Linux file
// manager shows and restores from: each trashed item
// is one entry, Trash/files/<entry>, with its record Trash/info/<entry>.trashinfo
// holding the original path and the deletion date.
//
// A move writes the record first (created exclusively, so two movers never
// share an entry name), then renames the item into files/ without replacing
// anything; when the rename fails the record is removed again. Nothing is
// ever copied: an item on another file system stays where it is. The Trash's
// own folders and every folder above the item (below the home folder) are
// opened without following links, and the rename works on those open
// folders, so a folder swapped for a link after a scan cannot send the rename
// to other data. Emptying removes entries without following links either,
// and never leaves the Trash's own file system: whatever is mounted inside
// it stays, and is reported.
#pragma once

#include "OwnedFd.h"
#include "Records.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace DesktopTrash {

// A path for a record's "Path=" line: every byte percent-encoded (upper-case
// hex) except letters, digits, "-_.!~*'()" and "/" (RFC 2396).
std::string encodePath(std::string_view path);

// The text of a .trashinfo record: "[Trash Info]", the encoded path and the
// deletion date as local "yyyy-MM-ddTHH:mm:ss", each line ended by a line feed.
std::string infoText(const std::string& path, Clock::time_point deleted);

// The entry name of an item: prefix, a space and the item's name, then "_n"
// for n of 2 and more (the suffix goes on the whole name). The item's name is
// cut, at a character boundary, so that the entry's record name (the entry
// and ".trashinfo") fits a file name of 255 bytes.
std::string entryName(const std::string& prefix, const std::string& name, int n);

// An open Trash: its files and info folders, held open for a series of moves
// (and of put-backs).
class Opened
{
public:
    OwnedFd trash, files, info;
};

// The suffix of a record's name: Trash/info/<entry>.trashinfo.
inline constexpr std::string_view kInfoSuffix = ".trashinfo";

// Opens the Trash folder at trash (whose own parent may be reached through
// links), creating trash, files and info with mode 0700 when missing and
// create is set (the parent folders too). nullptr when one of the three is a
// link or not a folder, or cannot be made or opened.
std::shared_ptr<const Opened> open(const std::string& trash, bool create);

// Moves the item at path (absolute) into the Trash as entryName(prefix,
// name, n) with the first n whose record name is free, its record dated
// deleted. Moved, or else nothing is left behind and the outcome says why:
// Gone when the item or its folder is missing, NoPermission when the item or
// its folder refuses (EACCES, EPERM, a read-only file system),
// OtherFileSystem when it is on another file system than the Trash,
// TrashUnwritable when the record or the rename into files/ cannot be
// written, InUse for a mount point or a busy file, and Failed for the rest:
// a path that is not absolute or has a "..", a folder that cannot be reached
// without following a link below the home folder.
// A moved item as put found it: its entry name, and the device, inode and
// modification time (nanoseconds since 1970) it had, which the rename keeps.
struct Placed
{
    std::string entry;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modified = 0;
};
MoveOutcome put(const Opened& trash, const std::string& path, const std::string& prefix,
                Clock::time_point deleted, Placed* placed = nullptr);

// Opens the folder at path (absolute) as put reaches an item's folder: a
// folder at or below the home folder one name at a time from home without
// following any link, anything else from "/". With create, a missing folder
// on the way is made (mode 0777 less the umask, as a file manager makes one).
// Invalid with errno set when a step is "..", a link, not a folder, missing
// (without create) or cannot be made.
OwnedFd openFolderWithoutLinks(const std::string& path, bool create);

// How old a record without its entry must be before the mover takes it away:
// a mover writes its record just before its rename, so a younger one may
// belong to a clean-up running at this moment.
inline constexpr std::chrono::minutes kOrphanAge{10};

// Whether an entry name has the form this product gives its entries: a
// "yyyy-MM-dd_HHmm" stamp, optionally "_" and a subfolder word without
// blanks, then a blank and a non-empty name.
bool isOwnEntry(std::string_view entry);

// Removes the records this product left without their entry: a mover killed
// between writing a record and its rename leaves one behind, while the item
// stays where it was. A record goes only when its entry name isOwnEntry, there
// is nothing at files/<entry>, and it was last modified kOrphanAge or more
// before now; every other record stays. Returns how many were removed.
int sweepOrphans(const Opened& trash, Clock::time_point now);

// The outcome of emptying one Trash folder.
enum class Emptied { Absent, All, NotAll };

// Emptying one Trash folder: the outcome, and how many folders or files it
// left alone because they are mounted there from elsewhere (another device,
// or a bind mount of another folder); those make the outcome NotAll.
struct EmptyResult
{
    Emptied emptied = Emptied::Absent;
    int otherDevice = 0;
};

// Removes every entry of files/ and then its record, records of entries that
// are not there, the contents of expunged/ and the directorysizes file; the
// folders files and info stay. Every level is opened without following a link
// (a link is removed itself, never what it leads to) and nothing on another
// file system than the Trash folder's, nor a mount inside it, is entered or
// removed. Absent when the trash folder does not exist; NotAll when something
// could not be removed, was left on another file system, or the Trash or one
// of its folders is a link, not a folder, or mounted from elsewhere. The
// Trash's own parent may be reached through links.
EmptyResult empty(const std::string& trash);

// Removes every entry of the folder at path except names in keep, under the
// same rules. The folder itself must not be a link (a ~/.Trash that leads
// elsewhere is not emptied: NotAll). Absent when it does not exist.
EmptyResult emptyFolder(const std::string& path, std::string_view keep);

// What emptying would remove: how many entries, and their bytes (a file's
// length, a folder's allocated blocks with everything inside it on the same
// file system, a link as itself).
struct Contents
{
    int count = 0;
    int64_t size = 0;
};

// The contents of the Trash at trash that empty removes: the entries of its
// files folder. Nothing when the Trash or its files folder is missing, a
// link, not a folder or mounted from elsewhere; an entry mounted from
// elsewhere counts nothing.
Contents contents(const std::string& trash);

// The same for the folder at path, leaving out the name keep.
Contents folderContents(const std::string& path, std::string_view keep);

} // namespace DesktopTrash
