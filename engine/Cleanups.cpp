// SPDX-License-Identifier: GPL-3.0-or-later
// The clean-up manifests: their codec and files, the clean-up that writes
// them and the list of past clean-ups that reads them.
#include "Cleanups.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "History.h"
#include "Platform.h"
#include "Strings.h"
#include "Text.h"
#include "Trash.h"

#include <algorithm>
#include <fcntl.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace Cleanups {
namespace {

using json = nlohmann::json;

constexpr int kVersion = 1;
constexpr size_t kMaxFileName = 255;
constexpr const char* kHexSuffix = "Hex";

// Stores bytes under key as text, or under key + "Hex" when not UTF-8.
void putBytes(json& object, const std::string& key, const std::string& bytes)
{
    if (Strings::isValidUtf8(bytes))
        object[key] = bytes;
    else
        object[key + kHexSuffix] = hexOf(bytes);
}

// The bytes under key or key + "Hex"; no value when neither or both are
// there, or the one there is not a string of its form.
std::optional<std::string> getBytes(const json& object, const std::string& key)
{
    auto text = object.find(key);
    auto hex = object.find(key + kHexSuffix);
    if ((text == object.end()) == (hex == object.end()))
        return std::nullopt;
    if (text != object.end())
        return text->is_string() ? std::optional(text->get<std::string>()) : std::nullopt;
    return hex->is_string() ? bytesOfHex(hex->get_ref<const std::string&>()) : std::nullopt;
}

std::optional<int64_t> getInteger(const json& object, const char* key)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    if (it->is_number_unsigned() && it->get<uint64_t>() > uint64_t(INT64_MAX))
        return std::nullopt;
    return it->get<int64_t>();
}

std::optional<uint64_t> getUnsigned(const json& object, const char* key)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    if (!it->is_number_unsigned())
        return std::nullopt;
    return it->get<uint64_t>();
}

std::optional<Item> decodeItem(const json& object)
{
    if (!object.is_object())
        return std::nullopt;
    Item item;
    auto path = getBytes(object, "path");
    auto entry = getBytes(object, "entry");
    auto label = getBytes(object, "label");
    auto size = getInteger(object, "size");
    auto modified = getInteger(object, "modified");
    auto device = getUnsigned(object, "device");
    auto inode = getUnsigned(object, "inode");
    auto kind = object.find("kind");
    auto risk = object.find("risk");
    if (!path || !entry || !label || !size || !modified || !device || !inode ||
        kind == object.end() || !kind->is_string() || risk == object.end() || !risk->is_string())
        return std::nullopt;
    auto kindValue = itemKindFromRaw(kind->get_ref<const std::string&>());
    auto riskValue = riskFromRaw(risk->get_ref<const std::string&>());
    if (!kindValue || !riskValue || path->empty() || path->front() != '/' || entry->empty())
        return std::nullopt;
    item.path = std::move(*path);
    item.entry = std::move(*entry);
    item.label = std::move(*label);
    item.size = *size;
    item.modified = *modified;
    item.device = *device;
    item.inode = *inode;
    item.kind = *kindValue;
    item.risk = *riskValue;
    // Only an item put back beside its taken original has this.
    if (object.contains("restored") || object.contains(std::string("restored") + kHexSuffix)) {
        auto restored = getBytes(object, "restored");
        if (!restored || restored->empty() || restored->front() != '/')
            return std::nullopt;
        item.restored = std::move(*restored);
    }
    return item;
}

std::string cleanupsFolder()
{
    return Platform::supportFolder() + "/cleanups";
}

// path without repeated or trailing slashes, as insideOthers compares it.
std::string normalized(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out += c;
    }
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string subfolderWord(Source source)
{
    switch (source) {
    case Source::Clean:
        return "";
    case Source::Toolbox:
        return t("trash.toolbox");
    case Source::Uninstall:
        return t("trash.uninstall");
    case Source::Terminal:
        return t("trash.terminal");
    }
    return "";
}

