// SPDX-License-Identifier: GPL-3.0-or-later
// scan, clean and big: the command-line face of the clean-up. scan lists the
// caches and leftovers (read-only, as text or JSON, or into a plan file),
// clean shows the same items (or a plan's unchanged ones) and moves them into
// the Trash only when told to, as one clean-up with its history entry and
// manifest; big lists the largest files.
#include "Caches.h"
#include "Cleanups.h"
#include "Commands.h"
#include "Entry.h"
#include "Files.h"
#include "LargeFiles.h"
#include "Leftovers.h"
#include "Plan.h"
#include "Terminal.h"
#include "Text.h"
#include "Trash.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace Cli {
namespace {

constexpr int64_t kMiB = 1024 * 1024;

// minMB in bytes; a value whose byte count does not fit 64 bits is clamped,
// so "--min" 99999999999999 keeps only what no disk holds.
int64_t thresholdBytes(int64_t minMB)
{
    if (minMB > INT64_MAX / kMiB)
        return INT64_MAX;
    if (minMB < INT64_MIN / kMiB)
        return INT64_MIN;
    return minMB * kMiB;
}

void keepAtLeast(std::vector<ScanItem>& items, int64_t bytes)
{
    std::erase_if(items, [bytes](const ScanItem& item) { return item.size < bytes; });
}

std::vector<std::string> pathsOf(const std::vector<ScanItem>& items)
{
    std::vector<std::string> paths;
    paths.reserve(items.size());
    for (const auto& item : items)
        paths.push_back(item.path);
    return paths;
}

// The bytes a clean-up of all items frees: an item inside another listed
// item (an uninstalled Flatpak's cache inside its folder) moves with it and
// counts once.
int64_t outerSize(const std::vector<ScanItem>& items)
{
    std::vector<int64_t> sizes;
    sizes.reserve(items.size());
    for (const auto& item : items)
        sizes.push_back(item.size);
    return Files::outerTotal(pathsOf(items), sizes);
}

// Each path once (the first listing wins: a folder can be both a cache and a
// leftover), and nothing inside another listed item, which moves with it: the
// announced count and size are then exactly what the clean-up moves.
void keepOutermostOnce(std::vector<ScanItem>& items)
{
    const std::vector<bool> inside = Files::insideOthers(pathsOf(items));
    size_t i = 0;
    std::erase_if(items, [&](const ScanItem&) { return inside[i++]; });
}

// The catalogue key that says why items stayed, for each outcome but Moved.
const char* notMovedKey(MoveOutcome outcome)
{
    switch (outcome) {
    case MoveOutcome::Moved:
        break;
    case MoveOutcome::Gone:
        return "tc.notMoved.gone";
    case MoveOutcome::NoPermission:
        return "tc.notMoved.permission";
    case MoveOutcome::OtherFileSystem:
        return "tc.notMoved.otherFs";
    case MoveOutcome::TrashUnwritable:
        return "tc.notMoved.trash";
    case MoveOutcome::InUse:
        return "tc.notMoved.inUse";
    case MoveOutcome::Failed:
        break;
    }
    return "tc.notMoved.failed";
}

// On standard error, for each reason in turn: how many items it kept from
// moving, then those items.
void reportNotMoved(const std::vector<std::string>& paths, const std::vector<MoveOutcome>& outcomes)
{
    constexpr std::array kOrder = {
        MoveOutcome::Gone,         MoveOutcome::TrashUnwritable, MoveOutcome::OtherFileSystem,
        MoveOutcome::NoPermission, MoveOutcome::InUse,           MoveOutcome::Failed};
    std::string text;
    for (MoveOutcome reason : kOrder) {
        std::string lines;
        long long count = 0;
        for (size_t i = 0; i < paths.size() && i < outcomes.size(); ++i) {
            if (outcomes[i] != reason)
                continue;
            ++count;
            lines += "  · " + printable(tilde(paths[i])) + "\n";
        }
        if (count > 0)
            text += L::fCount(notMovedKey(reason), count) + "\n" + lines;
    }
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

// Moves items into the Trash as one clean-up from the terminal (with its
// history entry and manifest) and reports it as clean does; the exit status.
int moveItems(const std::vector<ScanItem>& items)
{
    std::vector<Cleanups::Target> targets;
    targets.reserve(items.size());
    for (const auto& item : items)
        targets.push_back({item.path, item.size, item.kind, item.risk, item.name});
    const std::vector<MoveOutcome> outcomes =
        Scanner::cleanUp(targets, Cleanups::Source::Terminal).outcomes;
    const auto moved = std::count(outcomes.begin(), outcomes.end(), MoveOutcome::Moved);
    printLine("");
    printLine(ANSI::green(L::fCount("tc.clean.moved", static_cast<long long>(moved))));
    if (size_t(moved) == items.size())
        return 0;
    reportNotMoved(pathsOf(items), outcomes);
    return 1;
}

// The findings scan lists: caches of at least minMB, leftovers of 1 MiB.
std::vector<ScanItem> findings(int64_t minMB)
{
    std::vector<ScanItem> caches = Scanner::cacheItems();
    keepAtLeast(caches, thresholdBytes(minMB));
    std::vector<ScanItem> leftovers = Scanner::leftoverItems();
    keepAtLeast(leftovers, kMiB);
    caches.insert(caches.end(), leftovers.begin(), leftovers.end());
    return caches;
}

void sortLargestFirst(std::vector<ScanItem>& items)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const ScanItem& a, const ScanItem& b) { return a.size > b.size; });
}

