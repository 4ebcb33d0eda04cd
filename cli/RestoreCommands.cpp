// SPDX-License-Identifier: GPL-3.0-or-later
// restore: the past clean-ups, and putting their items back. Without
// arguments it lists the clean-ups; with "last", a clean-up's date as listed
// or a prefix of its id, or paths, it shows the items it would put back and
// puts them back only when told to.
#include "Cleanups.h"
#include "Commands.h"
#include "Entry.h"
#include "Strings.h"
#include "Terminal.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace Cli {
namespace {

using Cleanups::PutBackOutcome;
using Cleanups::Where;

constexpr size_t kShownId = 8;

std::string listedDate(const Cleanups::Record& record)
{
    return localTimeText(record.entry.date, "%Y-%m-%d %H:%M");
}

void printError(const std::string& text)
{
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void list(const std::vector<Cleanups::Record>& records)
{
    if (records.empty()) {
        printLine(t("tc.restore.none"));
        return;
    }
    printLine(ANSI::bold(t("tc.restore.title")));
    printLine("");
    for (const auto& record : records) {
        const auto inTrash = std::count(record.where.begin(), record.where.end(), Where::InTrash);
        printLine("  " + column(listedDate(record), 18) +
                  ANSI::dim(column(record.entry.id.substr(0, kShownId), 10)) +
                  column(Cleanups::sourceWord(record.source), 10) +
                  column(L::fCount("cleanups.items", record.entry.items), 10) +
                  column(human(record.entry.freed), 11) +
                  L::fCount("cleanups.inTrash", static_cast<long long>(inTrash)) +
                  (record.complete ? "" : " " + ANSI::yellow(t("cleanups.incomplete"))));
    }
    printLine("");
    printLine(ANSI::dim(t("tc.restore.hint")));
}

// An argument that names a path rather than a clean-up.
bool isPath(const std::string& arg)
{
    return arg.find('/') != std::string::npos || arg == "~" || arg == "." || arg == "..";
}

// An absolute path without ".", ".." or repeated and trailing slashes, "~"
// read as the home folder and a relative path taken from the current folder
// (links are not resolved).
std::string absolutePath(const std::string& arg)
{
    std::string path = arg;
    if (path == "~" || path.starts_with("~/"))
        path = home() + path.substr(1);
    if (path.empty() || path.front() != '/') {
        std::string here(4096, '\0');
        if (::getcwd(here.data(), here.size()))
            here.resize(std::char_traits<char>::length(here.c_str()));
        else
            here = "/";
        path = here + "/" + path;
    }
    std::string out = std::filesystem::path(path).lexically_normal().string();
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

bool atOrBelow(const std::string& path, const std::string& top)
{
    return path == top || top == "/" ||
           (path.size() > top.size() && path.starts_with(top) && path[top.size()] == '/');
}

// The chosen items of one clean-up.
struct Chosen
{
    size_t record = 0;
    std::vector<size_t> items;
};

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The clean-ups a selector names: "last", a date as listed (every clean-up
// of that minute) or a prefix of an id.
std::vector<size_t> cleanupsNamed(const std::vector<Cleanups::Record>& records,
                                  const std::string& selector)
{
    std::vector<size_t> out;
    if (selector == "last") {
        if (!records.empty())
            out.push_back(0);
        return out;
    }
    const std::string id = upper(selector);
    for (size_t i = 0; i < records.size(); ++i)
        if (listedDate(records[i]) == selector || records[i].entry.id.starts_with(id))
            out.push_back(i);
    return out;
}

const char* notBackKey(PutBackOutcome outcome)
{
    switch (outcome) {
    case PutBackOutcome::Taken:
        return "tc.notBack.taken";
    case PutBackOutcome::Gone:
        return "tc.notBack.gone";
    case PutBackOutcome::NoPermission:
        return "tc.notBack.permission";
    default:
        return "tc.notBack.failed";
    }
}

// For each reason in turn, how many items it kept in the Trash, then those
// items.
std::string notBackText(const std::vector<std::pair<std::string, PutBackOutcome>>& notBack)
{
    constexpr std::array kOrder = {PutBackOutcome::Taken, PutBackOutcome::Gone,
                                   PutBackOutcome::NoPermission, PutBackOutcome::Failed};
    std::string text;
    for (PutBackOutcome reason : kOrder) {
        std::string lines;
        long long count = 0;
        for (const auto& [path, outcome] : notBack) {
            if (outcome != reason)
                continue;
            ++count;
            lines += "  · " + printable(tilde(path)) + "\n";
        }
        if (count > 0)
            text += L::fCount(notBackKey(reason), count) + "\n" + lines;
    }
    return text;
}

} // namespace

int cmdRestore(const std::vector<std::string>& args, bool dryRun, bool beside)
{
    const std::vector<Cleanups::Record> records = Scanner::loadCleanups();
    if (args.empty()) {
        list(records);
        return 0;
    }

    // What is chosen, and what of it is no longer in the Trash.
    std::vector<Chosen> chosen;
    std::vector<std::pair<std::string, PutBackOutcome>> notBack;
    bool matched = false;
    if (std::any_of(args.begin(), args.end(), isPath)) {
        std::vector<std::string> tops;
        for (const auto& arg : args)
            tops.push_back(absolutePath(arg));
        // An item cleaned more than once is put back from where it is now;
        // the others are left alone.
        for (size_t r = 0; r < records.size(); ++r) {
            Chosen one{r, {}};
            for (size_t i = 0; i < records[r].items.size(); ++i) {
                const auto& path = records[r].items[i].path;
                if (std::none_of(tops.begin(), tops.end(),
                                 [&](const std::string& top) { return atOrBelow(path, top); }))
                    continue;
                matched = true;
                if (records[r].where[i] == Where::InTrash)
                    one.items.push_back(i);
            }
            if (!one.items.empty())
                chosen.push_back(std::move(one));
        }
    } else {
        std::string selector;
        for (const auto& arg : args)
            selector += (selector.empty() ? "" : " ") + arg;
        for (size_t r : cleanupsNamed(records, selector)) {
            matched = true;
            Chosen one{r, {}};
            for (size_t i = 0; i < records[r].items.size(); ++i) {
                if (records[r].where[i] == Where::InTrash)
                    one.items.push_back(i);
                else if (records[r].where[i] == Where::Gone)
                    notBack.emplace_back(records[r].items[i].path, PutBackOutcome::Gone);
            }
            chosen.push_back(std::move(one));
        }
    }
    if (!matched) {
        std::string quoted;
        for (const auto& arg : args)
            quoted += (quoted.empty() ? "" : " ") + printable(arg);
        printError(L::f("tc.restore.noMatch", {quoted}) + "\n");
        return 1;
    }

    long long count = 0;
    int64_t bytes = 0;
    for (const auto& one : chosen)
        for (size_t i : one.items) {
            ++count;
            bytes = Strings::addSaturated(bytes, records[one.record].items[i].size);
        }
    if (count == 0) {
        printLine(t("tc.restore.nothing"));
    } else {
        printLine(ANSI::bold(L::fCount("tc.restore.announce", count, {human(bytes)})));
        for (const auto& one : chosen)
            for (size_t i : one.items)
                printLine("  · " + printable(tilde(records[one.record].items[i].path)));
    }
    if (dryRun) {
        if (!notBack.empty()) {
            printLine("");
            const std::string text = notBackText(notBack);
            std::fwrite(text.data(), 1, text.size(), stdout);
        }
        if (count > 0) {
            printLine("");
            printLine(ANSI::yellow(t("tc.restore.dryRun")));
            std::string again = "tclean restore";
            for (const auto& arg : args)
                again += " " + printable(arg);
            printLine(ANSI::dim(L::f("tc.clean.confirm", {again + " --yes"})));
        }
        return 0;
    }

    long long back = 0;
    std::vector<std::string> besidePaths;
    for (const auto& one : chosen) {
        const Cleanups::Record& record = records[one.record];
        const auto outcomes = Scanner::putBack(record, one.items, beside);
        for (size_t k = 0; k < one.items.size() && k < outcomes.size(); ++k) {
            const std::string& path = record.items[one.items[k]].path;
            if (outcomes[k] == PutBackOutcome::PutBack) {
                ++back;
            } else if (outcomes[k] == PutBackOutcome::PutBackBeside) {
                ++back;
                besidePaths.push_back(path);
            } else {
                notBack.emplace_back(path, outcomes[k]);
            }
        }
    }
    if (count > 0) {
        printLine("");
        printLine(ANSI::green(L::fCount("tc.restore.done", back)));
    }
    if (!besidePaths.empty()) {
        printLine(L::fCount("tc.restore.beside", static_cast<long long>(besidePaths.size())));
        for (const auto& path : besidePaths)
            printLine("  · " + printable(tilde(path)));
    }
    if (notBack.empty())
        return 0;
    printError(notBackText(notBack));
    return 1;
}

} // namespace Cli
