// SPDX-License-Identifier: GPL-3.0-or-later
// The Trash mover, the clean-up history and the Markdown scan report.
#include "Trash.h"

#include "DesktopTrash.h"
#include "Files.h"
#include "Platform.h"
#include "Scanner.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace Trash {
namespace {

using json = nlohmann::json;

// Far more than any folder holds; only stops a loop on a broken file system.
constexpr int kMaxSuffix = 100000;
constexpr size_t kMaxHistory = 100;
constexpr size_t kMaxHistoryBytes = 1024 * 1024;
constexpr size_t kMaxReportRows = 100;

std::string localTime(Clock::time_point time, const char* pattern)
{
    std::time_t seconds = Clock::to_time_t(time);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char buf[64];
    size_t n = std::strftime(buf, sizeof buf, pattern, &parts);
    return std::string(buf, n);
}

bool resolves(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0;
}

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

int64_t addClamped(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

// A name or path as one cell of a Markdown table: "|" is escaped and control
// characters (a line feed in a file name) are written as escapes, so no name
// can end its row or add a column. Every other byte stays as it is.
std::string tableCell(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '|' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

// A path as a code span that no backtick inside it can close early: fenced
// by one backtick more than its longest run of them.
std::string codeSpan(const std::string& cell)
{
    size_t longest = 0;
    for (size_t run = 0; const char c : cell) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    const std::string fence(longest + 1, '`');
    const bool pad = longest > 0;
    return fence + (pad ? " " : "") + cell + (pad ? " " : "") + fence;
}

void appendSection(std::string& out, const std::string& title, const std::vector<ScanItem>& items)
{
    int64_t total = 0;
    for (const auto& item : items)
        total = addClamped(total, item.size);
    out += "## " + title + "  ·  " + humanSize(total) + "\n\n";
    out += "| " + t("common.name") + " | " + t("common.size") + " | " + t("common.path") +
           " |\n|---|---:|---|\n";
    for (size_t i = 0; i < items.size() && i < kMaxReportRows; ++i)
        out += "| " + tableCell(items[i].name) + " | " + humanSize(items[i].size) + " | " +
               codeSpan(tableCell(items[i].path)) + " |\n";
    out += "\n";
}

} // namespace

std::string stamp(Clock::time_point time)
{
    return localTime(time, "%Y-%m-%d_%H%M");
}

bool moveInto(const std::string& path, const std::string& folder)
{
    // A trailing slash would make the rename resolve a link instead of
    // moving the link itself.
    std::string source = path;
    while (source.size() > 1 && source.back() == '/')
        source.pop_back();
    const std::string name = Strings::lastComponent(source);
    if (name.empty() || name == "." || name == "..")
        return false;
    for (int n = 1; n <= kMaxSuffix; ++n) {
        std::string target = folder + "/" + name + (n == 1 ? "" : "_" + std::to_string(n));
        if (resolves(target))
            continue;
        switch (Platform::renameNoReplace(source, target)) {
        case Platform::RenameResult::Moved:
            return true;
        case Platform::RenameResult::TargetExists:
            continue; // appeared since the check, or a link that leads nowhere
        case Platform::RenameResult::CrossDevice:
        case Platform::RenameResult::Failed:
            return false;
        }
    }
    return false;
}

std::string encodeHistory(const std::vector<HistoryEntry>& entries)
{
    json list = json::array();
    for (const auto& e : entries)
        list.push_back({{"id", e.id},
                        {"date", referenceSeconds(e.date)},
                        {"items", e.items},
                        {"freed", e.freed}});
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::vector<HistoryEntry> decodeHistory(std::string_view text)
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

std::string reportText(const std::vector<ScanItem>& cache, const std::vector<ScanItem>& orphan,
                       const std::vector<ScanItem>& large, const VolumeInfo& volume,
                       Clock::time_point now)
{
    std::string out = "# " + t("app.name") + " · " + t("report.title") + "\n\n";
    out += "- " + t("report.time") + ": " + localTime(now, "%Y-%m-%d %H:%M") + "\n";
    out += "- " + t("common.total") + ": " + humanSize(volume.total) + " · " + t("ov.used") + " " +
           humanSize(volume.used()) + " · " + t("ov.free") + " " + humanSize(volume.free) + "\n\n";
    appendSection(out, t("clean.filter.cache"), cache);
    appendSection(out, t("clean.filter.orphan"), orphan);
    appendSection(out, t("files.title"), large);
    return out;
}

} // namespace Trash

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

std::vector<MoveOutcome> moveToTrash(const std::vector<std::string>& paths,
                                     const std::string& subfolder)
{
    const auto now = Clock::now();
    std::string stamp = Trash::stamp(now);
    if (!subfolder.empty())
        stamp += "_" + subfolder;
    std::vector<MoveOutcome> moved;
    moved.reserve(paths.size());
    if constexpr (Platform::kIsMac) {
        std::string folder = Platform::homeDir() + Trash::kRoot + stamp;
        Files::makeDirs(folder);
        for (const auto& path : paths)
            moved.push_back(Trash::moveInto(path, folder) ? MoveOutcome::Moved
                                                          : MoveOutcome::Failed);
    } else {
        // One entry per item, named after the stamp and the item, so the
        // file manager lists each under its own name and can put it back.
        auto trash = DesktopTrash::open(Platform::desktopTrash(), true);
        // Records a killed clean-up left behind, before their names are
        // wanted again.
        if (trash)
            DesktopTrash::sweepOrphans(*trash, now);
        for (const auto& path : paths)
            moved.push_back(trash ? DesktopTrash::put(*trash, path, stamp, now)
                                  : MoveOutcome::TrashUnwritable);
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

std::vector<HistoryEntry> loadHistory()
{
    // The history holds at most its last entries; a file far larger than
    // those can take is not one this program wrote and reads as empty.
    auto text = Files::read(historyPath(), Trash::kMaxHistoryBytes);
    return text ? Trash::decodeHistory(*text) : std::vector<HistoryEntry>{};
}

void appendHistory(const HistoryEntry& entry)
{
    std::vector<HistoryEntry> entries = loadHistory();
    HistoryEntry newest = entry;
    // An entry the reader would refuse would cost the whole history later.
    newest.id = Trash::canonicalUuid(newest.id);
    if (newest.id.empty())
        newest.id = newUuid();
    entries.insert(entries.begin(), std::move(newest));
    if (entries.size() > Trash::kMaxHistory)
        entries.resize(Trash::kMaxHistory);
    // Written whole to a temporary file and renamed over the old one, so an
    // interrupted write leaves the previous history as it was.
    Files::writeAtomically(historyPath(), Trash::encodeHistory(entries));
}

std::optional<std::string> exportReport(const std::vector<ScanItem>& cache,
                                        const std::vector<ScanItem>& orphan,
                                        const std::vector<ScanItem>& large,
                                        const VolumeInfo& volume)
{
    const auto now = Clock::now();
    // Named by the local date and time; a second report in the same minute
    // gets "_2", "_3", ... and never replaces the first.
    const std::string base = Platform::reportFolder() + "/TidloCleaner-Report-" + Trash::stamp(now);
    std::string path = base + ".md";
    auto taken = [](const std::string& p) {
        struct stat st = {};
        return ::lstat(p.c_str(), &st) == 0;
    };
    for (int n = 2; taken(path); ++n) {
        if (n == 1000)
            return std::nullopt; // every name of the minute is taken
        path = base + "_" + std::to_string(n) + ".md";
    }
    if (!Files::writeAtomically(path, Trash::reportText(cache, orphan, large, volume, now)))
        return std::nullopt;
    return path;
}

} // namespace Scanner
