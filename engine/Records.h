// SPDX-License-Identifier: GPL-3.0-or-later
// Plain value records that the engine returns and both deliverables render.
// Every size is a signed 64-bit count of bytes. Records are copied freely and
// own nothing but their fields.
#pragma once

#include "Clock.h"
#include "FolderTree.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What kind of finding a ScanItem is.
enum class ItemKind { Cache, Leftover, Large };
// How safe it is to remove an item.
enum class Risk { Safe, Care, Data };
// How a DuplicateGroup was formed.
enum class DuplicateKind { Content, Name };

// What became of one item a clean-up tried to move into the Trash.
enum class MoveOutcome {
    // It is in the Trash now.
    Moved,
    // It was not there any more (another clean-up moved it first, or it was
    // deleted since the scan).
    Gone,
    // The item or its folder refused the change (EACCES, EPERM).
    NoPermission,
    // It is on another file system than the Trash, and nothing is copied.
    OtherFileSystem,
    // The Trash or its files and info folders could not be opened, created
    // or written (read-only, a link, not a folder).
    TrashUnwritable,
    // It is in use: a mount point or a busy file (EBUSY, ETXTBSY).
    InUse,
    // Anything else.
    Failed,
};

// Raw values ("cache", "safe", "content", ...) and parsing back; a string that
// is not a raw value yields no value.
std::string_view rawValue(ItemKind kind);
std::string_view rawValue(Risk risk);
std::string_view rawValue(DuplicateKind kind);
std::optional<ItemKind> itemKindFromRaw(std::string_view raw);
std::optional<Risk> riskFromRaw(std::string_view raw);
std::optional<DuplicateKind> duplicateKindFromRaw(std::string_view raw);

// A fresh random (version 4) UUID as 36 upper-case characters.
std::string newUuid();

// One file or folder that a scan proposes for removal. Equality and hashing use
// only path and kind, so two finds of one path by one scan are the same item.
struct ScanItem
{
    std::string id = newUuid();
    std::string path;
    std::string name;
    int64_t size = 0;
    ItemKind kind = ItemKind::Cache;
    Risk risk = Risk::Safe;
    std::string note;

    bool operator==(const ScanItem& other) const
    {
        return path == other.path && kind == other.kind;
    }
};

// A named size bucket (one top-level folder).
struct Category
{
    std::string name;
    int64_t size = 0;

    const std::string& id() const { return name; }
    bool operator==(const Category&) const = default;
};

// DiskNode, DiskFile: the folder-size tree, FolderTree.h.

// Capacity of the startup volume.
struct VolumeInfo
{
    int64_t total = 0;
    int64_t free = 0;

    int64_t used() const { return total - free > 0 ? total - free : 0; }
};

// Where an installed application comes from: a macOS bundle, or on Linux a
// Debian package's desktop entry, a Flatpak, a snap, an AppImage, or a desktop
// entry of the user's own that no package owns.
enum class AppSource { Bundle, Package, Flatpak, Snap, AppImage, UserEntry };

// One installed application.
struct AppInfo
{
    std::string path; // identity in lists: the desktop entry file, the AppImage file, the
                      // Flatpak/snap deployment folder, or the .app bundle (macOS)
    std::string name; // localized Name (language of the moment), else Name
    int64_t size = 0;
    std::string bundleID; // desktop-file id / Flatpak id / snap name / CFBundleIdentifier
    AppSource source = AppSource::Bundle;
    std::string icon;    // the entry's Icon=: a theme icon name or an absolute path; "" for none
    std::string package; // Package: the owning Debian package; Flatpak: its id; Snap: its name
    bool systemWide = false;       // a system Flatpak installation, a package, a snap
    std::vector<std::string> keys; // its normalized keys (what leftovers match on)

    const std::string& id() const { return path; }
    bool operator==(const AppInfo&) const = default;
};

// A group of duplicates: same content, or same name.
struct DuplicateGroup
{
    DuplicateKind kind = DuplicateKind::Content;
    int64_t size = 0;
    std::vector<std::string> files;
    std::string name;
    bool isFolder = false;
    bool sameSize = true;

    // "content-/first/member"; a fresh UUID stands in for the path when empty.
    std::string id() const;
    // Bytes freed by removing all members but one (content groups only).
    int64_t wasted() const;
    // True when every member has the same last path component, ignoring case.
    bool sameName() const;
};

// One running process.
struct ProcInfo
{
    int pid = 0;
    std::string name;
    int64_t rss = 0;
    std::string path;

    int id() const { return pid; }
};

// One file-system snapshot the user can see (read-only: the product never
// removes one itself; deleteCommand is what the user may run).
struct Snapshot
{
    std::string name;          // the tool's name for it ("42 (timeline)", a date)
    std::string path;          // where it is mounted or kept
    std::string date;          // "yyyy-MM-dd HH:mm:ss" as the tool keeps it, or ""
    int64_t size = -1;         // bytes, or -1 when unknown (Btrfs without quotas)
    std::string deleteCommand; // a shell command that deletes it, with sudo
};

// A file-type usage bucket; index is its position and identity.
struct TypeBucket
{
    std::string name;
    int64_t size = 0;
    int index = 0;

    int id() const { return index; }
};

// One completed clean-up, as logged in the history file.
struct HistoryEntry
{
    std::string id = newUuid();
    Clock::time_point date = Clock::now();
    int items = 0;
    int64_t freed = 0;
};

// The size text of the engine and the app: base 1024, "B" to "TB", one decimal
// below 100 ("1.5 KB", "150 KB", and 1,048,575 gives "1024 KB").
std::string humanSize(int64_t bytes);

template <> struct std::hash<ScanItem>
{
    size_t operator()(const ScanItem& item) const noexcept
    {
        size_t h = std::hash<std::string>{}(item.path);
        size_t k = std::hash<std::string_view>{}(rawValue(item.kind));
        return h ^ (k + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};

template <> struct std::hash<Category>
{
    size_t operator()(const Category& c) const noexcept
    {
        size_t h = std::hash<std::string>{}(c.name);
        return h ^ (std::hash<int64_t>{}(c.size) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};

template <> struct std::hash<AppInfo>
{
    size_t operator()(const AppInfo& a) const noexcept
    {
        size_t h = 0;
        auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
        mix(std::hash<std::string>{}(a.path));
        mix(std::hash<std::string>{}(a.name));
        mix(std::hash<int64_t>{}(a.size));
        mix(std::hash<std::string>{}(a.bundleID));
        return h;
    }
};