std::string number(size_t n)
{
    return column(std::to_string(n) + ".", 5);
}

// Pretty-printed with every "/" written as "\/". A slash only occurs inside
// strings in JSON text, so the plain replacement is exact.
void printJson(const std::vector<ScanItem>& items)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& item : items)
        list.push_back({{"name", item.name},
                        {"path", item.path},
                        {"size", item.size},
                        {"kind", std::string(rawValue(item.kind))},
                        {"risk", std::string(rawValue(item.risk))}});
    std::string text;
    try {
        text = list.dump(2);
    } catch (const nlohmann::json::exception&) {
        return; // a text that is not UTF-8: print nothing rather than half
    }
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '/')
            out += '\\';
        out += c;
    }
    printLine(out);
}

} // namespace

int cmdScanPlan(const std::string& path, int64_t minMB)
{
    const std::vector<Plan::Entry> entries = Plan::identify(findings(minMB));
    if (!Files::writeAtomically(path, Plan::encode(entries))) {
        std::fflush(stdout);
        const std::string text = L::f("tc.plan.writeFailed", {printable(path)}) + "\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        return 1;
    }
    printLine(
        L::f("tc.plan.written", {static_cast<long long>(entries.size()), printable(tilde(path))}));
    return 0;
}

int cmdCleanPlan(const std::string& path, bool safeOnly, bool dryRun, int64_t minMB)
{
    const auto text = Files::read(path, Plan::kMaxPlanBytes);
    const auto entries = text ? Plan::decode(*text) : std::nullopt;
    if (!entries) {
        std::fflush(stdout);
        const std::string error = L::f("tc.plan.unreadable", {printable(path)}) + "\n";
        std::fwrite(error.data(), 1, error.size(), stderr);
        return 1;
    }
    std::vector<ScanItem> items;
    std::vector<std::string> skipped;
    for (const auto& entry : *entries) {
        if ((safeOnly && entry.risk != Risk::Safe) || entry.size < thresholdBytes(minMB))
            continue;
        if (!Plan::unchanged(entry)) {
            skipped.push_back(entry.path);
            continue;
        }
        items.push_back(Plan::itemOf(entry));
    }
    keepOutermostOnce(items);
    if (items.empty()) {
        printLine(t("tc.clean.none"));
    } else {
        printLine(ANSI::bold(L::fCount("tc.clean.announce", static_cast<long long>(items.size()),
                                       {human(outerSize(items))}) +
                             " " + t("tc.clean.dest")));
        for (const auto& item : items)
            printLine("  · " + printable(tilde(item.path)));
    }
    if (!skipped.empty()) {
        printLine("");
        printLine(
            ANSI::yellow(L::fCount("tc.plan.skipped", static_cast<long long>(skipped.size()))));
        for (const auto& one : skipped)
            printLine("  · " + printable(tilde(one)));
    }
    if (items.empty())
        return 0;
    if (dryRun) {
        printLine("");
        printLine(ANSI::yellow(t("tc.clean.dryRun")));
        printLine(ANSI::dim(L::f("tc.clean.confirm", {std::string("tclean clean --plan ") +
                                                      printable(path) + " --yes"})));
        return 0;
    }
    return moveItems(items);
}

