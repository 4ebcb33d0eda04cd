// SPDX-License-Identifier: GPL-3.0-or-later
// The record of each clean-up's items and putting them back. Beside its
// history entry (History.h) each clean-up keeps a manifest,
// <support folder>/cleanups/<entry id>.json, written atomically: who made it,
// when, and per moved item where it was, its Trash entry and its identity
// (device, inode, modification time), so it can be found and put back later.
//
// The manifest is one JSON object:
//   {"version":1,"source":"terminal","date":<ns since 1970>,"items":[
//     {"path":...,"entry":...,"size":...,"kind":"cache","risk":"safe",
//      "label":...,"device":...,"inode":...,"modified":<ns since 1970>}, ...]}
// A name keeps its exact bytes: "path", "entry" and "label" hold the text when
// its bytes are valid UTF-8; otherwise the key ends in "Hex" ("pathHex",
// "entryHex", "labelHex") and holds the bytes as lower-case hexadecimal. An
// item has exactly one of the two forms of each.
#pragma once

#include "Clock.h"
#include "Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Cleanups {

// Who made a clean-up. Stored in the manifest as "clean", "toolbox",
// "uninstall", "terminal".
enum class Source { Clean, Toolbox, Uninstall, Terminal };

// One moved item as its clean-up's manifest keeps it.
struct Item
{
    std::string path;  // where it was: absolute, exact bytes (non-UTF-8 kept)
    std::string entry; // its name in Trash/files (Linux); on macOS its path
                       // below the Trash root ("<stamp>/<name>")
    int64_t size = 0;
    ItemKind kind = ItemKind::Cache;
    Risk risk = Risk::Safe;
    std::string label; // the name the lists showed
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t modified = 0; // modification time, nanoseconds since 1970 UTC
    std::string restored; // where it was put back beside its taken original ("" if not)
};

// Where an item is now: still in the Trash (its entry is there), put back
// (its original path, or the place it was put back beside it, holds the same
// device and inode again), or gone (emptied from the Trash, or moved
// elsewhere).
enum class Where { InTrash, PutBack, Gone };

// A clean-up: its history entry joined with its manifest.
struct Record
{
    HistoryEntry entry;            // id, date, items, freed (from the history)
    Source source = Source::Clean; // Clean when there is no readable manifest
    std::vector<Item> items;       // what could be read (empty without a manifest)
    std::vector<Where> where;      // per item, as found when loaded
    bool complete = true;          // false: the manifest was missing, damaged or too large
};

// What became of putting back one item.
enum class PutBackOutcome {
    PutBack,       // at its original path again
    PutBackBeside, // beside it, as "<name> (restored <date>)", its path taken
    Taken,         // its original path is taken and beside was not asked: left in the Trash
    Gone,          // its entry is no longer in the Trash
    NoPermission,  // the folder refused (EACCES, EPERM, read-only)
    Failed,        // anything else (another file system, a link on the way, ...)
};

// One item a clean-up is asked to move, with what its manifest keeps.
struct Target
{
    std::string path;
    int64_t size = 0;
    ItemKind kind = ItemKind::Cache;
    Risk risk = Risk::Safe;
    std::string label;
};

// What a clean-up did: the id of its history entry (empty when nothing moved)
// and, per target, what became of it (as Scanner::moveToTrash says).
struct CleanUp
{
    std::string id;
    std::vector<MoveOutcome> outcomes;
};

// The largest manifest read: far more than 100,000 items; a larger file is not
// one this product wrote and reads as damaged.
inline constexpr size_t kMaxManifestBytes = 16 * 1024 * 1024;

// The stored words of a source ("clean", "toolbox", "uninstall", "terminal")
// and back; a word that is none of them gives no value.
std::string_view rawValue(Source source);
std::optional<Source> sourceFromRaw(std::string_view raw);

// A name's bytes as lower-case hexadecimal, and back (no value for text that
// is not such hex): the stored form of a name that is not UTF-8.
std::string hexOf(std::string_view bytes);
std::optional<std::string> bytesOfHex(std::string_view hex);

// The word a source goes by in the language of the moment (清理 / Clean,
// 工具箱 / Toolbox, 卸载 / Uninstall, 命令行 / Terminal).
std::string sourceWord(Source source);

// A manifest's content.
struct Manifest
{
    Source source = Source::Clean;
    Clock::time_point date;
    std::vector<Item> items;
};

// The manifest's text, compact.
std::string encode(const Manifest& manifest);

// A manifest read back from its text, and whether all of it could be read: a
// text that is not a JSON object with a known source gives no items; an item
// that lacks a field or holds a wrong one is left out, and complete is false.
struct Decoded
{
    Manifest manifest;
    bool complete = false;
};
Decoded decode(std::string_view text);

// The manifest file of the history entry id (it need not exist).
std::string manifestPath(const std::string& id);

// The name a put-back item gets beside its taken original:
// "<name> (restored yyyy-MM-dd HHmm)", then "_n" for n of 2 and more; the
// name is cut at a character boundary so the whole fits 255 bytes.
std::string restoredName(const std::string& name, Clock::time_point when, int n);

// Where item is now, as loadCleanups says: the Trash's files folder is the
// open folder filesFolder (Linux; -1 when there is none), or on macOS the
// folder of the Trash root.
Where whereNow(const Item& item, int filesFolder);

} // namespace Cleanups

namespace Scanner {

// Moves targets into the Trash (through moveToTrash's mover, subfolder word
// from source in the language of the moment: "" for Clean, trash.toolbox,
// trash.uninstall, trash.terminal), then — when at least one moved — writes
// the manifest of the moved items and appends the history entry (items,
// freed = sum of moved sizes). Targets inside other targets move with them
// and share their outcome (as the Clean page does today).
Cleanups::CleanUp cleanUp(const std::vector<Cleanups::Target>& targets, Cleanups::Source source);

// Every clean-up of the history, newest first, each with its manifest and
// where each item is now. Never throws; a damaged manifest gives complete=false.
std::vector<Cleanups::Record> loadCleanups();

// Puts back items (indexes into record.items) of one clean-up; beside: put a
// taken one back next to its original as "<name> (restored <date>)".
// Element i of the result is for items[i].
std::vector<Cleanups::PutBackOutcome> putBack(const Cleanups::Record& record,
                                              const std::vector<size_t>& items, bool beside);

} // namespace Scanner
