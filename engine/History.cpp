// SPDX-License-Identifier: GPL-3.0-or-later
// The clean-up history's codec and its file.
#include "History.h"

#include "Files.h"
#include "Platform.h"

#include <cctype>
#include <cmath>
#include <nlohmann/json.hpp>

namespace History {
namespace {

using json = nlohmann::json;

constexpr size_t kMaxHistory = 100;
constexpr size_t kMaxHistoryBytes = 1024 * 1024;

// The UUID in its standard form (upper case), or "" when text is not one.
std::string canonicalUuid(std::string_view text)
{
    if (text.size() != 36)
        return "";
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (dash ? c != '-' : !std::isxdigit(c))
            return "";
        out[i] = static_cast<char>(std::toupper(c));
    }
    return out;
}

// Seconds since the reference date; the history keeps them with a fraction.
double referenceSeconds(Clock::time_point time)
{
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch());
    auto sinceReference = ns - std::chrono::seconds(static_cast<int64_t>(kReferenceDate));
    return static_cast<double>(sinceReference.count()) / 1e9;
}

std::optional<Clock::time_point> fromReferenceSeconds(double seconds)
{
    // The clock holds about 292 years either side of 1970 in nanoseconds; a
    // date beyond 146 years of 2001 is not one this product wrote.
    if (!std::isfinite(seconds) || std::fabs(seconds) > 4.6e9)
        return std::nullopt;
    auto ns = std::chrono::nanoseconds(std::llround(seconds * 1e9)) +
              std::chrono::seconds(static_cast<int64_t>(kReferenceDate));
    return Clock::time_point(std::chrono::duration_cast<Clock::duration>(ns));
}

} // namespace

std::string encode(const std::vector<HistoryEntry>& entries)
{
    json list = json::array();
    for (const auto& e : entries)
        list.push_back({{"id", e.id},
                        {"date", referenceSeconds(e.date)},
                        {"items", e.items},
                        {"freed", e.freed}});
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::vector<HistoryEntry> decode(std::string_view text)
{
    json list = json::parse(text, nullptr, false);
    if (!list.is_array())
        return {};
    std::vector<HistoryEntry> out;
    for (const auto& obj : list) {
        if (out.size() == kMaxHistory)
            break;
        if (!obj.is_object())
            return {};
        auto id = obj.find("id");
        auto date = obj.find("date");
        auto items = obj.find("items");
        auto freed = obj.find("freed");
        if (id == obj.end() || date == obj.end() || items == obj.end() || freed == obj.end())
            return {};
        if (!id->is_string() || !date->is_number() || !items->is_number_integer() ||
            !freed->is_number_integer())
            return {};
        HistoryEntry entry;
        entry.id = canonicalUuid(id->get_ref<const std::string&>());
        auto when = fromReferenceSeconds(date->get<double>());
        if (entry.id.empty() || !when)
            return {};
        entry.date = *when;
        if (items->is_number_unsigned()
                ? items->get<uint64_t>() > uint64_t(INT32_MAX)
                : (items->get<int64_t>() > INT32_MAX || items->get<int64_t>() < INT32_MIN))
            return {};
        entry.items = static_cast<int>(items->get<int64_t>());
        if (freed->is_number_unsigned() && freed->get<uint64_t>() > uint64_t(INT64_MAX))
            return {};
        entry.freed = freed->get<int64_t>();
        out.push_back(std::move(entry));
    }
    return out;
}

} // namespace History

namespace Scanner {
namespace {

// The history file; finding it also creates its folder.
std::string historyPath()
{
    std::string folder = Platform::supportFolder();
    Files::makeDirs(folder);
    return folder + "/history.json";
}

} // namespace

std::vector<HistoryEntry> loadHistory()
{
    // The history holds at most its last entries; a file far larger than
    // those can take is not one this program wrote and reads as empty.
    auto text = Files::read(historyPath(), History::kMaxHistoryBytes);
    return text ? History::decode(*text) : std::vector<HistoryEntry>{};
}

void appendHistory(const HistoryEntry& entry)
{
    std::vector<HistoryEntry> entries = loadHistory();
    HistoryEntry newest = entry;
    // An entry the reader would refuse would cost the whole history later.
    newest.id = History::canonicalUuid(newest.id);
    if (newest.id.empty())
        newest.id = newUuid();
    entries.insert(entries.begin(), std::move(newest));
    if (entries.size() > History::kMaxHistory)
        entries.resize(History::kMaxHistory);
    // Written whole to a temporary file and renamed over the old one, so an
    // interrupted write leaves the previous history as it was.
    Files::writeAtomically(historyPath(), History::encode(entries));
}

} // namespace Scanner
