// SPDX-License-Identifier: GPL-3.0-or-later
// Clean-up plans: the findings with their identities, and the check that an
// item is still what the scan saw.
#include "Plan.h"

#include "Cleanups.h"
#include "Files.h"
#include "Strings.h"

#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace Plan {
namespace {

using json = nlohmann::ordered_json;

constexpr int kVersion = 1;

void putBytes(json& object, const std::string& key, const std::string& bytes)
{
    if (Strings::isValidUtf8(bytes))
        object[key] = bytes;
    else
        object[key + "Hex"] = Cleanups::hexOf(bytes);
}

std::optional<std::string> getBytes(const json& object, const std::string& key)
{
    auto text = object.find(key);
    auto hex = object.find(key + "Hex");
    if ((text == object.end()) == (hex == object.end()))
        return std::nullopt;
    if (text != object.end())
        return text->is_string() ? std::optional(text->get<std::string>()) : std::nullopt;
    return hex->is_string() ? Cleanups::bytesOfHex(hex->get_ref<const std::string&>())
                            : std::nullopt;
}

template <typename T> std::optional<T> getNumber(const json& object, const char* key)
{
    auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return std::nullopt;
    if constexpr (std::is_unsigned_v<T>) {
        if (!it->is_number_unsigned())
            return std::nullopt;
    } else if (it->is_number_unsigned() && it->get<uint64_t>() > uint64_t(INT64_MAX)) {
        return std::nullopt;
    }
    return it->get<T>();
}

Entry entryOf(const ScanItem& item, const struct stat& st)
{
    Entry entry;
    entry.path = item.path;
    entry.label = item.name;
    entry.size = item.size;
    entry.kind = item.kind;
    entry.risk = item.risk;
    entry.device = uint64_t(st.st_dev);
    entry.inode = uint64_t(st.st_ino);
    entry.modified = Files::modifiedNanoseconds(st);
    entry.length = S_ISREG(st.st_mode) ? int64_t(st.st_size) : -1;
    return entry;
}

} // namespace

std::vector<Entry> identify(const std::vector<ScanItem>& items)
{
    std::vector<Entry> out;
    out.reserve(items.size());
    for (const auto& item : items) {
        struct stat st = {};
        if (::lstat(item.path.c_str(), &st) == 0)
            out.push_back(entryOf(item, st));
    }
    return out;
}

std::string encode(const std::vector<Entry>& entries)
{
    json items = json::array();
    for (const auto& e : entries) {
        json object = json::object();
        putBytes(object, "path", e.path);
        putBytes(object, "label", e.label);
        object["size"] = e.size;
        object["kind"] = std::string(rawValue(e.kind));
        object["risk"] = std::string(rawValue(e.risk));
        object["device"] = e.device;
        object["inode"] = e.inode;
        object["modified"] = e.modified;
        object["length"] = e.length;
        items.push_back(std::move(object));
    }
    json plan = json::object();
    plan["version"] = kVersion;
    plan["items"] = std::move(items);
    return plan.dump(2) + "\n";
}

std::optional<std::vector<Entry>> decode(std::string_view text)
{
    json plan = json::parse(text, nullptr, false);
    if (!plan.is_object() || getNumber<int64_t>(plan, "version") != kVersion)
        return std::nullopt;
    auto items = plan.find("items");
    if (items == plan.end() || !items->is_array())
        return std::nullopt;
    std::vector<Entry> out;
    out.reserve(items->size());
    for (const auto& object : *items) {
        if (!object.is_object())
            return std::nullopt;
        auto path = getBytes(object, "path");
        auto label = getBytes(object, "label");
        auto size = getNumber<int64_t>(object, "size");
        auto device = getNumber<uint64_t>(object, "device");
        auto inode = getNumber<uint64_t>(object, "inode");
        auto modified = getNumber<int64_t>(object, "modified");
        auto length = getNumber<int64_t>(object, "length");
        auto kind = object.find("kind");
        auto risk = object.find("risk");
        if (!path || !label || !size || !device || !inode || !modified || !length ||
            kind == object.end() || !kind->is_string() || risk == object.end() ||
            !risk->is_string() || path->empty() || path->front() != '/')
            return std::nullopt;
        auto kindValue = itemKindFromRaw(kind->get_ref<const std::string&>());
        auto riskValue = riskFromRaw(risk->get_ref<const std::string&>());
        if (!kindValue || !riskValue)
            return std::nullopt;
        out.push_back(Entry{std::move(*path), std::move(*label), *size, *kindValue, *riskValue,
                            *device, *inode, *modified, *length});
    }
    return out;
}

ScanItem itemOf(const Entry& entry)
{
    ScanItem item;
    item.path = entry.path;
    item.name = entry.label;
    item.size = entry.size;
    item.kind = entry.kind;
    item.risk = entry.risk;
    return item;
}

bool unchanged(const Entry& entry)
{
    struct stat st = {};
    if (::lstat(entry.path.c_str(), &st) != 0)
        return false;
    const int64_t length = S_ISREG(st.st_mode) ? int64_t(st.st_size) : -1;
    return uint64_t(st.st_dev) == entry.device && uint64_t(st.st_ino) == entry.inode &&
           Files::modifiedNanoseconds(st) == entry.modified && length == entry.length;
}

} // namespace Plan
