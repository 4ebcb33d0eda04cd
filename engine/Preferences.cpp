// SPDX-License-Identifier: GPL-3.0-or-later
#include "Preferences.h"

#include "Files.h"
#include "Platform.h"

#include <cmath>
#include <mutex>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace Preferences {
namespace {

// Dates are stored as {"date": seconds since 1970-01-01 UTC}, which keeps them
// apart from plain numbers and strings.
constexpr const char* kDateKey = "date";

std::mutex& writeLock()
{
    static std::mutex m;
    return m;
}

// The values nest two levels (a date's object, an array of strings). A
// document nested far deeper is not one this product wrote; writing it back
// would indent each level further, memory growing with the square of the
// depth, so it reads as corrupt.
constexpr int kMaxDepth = 16;

json load()
{
    // A few keys take a few kilobytes; a huge file reads as empty.
    auto text = Files::read(filePath(), 4 * 1024 * 1024);
    if (!text)
        return json::object();
    bool tooDeep = false;
    // Values below the limit are skipped as they are read, never built.
    auto withinDepth = [&tooDeep](int depth, json::parse_event_t, json&) {
        tooDeep = tooDeep || depth > kMaxDepth;
        return depth <= kMaxDepth;
    };
    json doc = json::parse(*text, withinDepth, false);
    if (tooDeep || doc.is_discarded() || !doc.is_object())
        return json::object();
    return doc;
}

bool update(const std::string& key, const std::optional<json>& value)
{
    std::lock_guard guard(writeLock());
    json doc = load();
    if (value)
        doc[key] = *value;
    else
        doc.erase(key);
    std::string dir = Platform::configDir() + "/TidloCleaner";
    if (!Files::makeDirs(dir))
        return false;
    return Files::writeAtomically(filePath(),
                                  doc.dump(2, ' ', false, json::error_handler_t::replace));
}

std::optional<json> value(const std::string& key)
{
    json doc = load();
    auto it = doc.find(key);
    if (it == doc.end())
        return std::nullopt;
    return *it;
}

} // namespace

std::string filePath()
{
    return Platform::configDir() + "/TidloCleaner/preferences.json";
}

std::optional<std::string> string(const std::string& key)
{
    auto v = value(key);
    if (!v || !v->is_string())
        return std::nullopt;
    return v->get<std::string>();
}

std::optional<std::vector<std::string>> stringArray(const std::string& key)
{
    auto v = value(key);
    if (!v || !v->is_array())
        return std::nullopt;
    std::vector<std::string> out;
    for (const auto& item : *v) {
        if (!item.is_string())
            return std::nullopt;
        out.push_back(item.get<std::string>());
    }
    return out;
}

std::optional<bool> boolean(const std::string& key)
{
    auto v = value(key);
    if (!v || !v->is_boolean())
        return std::nullopt;
    return v->get<bool>();
}

std::optional<Clock::time_point> date(const std::string& key)
{
    auto v = value(key);
    if (!v || !v->is_object())
        return std::nullopt;
    auto it = v->find(kDateKey);
    if (it == v->end() || !it->is_number())
        return std::nullopt;
    // A date far outside the clock's range (or not finite) does not convert:
    // it reads as absent.
    double seconds = it->get<double>();
    if (!std::isfinite(seconds) || std::fabs(seconds) > 9e9)
        return std::nullopt;
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

bool setString(const std::string& key, const std::string& value)
{
    return update(key, json(value));
}

bool setStringArray(const std::string& key, const std::vector<std::string>& value)
{
    return update(key, json(value));
}

bool setBoolean(const std::string& key, bool value)
{
    return update(key, json(value));
}

bool setDate(const std::string& key, Clock::time_point value)
{
    double seconds = std::chrono::duration<double>(value.time_since_epoch()).count();
    return update(key, json{{kDateKey, seconds}});
}

bool remove(const std::string& key)
{
    return update(key, std::nullopt);
}

} // namespace Preferences