// Removes the manifests whose history entry is gone (the history keeps its
// newest entries only). A manifest younger than ten minutes stays: its
// clean-up may be writing its history entry at this moment.
void pruneManifests(const std::vector<HistoryEntry>& history)
{
    const std::string folder = cleanupsFolder();
    std::unordered_set<std::string> kept;
    for (const auto& entry : history)
        kept.insert(entry.id + ".json");
    const auto names = Platform::listFolder(folder);
    if (!names)
        return;
    const int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
            .count();
    constexpr int64_t kYoung = int64_t(600) * 1000000000;
    for (const auto& name : *names) {
        if (!name.ends_with(".json") || kept.count(name))
            continue;
        const std::string path = folder + "/" + name;
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
            now - Files::modifiedNanoseconds(st) < kYoung)
            continue;
        ::unlink(path.c_str());
    }
    Files::removeStaleTemporaries(folder, "", ".json");
}

} // namespace

std::string hexOf(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        out += kHex[u >> 4];
        out += kHex[u & 0xF];
    }
    return out;
}

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::optional<std::string> bytesOfHex(std::string_view hex)
{
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

std::string_view rawValue(Source source)
{
    switch (source) {
    case Source::Clean:
        return "clean";
    case Source::Toolbox:
        return "toolbox";
    case Source::Uninstall:
        return "uninstall";
    case Source::Terminal:
        return "terminal";
    }
    return "clean";
}

std::optional<Source> sourceFromRaw(std::string_view raw)
{
    for (Source s : {Source::Clean, Source::Toolbox, Source::Uninstall, Source::Terminal})
        if (rawValue(s) == raw)
            return s;
    return std::nullopt;
}

std::string sourceWord(Source source)
{
    return source == Source::Clean ? t("nav.clean") : subfolderWord(source);
}

std::string encode(const Manifest& manifest)
{
    json items = json::array();
    for (const auto& item : manifest.items) {
        json object = json::object();
        putBytes(object, "path", item.path);
        putBytes(object, "entry", item.entry);
        object["size"] = item.size;
        object["kind"] = std::string(rawValue(item.kind));
        object["risk"] = std::string(rawValue(item.risk));
        putBytes(object, "label", item.label);
        object["device"] = item.device;
        object["inode"] = item.inode;
        object["modified"] = item.modified;
        if (!item.restored.empty())
            putBytes(object, "restored", item.restored);
        items.push_back(std::move(object));
    }
    json object = {{"version", kVersion},
                   {"source", std::string(rawValue(manifest.source))},
                   {"date", std::chrono::duration_cast<std::chrono::nanoseconds>(
                                manifest.date.time_since_epoch())
                                .count()},
                   {"items", std::move(items)}};
    return object.dump();
}

Decoded decode(std::string_view text)
{
    Decoded out;
    json object = json::parse(text, nullptr, false);
    if (!object.is_object())
        return out;
    auto version = getInteger(object, "version");
    auto source = object.find("source");
    auto date = getInteger(object, "date");
    auto items = object.find("items");
    if (!version || *version != kVersion || source == object.end() || !source->is_string() ||
        !date || items == object.end() || !items->is_array())
        return out;
    auto sourceValue = sourceFromRaw(source->get_ref<const std::string&>());
    if (!sourceValue)
        return out;
    out.manifest.source = *sourceValue;
    out.manifest.date = Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(*date)));
    out.complete = true;
    out.manifest.items.reserve(items->size());
    for (const auto& one : *items) {
        if (auto item = decodeItem(one))
            out.manifest.items.push_back(std::move(*item));
        else
            out.complete = false;
    }
    return out;
}

std::string manifestPath(const std::string& id)
{
    return cleanupsFolder() + "/" + id + ".json";
}

std::string restoredName(const std::string& name, Clock::time_point when, int n)
{
    const std::string tail = " (restored " + localTimeText(when, "%Y-%m-%d %H%M") + ")" +
                             (n >= 2 ? "_" + std::to_string(n) : "");
    const size_t room = tail.size() < kMaxFileName ? kMaxFileName - tail.size() : 0;
    return name.substr(0, Strings::byteBoundary(name, room)) + tail;
}

Where whereNow(const Item& item, int filesFolder)
{
    auto same = [&](const struct stat& st) {
        return (item.device == 0 && item.inode == 0) ||
               (uint64_t(st.st_dev) == item.device && uint64_t(st.st_ino) == item.inode);
    };
    struct stat st = {};
    if constexpr (Platform::kDesktopTrash) {
        if (filesFolder >= 0 && item.entry.find('/') == std::string::npos && item.entry != "." &&
            item.entry != ".." &&
            ::fstatat(filesFolder, item.entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && same(st))
            return Where::InTrash;
    } else {
        const std::string inTrash = Platform::homeDir() + Trash::kRoot + item.entry;
        if (item.entry.find("..") == std::string::npos && ::lstat(inTrash.c_str(), &st) == 0 &&
            same(st))
            return Where::InTrash;
    }
    if (::lstat(item.path.c_str(), &st) == 0 && item.inode != 0 && same(st))
        return Where::PutBack;
    if (!item.restored.empty() && ::lstat(item.restored.c_str(), &st) == 0 && item.inode != 0 &&
        same(st))
        return Where::PutBack;
    return Where::Gone;
}

} // namespace Cleanups

