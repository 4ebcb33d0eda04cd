// SPDX-License-Identifier: GPL-3.0-or-later
// overview, tree, types, dupes, names and procs: the read-only reports. Each
// asks the engine once or twice and prints the records with the terminal
// helpers; only tree can fail (exit status 1 for a path that is not a folder).
// Names and paths are printed with control characters shown as "?", so a file
// name with a line feed cannot break a listing into misleading lines.
#include "Commands.h"
#include "DiskTree.h"
#include "Duplicates.h"
#include "Entry.h"
#include "Parsers.h"
#include "Platform.h"
#include "Strings.h"
#include "System.h"
#include "Terminal.h"
#include "Text.h"
#include "Usage.h"
#include "Walk.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <pwd.h>
#include <set>
#include <sys/stat.h>

namespace Cli {
namespace {

std::string shownPath(const std::string& path)
{
    return printable(tilde(path));
}

std::string percent(const char* format, double share)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, share * 100.0);
    return buf;
}

double fraction(int64_t part, int64_t whole)
{
    return whole >= 1 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

// "~" and "~/x" to the home folder, "~ann/x" to ann's home folder.
std::string expandTilde(const std::string& path)
{
    if (path.empty() || path.front() != '~')
        return path;
    size_t slash = path.find('/');
    std::string user = path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    std::string rest = slash == std::string::npos ? "" : path.substr(slash);
    if (user.empty())
        return home() + rest;
    if (const passwd* pw = ::getpwnam(user.c_str()); pw && pw->pw_dir)
        return pw->pw_dir + rest;
    return path;
}

bool isFolder(const std::string& path)
{
    struct stat st = {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

void cmdOverview()
{
    VolumeInfo vol = Scanner::volume();
    int64_t used = vol.total - vol.free;
    printLine(ANSI::bold(t("tc.ov.title")));
    printLine(t("tc.ov.disk") + human(used) + " / " + human(vol.total) + t("tc.ov.free") +
              ANSI::cyan(human(vol.free)));
    double share = static_cast<double>(used) / static_cast<double>(std::max<int64_t>(vol.total, 1));
    printLine("  " + bar(share, 40) + percent("  %.0f%%", share));
    printLine("");
    printLine(ANSI::bold(t("tc.ov.where")));
    auto categories = Scanner::topLevelUsage();
    for (size_t i = 0; i < categories.size() && i < 8; ++i) {
        const auto& c = categories[i];
        printLine("  " + pad(printable(c.name), 18) + pad(human(c.size), 10) +
                  ANSI::dim(bar(fraction(c.size, vol.total), 24)));
    }
    printLine(ANSI::dim(t("tc.ov.next")));
}

int cmdTree(const std::string& path, int depth, int count)
{
    std::string expanded = expandTilde(path);
    if (!isFolder(expanded)) {
        printLine(ANSI::red(L::f("tc.tree.notFolder", {printable(expanded)})));
        return 1;
    }
    const DiskNode root = Scanner::diskTree(expanded, depth, true, nullptr);
    const auto children = root.children();
    printLine(ANSI::bold(printable(root.path())) + "   " + ANSI::cyan(human(root.size())));
    size_t shown = std::min(children.size(), static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < shown; ++i)
        renderTree(children[i], "", i + 1 == shown, 1, depth, root.size());
    if (children.size() > shown)
        printLine(
            ANSI::dim(L::fCount("tc.tree.more", static_cast<long long>(children.size() - shown))));
    return 0;
}

void cmdTypes()
{
    printLine(ANSI::bold(t("tc.types.title")) + ANSI::dim(t("tc.types.where")));
    const std::string noExtension = t("tc.types.noExt");
    struct Tally
    {
        int64_t count = 0;
        int64_t bytes = 0;
    };
    std::map<std::string, Tally> byKey;
    std::set<std::pair<dev_t, ino_t>> seenFiles;
    using Platform::UserFolder;
    for (const auto& folder : Platform::userFolders(
             {UserFolder::Desktop, UserFolder::Downloads, UserFolder::Documents})) {
        Walk::below(folder, [&](const Walk::Entry& e) {
            if (e.name.front() == '.')
                return Walk::Step::Prune;
            if (!e.isRegular)
                return Walk::Step::Go;
            struct stat st = {};
            if (::lstat(e.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
                return Walk::Step::Go;
            // One file seen at several paths (hard links, a folder mounted
            // inside itself) counts once, as du counts it.
            if (!seenFiles.insert({st.st_dev, st.st_ino}).second)
                return Walk::Step::Go;
            std::string key = Strings::nameKey(Parse::extensionOf(e.name));
            if (key.empty())
                key = noExtension;
            Tally& t = byKey[key];
            t.count += 1;
            t.bytes = Strings::addSaturated(t.bytes, st.st_size);
            return Walk::Step::Go;
        });
    }
    std::vector<std::pair<std::string, Tally>> rows(byKey.begin(), byKey.end());
    int64_t total = 0;
    for (const auto& row : rows)
        total = Strings::addSaturated(total, row.second.bytes);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.second.bytes > b.second.bytes; });
    for (size_t i = 0; i < rows.size() && i < 12; ++i) {
        const auto& [key, t] = rows[i];
        double share = fraction(t.bytes, total);
        printLine("  " + pad(printable(key), 14) + ANSI::cyan(pad(human(t.bytes), 10)) +
                  ANSI::dim(bar(share, 16)) + percent(" %4.1f%%", share) +
                  ANSI::dim(L::fCount("tc.types.files", t.count)));
    }
    printLine("");
    printLine(ANSI::dim(L::f("tc.types.total", {human(total)})));
}

void cmdDuplicates(int64_t limit)
{
    printLine(ANSI::bold(t("tc.dupes.title")));
    printLine(ANSI::dim(t("tc.dupes.scanning")));
    std::fflush(stdout);
    auto groups = Scanner::duplicates(64, limit, nullptr);
    int64_t wasted = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        const auto& g = groups[i];
        wasted += g.wasted();
        printLine("");
        printLine("  " +
                  ANSI::bold(std::to_string(i + 1) + ". " +
                             L::f("tc.dupes.group",
                                  {static_cast<long long>(g.files.size()), human(g.size)})) +
                  ANSI::dim(L::f("tc.dupes.wasted", {human(g.wasted())})));
        for (const auto& file : g.files)
            printLine("     " + shownPath(file));
    }
    printLine("");
    printLine(ANSI::bold(
        L::fCount("tc.dupes.total", static_cast<long long>(groups.size()), {human(wasted)})));
}

void cmdNames()
{
    printLine(ANSI::bold(t("tc.names.title")));
    auto groups = Scanner::sameNameGroups(80, nullptr);
    for (size_t i = 0; i < groups.size() && i < 30; ++i) {
        const auto& g = groups[i];
        printLine("");
        printLine("  " + ANSI::bold(std::to_string(i + 1) + ". " + printable(g.name)) +
                  ANSI::dim("  " + t(g.isFolder ? "tc.names.folder" : "tc.names.file") +
                            L::f("tc.names.places", {static_cast<long long>(g.files.size())})));
        for (size_t k = 0; k < g.files.size() && k < 6; ++k)
            printLine("     " + shownPath(g.files[k]));
        if (g.files.size() > 6)
            printLine(
                ANSI::dim(L::fCount("tc.names.more", static_cast<long long>(g.files.size() - 6))));
    }
    printLine("");
    printLine(ANSI::dim(L::fCount("tc.names.total", static_cast<long long>(groups.size()))));
}

void cmdProcs()
{
    printLine(ANSI::bold(t("tc.procs.title")));
    printLine(t("tc.procs.self") + ANSI::cyan(human(Scanner::ownMemory())));
    printLine("");
    for (const auto& p : Scanner::processes(12))
        printLine("  " + pad(human(p.rss), 10) + pad(printable(p.name), 30) +
                  ANSI::dim("pid " + std::to_string(p.pid)));
}

} // namespace Cli