void cmdScan(bool json, int64_t minMB)
{
    std::vector<ScanItem> caches = Scanner::cacheItems();
    keepAtLeast(caches, thresholdBytes(minMB));
    std::vector<ScanItem> leftovers = Scanner::leftoverItems();
    keepAtLeast(leftovers, kMiB);

    if (json) {
        std::vector<ScanItem> all = caches;
        all.insert(all.end(), leftovers.begin(), leftovers.end());
        printJson(all);
        return;
    }

    sortLargestFirst(caches);
    sortLargestFirst(leftovers);
    std::vector<ScanItem> all = caches;
    all.insert(all.end(), leftovers.begin(), leftovers.end());

    printLine(ANSI::bold(t("tc.scan.title")) + ANSI::dim(t("tc.scan.readOnly")));
    printLine("");
    for (size_t i = 0; i < all.size(); ++i) {
        const ScanItem& item = all[i];
        printLine("  " + number(i + 1) + riskTag(item.risk) + "  " + pad(human(item.size), 9) +
                  "  " + printable(item.name));
        printLine("        " + ANSI::dim(printable(item.path)));
    }
    printLine("");
    printLine(ANSI::bold(L::f("tc.scan.total", {human(outerSize(all))})) +
              ANSI::dim(L::fCount("tc.scan.count", static_cast<long long>(all.size()))));
    printLine(ANSI::dim(t("tc.scan.hint")));
}

int cmdClean(bool safeOnly, bool dryRun, int64_t minMB)
{
    std::vector<ScanItem> items = Scanner::cacheItems();
    std::vector<ScanItem> leftovers = Scanner::leftoverItems();
    items.insert(items.end(), leftovers.begin(), leftovers.end());
    if (safeOnly)
        std::erase_if(items, [](const ScanItem& item) { return item.risk != Risk::Safe; });
    keepAtLeast(items, thresholdBytes(minMB));
    keepOutermostOnce(items);

    if (items.empty()) {
        printLine(t("tc.clean.none"));
        return 0;
    }
    printLine(ANSI::bold(L::fCount("tc.clean.announce", static_cast<long long>(items.size()),
                                   {human(outerSize(items))}) +
                         " " + t("tc.clean.dest")));
    for (const auto& item : items)
        printLine("  · " + printable(tilde(item.path)));

    if (dryRun) {
        printLine("");
        printLine(ANSI::yellow(t("tc.clean.dryRun")));
        printLine(ANSI::dim(L::f("tc.clean.confirm", {std::string("tclean clean") +
                                                      (safeOnly ? " --safe" : "") + " --yes"})));
        return 0;
    }
    return moveItems(items);
}

void cmdBig(int64_t minMB, int limit)
{
    printLine(ANSI::bold(L::f("tc.big.title", {static_cast<long long>(minMB)})));
    std::vector<ScanItem> files = Scanner::largeFiles(minMB);
    size_t shown = std::min(files.size(), static_cast<size_t>(std::max(limit, 0)));
    for (size_t i = 0; i < shown; ++i)
        printLine("  " + number(i + 1) + ANSI::cyan(column(human(files[i].size), 10)) +
                  printable(tilde(files[i].path)));
    printLine("");
    printLine(ANSI::dim(L::fCount("tc.big.total", static_cast<long long>(shown))));
}

} // namespace Cli
