// SPDX-License-Identifier: GPL-3.0-or-later
// The Markdown scan report and its file.
#include "Report.h"

#include "Files.h"
#include "Platform.h"
#include "Strings.h"
#include "Text.h"
#include "Trash.h"

#include <algorithm>
#include <sys/stat.h>

namespace Report {
namespace {

constexpr size_t kMaxReportRows = 100;

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
        total = Strings::addSaturated(total, item.size);
    out += "## " + title + "  ·  " + humanSize(total) + "\n\n";
    out += "| " + t("common.name") + " | " + t("common.size") + " | " + t("common.path") +
           " |\n|---|---:|---|\n";
    for (size_t i = 0; i < items.size() && i < kMaxReportRows; ++i)
        out += "| " + tableCell(items[i].name) + " | " + humanSize(items[i].size) + " | " +
               codeSpan(tableCell(items[i].path)) + " |\n";
    out += "\n";
}

std::string whereWord(Cleanups::Where where)
{
    switch (where) {
    case Cleanups::Where::InTrash:
        return t("cleanups.where.inTrash");
    case Cleanups::Where::PutBack:
        return t("cleanups.where.putBack");
    case Cleanups::Where::Gone:
        break;
    }
    return t("cleanups.where.gone");
}

void appendCleanups(std::string& out, const std::vector<Cleanups::Record>& records)
{
    out += "## " + t("report.cleanups") + "\n\n";
    for (size_t r = 0; r < records.size() && r < kReportCleanups; ++r) {
        const Cleanups::Record& record = records[r];
        out += "### " + localTimeText(record.entry.date, "%Y-%m-%d %H:%M") + "  ·  " +
               Cleanups::sourceWord(record.source) + "  ·  " +
               L::fCount("cleanups.items", record.entry.items) + "  ·  " +
               humanSize(record.entry.freed) +
               (record.complete ? "" : "  " + t("cleanups.incomplete")) + "\n\n";
        if (record.items.empty())
            continue;
        out += "| " + t("common.name") + " | " + t("common.size") + " | " + t("common.path") +
               " | " + t("report.now") + " |\n|---|---:|---|---|\n";
        for (size_t i = 0; i < record.items.size() && i < kMaxReportRows; ++i) {
            const Cleanups::Item& item = record.items[i];
            out += "| " + tableCell(item.label) + " | " + humanSize(item.size) + " | " +
                   codeSpan(tableCell(item.path)) + " | " +
                   whereWord(i < record.where.size() ? record.where[i] : Cleanups::Where::Gone) +
                   " |\n";
        }
        out += "\n";
    }
}

} // namespace

std::string text(const std::vector<ScanItem>& cache, const std::vector<ScanItem>& leftover,
                 const std::vector<ScanItem>& large, const VolumeInfo& volume,
                 Clock::time_point now, const std::vector<Cleanups::Record>& cleanups)
{
    std::string out = "# " + t("app.name") + " · " + t("report.title") + "\n\n";
    out += "- " + t("report.time") + ": " + localTimeText(now, "%Y-%m-%d %H:%M") + "\n";
    out += "- " + t("common.total") + ": " + humanSize(volume.total) + " · " + t("ov.used") + " " +
           humanSize(volume.used()) + " · " + t("ov.free") + " " + humanSize(volume.free) + "\n\n";
    appendSection(out, t("clean.filter.cache"), cache);
    appendSection(out, t("clean.filter.orphan"), leftover);
    appendSection(out, t("files.title"), large);
    if (!cleanups.empty())
        appendCleanups(out, cleanups);
    return out;
}

} // namespace Report

namespace Scanner {

std::optional<std::string> exportReport(const std::vector<ScanItem>& cache,
                                        const std::vector<ScanItem>& leftover,
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
    if (!Files::writeAtomically(path,
                                Report::text(cache, leftover, large, volume, now, loadCleanups())))
        return std::nullopt;
    return path;
}

} // namespace Scanner
