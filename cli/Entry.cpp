// SPDX-License-Identifier: GPL-3.0-or-later
#include "Entry.h"

#include "Commands.h"
#include "Strings.h"
#include "Terminal.h"
#include "Text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>

namespace Cli {
namespace {

std::string& homeStorage()
{
    static std::string value;
    return value;
}

const std::set<std::string> kValueFlags = {"-d", "--depth", "-n", "--min", "--plan"};

// The options each command takes; any other option is a usage error.
const std::map<std::string, std::set<std::string>> kOptionsOf = {
    {"overview", {}},
    {"ov", {}},
    {"scan", {"--json", "--min", "--plan"}},
    {"tree", {"-d", "--depth"}},
    {"dupes", {"-n"}},
    {"names", {}},
    {"big", {"--min"}},
    {"types", {}},
    {"clean", {"--safe", "--dry-run", "--yes", "--min", "--plan"}},
    {"restore", {"--yes", "--beside"}},
    {"procs", {}},
    {"ps", {}},
};

// The value of option name, parsed as a whole number of at least least, or
// fallback when the option is absent; nullopt when its value is not such a
// number (the caller then reports a usage error).
std::optional<int64_t> numberOption(const Invocation& inv, const std::string& name,
                                    int64_t fallback, int64_t least)
{
    auto it = inv.opts.find(name);
    if (it == inv.opts.end())
        return fallback;
    auto value = Strings::parseInt(it->second);
    if (!value || *value < least)
        return std::nullopt;
    return value;
}

} // namespace

const std::string& home()
{
    return homeStorage();
}

void setHome(std::string value)
{
    homeStorage() = std::move(value);
}

std::string tilde(const std::string& path)
{
    const std::string& h = home();
    // Only a path that starts with the home folder: the same letters further
    // on ("<home>/x<home>-old") are part of a name.
    if (h.empty() || h == "/" || !path.starts_with(h))
        return path;
    if (path.size() == h.size())
        return "~";
    if (path[h.size()] != '/')
        return path;
    return "~" + path.substr(h.size());
}

Invocation parse(const std::vector<std::string>& args, const std::string& homeDir)
{
    Invocation inv;
    std::vector<std::string> rest = args;
    inv.word = "overview";
    if (!rest.empty()) {
        inv.word = rest.front();
        rest.erase(rest.begin());
    }
    const std::string& w = inv.word;
    if (w == "help" || w == "--help" || w == "-h") {
        inv.command = Command::Usage;
        return inv;
    }
    if (w == "version" || w == "--version" || w == "-v") {
        inv.command = Command::Version;
        return inv;
    }
    auto known = kOptionsOf.find(w);
    if (known == kOptionsOf.end()) {
        inv.command = Command::BadUsage;
        return inv;
    }
    const std::set<std::string>& allowed = known->second;
    bool bad = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < rest.size();) {
        const std::string& arg = rest[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true; // what follows is positional, "-d" a folder name
            i += 1;
        } else if (!optionsEnded && !arg.empty() && arg[0] == '-') {
            if (!allowed.count(arg))
                bad = true; // an option this command does not take
            if (kValueFlags.count(arg)) {
                if (i + 1 < rest.size())
                    inv.opts[arg] = rest[i + 1];
                else
                    bad = true; // the value is missing
                i += 2;
            } else {
                inv.flags.insert(arg);
                i += 1;
            }
        } else {
            inv.positional.push_back(arg);
            i += 1;
        }
    }

    if (w == "overview" || w == "ov") {
        inv.command = Command::Overview;
    } else if (w == "scan") {
        inv.command = Command::Scan;
        inv.json = inv.flags.count("--json") > 0;
        auto min = numberOption(inv, "--min", 0, 0);
        bad = bad || !min;
        inv.minMB = min.value_or(0);
        if (auto plan = inv.opts.find("--plan"); plan != inv.opts.end())
            inv.plan = plan->second;
    } else if (w == "tree") {
        inv.command = Command::Tree;
        inv.path = inv.positional.empty() ? homeDir : inv.positional.front();
        // -d wins over --depth; a depth out of 1...8 is brought into it.
        auto depth = numberOption(inv, inv.opts.count("-d") ? "-d" : "--depth", 3, INT64_MIN);
        bad = bad || !depth;
        inv.depth = static_cast<int>(std::clamp<int64_t>(depth.value_or(3), 1, 8));
        inv.count = 40;
    } else if (w == "dupes") {
        inv.command = Command::Dupes;
        auto limit = numberOption(inv, "-n", 1500, 1);
        bad = bad || !limit;
        inv.limit = limit.value_or(1500);
    } else if (w == "names") {
        inv.command = Command::Names;
    } else if (w == "big") {
        inv.command = Command::Big;
        auto min = numberOption(inv, "--min", 50, 0);
        bad = bad || !min;
        inv.minMB = min.value_or(50);
        inv.limit = 30;
    } else if (w == "types") {
        inv.command = Command::Types;
    } else if (w == "clean") {
        inv.command = Command::Clean;
        inv.safeOnly = inv.flags.count("--safe") > 0;
        inv.dryRun = inv.flags.count("--yes") ? inv.flags.count("--dry-run") > 0 : true;
        auto min = numberOption(inv, "--min", 0, 0);
        bad = bad || !min;
        inv.minMB = min.value_or(0);
        if (auto plan = inv.opts.find("--plan"); plan != inv.opts.end())
            inv.plan = plan->second;
    } else if (w == "restore") {
        inv.command = Command::Restore;
        inv.dryRun = inv.flags.count("--yes") == 0;
        inv.beside = inv.flags.count("--beside") > 0;
    } else {
        inv.command = Command::Procs;
    }
    if (bad)
        inv.command = Command::BadUsage;
    return inv;
}

std::string usageText()
{
    std::string text;
    text += ANSI::bold("tclean") + t("tc.usage.title") + "\n";
    text += "\n";
    text += ANSI::bold(t("tc.usage.heading")) + "\n";
    text += t("tc.usage.commands");
    text += t("tc.usage.restore");
    text += "\n";
    text += ANSI::bold(t("tc.usage.notesHeading")) + "\n";
    text += t("tc.usage.notes");
    return text;
}

void usage()
{
    std::string text = usageText();
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void usageError()
{
    std::string text = usageText();
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

int dispatch(const Invocation& inv)
{
    switch (inv.command) {
    case Command::Overview:
        cmdOverview();
        return 0;
    case Command::Scan:
        if (!inv.plan.empty())
            return cmdScanPlan(inv.plan, inv.minMB);
        cmdScan(inv.json, inv.minMB);
        return 0;
    case Command::Tree:
        return cmdTree(inv.path, inv.depth, inv.count);
    case Command::Dupes:
        cmdDuplicates(inv.limit);
        return 0;
    case Command::Names:
        cmdNames();
        return 0;
    case Command::Big:
        cmdBig(inv.minMB, static_cast<int>(inv.limit));
        return 0;
    case Command::Types:
        cmdTypes();
        return 0;
    case Command::Clean:
        if (!inv.plan.empty())
            return cmdCleanPlan(inv.plan, inv.safeOnly, inv.dryRun, inv.minMB);
        return cmdClean(inv.safeOnly, inv.dryRun, inv.minMB);
    case Command::Restore:
        return cmdRestore(inv.positional, inv.dryRun, inv.beside);
    case Command::Procs:
        cmdProcs();
        return 0;
    case Command::Version:
        printLine(kVersionLine);
        return 0;
    case Command::Usage:
        usage();
        return 0;
    case Command::BadUsage:
        usageError();
        return 2;
    }
    return 0;
}

} // namespace Cli