namespace Scanner {

Cleanups::CleanUp cleanUp(const std::vector<Cleanups::Target>& targets, Cleanups::Source source)
{
    using namespace Cleanups;
    CleanUp result;
    result.outcomes.assign(targets.size(), MoveOutcome::Failed);
    std::vector<std::string> paths;
    paths.reserve(targets.size());
    for (const auto& target : targets)
        paths.push_back(target.path);
    const std::vector<bool> inside = Files::insideOthers(paths);

    // The outer targets move; each inner one shares the outcome of the outer
    // one that holds it.
    std::vector<size_t> outer;
    std::vector<std::string> outerPaths;
    std::unordered_map<std::string, size_t> outerAt;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (inside[i] || targets[i].path.empty())
            continue;
        outerAt.emplace(normalized(targets[i].path), outer.size());
        outer.push_back(i);
        outerPaths.push_back(normalized(targets[i].path));
    }
    const std::vector<Trash::Moved> moved = moveToTrashNamed(outerPaths, subfolderWord(source));
    for (size_t k = 0; k < outer.size(); ++k)
        result.outcomes[outer[k]] = moved[k].outcome;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (!inside[i])
            continue;
        std::string at = normalized(targets[i].path);
        while (!at.empty()) {
            if (auto found = outerAt.find(at); found != outerAt.end()) {
                result.outcomes[i] = moved[found->second].outcome;
                break;
            }
            const size_t slash = at.find_last_of('/');
            at.resize(slash == std::string::npos || slash == 0 ? 0 : slash);
        }
    }

    Manifest manifest;
    manifest.source = source;
    manifest.date = Clock::now();
    int64_t freed = 0;
    for (size_t k = 0; k < outer.size(); ++k) {
        if (moved[k].outcome != MoveOutcome::Moved)
            continue;
        const Target& target = targets[outer[k]];
        Item item;
        item.path = outerPaths[k];
        item.entry = moved[k].entry;
        item.size = target.size;
        item.kind = target.kind;
        item.risk = target.risk;
        item.label = target.label;
        item.device = moved[k].device;
        item.inode = moved[k].inode;
        item.modified = moved[k].modified;
        freed = Strings::addSaturated(freed, target.size);
        manifest.items.push_back(std::move(item));
    }
    if (manifest.items.empty())
        return result;

    HistoryEntry entry;
    entry.date = manifest.date;
    entry.items = static_cast<int>(std::min<size_t>(manifest.items.size(), INT32_MAX));
    entry.freed = freed;
    // The manifest first: a clean-up killed between the two leaves a manifest
    // without its entry, which the next clean-up removes, rather than an
    // entry whose items are unknown.
    Files::makeDirs(cleanupsFolder());
    Files::writeAtomically(manifestPath(entry.id), encode(manifest));
    appendHistory(entry);
    pruneManifests(loadHistory());
    result.id = entry.id;
    return result;
}

std::vector<Cleanups::Record> loadCleanups()
{
    using namespace Cleanups;
    std::vector<Record> records;
    const std::vector<HistoryEntry> history = loadHistory();
    std::shared_ptr<const DesktopTrash::Opened> trash;
    if constexpr (Platform::kDesktopTrash)
        trash = DesktopTrash::open(Platform::desktopTrash(), false);
    const int files = trash ? trash->files.fd : -1;
    records.reserve(history.size());
    for (const auto& entry : history) {
        Record record;
        record.entry = entry;
        record.complete = false;
        if (auto text = Files::read(manifestPath(entry.id), kMaxManifestBytes)) {
            Decoded decoded = decode(*text);
            record.source = decoded.manifest.source;
            record.items = std::move(decoded.manifest.items);
            record.complete = decoded.complete;
        }
        record.where.reserve(record.items.size());
        for (const auto& item : record.items)
            record.where.push_back(whereNow(item, files));
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace Scanner
