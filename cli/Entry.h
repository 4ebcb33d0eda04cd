// SPDX-License-Identifier: GPL-3.0-or-later
// tclean's entry: records the home folder, splits the arguments into a command
// word, positional arguments, value options and flags, and picks one command
// function with its parameters. Parsing is pure (parse) so that the tests see
// exactly which command and parameters a command line chooses.
#pragma once

#include "Version.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace Cli {

enum class Command {
    Overview,
    Scan,
    Tree,
    Dupes,
    Names,
    Big,
    Types,
    Clean,
    Restore,
    Procs,
    Version,
    Usage,
    BadUsage
};

// A parsed command line: the command and every parameter it takes.
struct Invocation
{
    Command command = Command::Overview;
    std::string word; // the command word as given
    std::vector<std::string> positional;
    std::map<std::string, std::string> opts;
    std::set<std::string> flags;

    bool json = false;     // scan
    int64_t minMB = 0;     // scan, big, clean
    std::string path;      // tree
    int depth = 3;         // tree
    int count = 40;        // tree
    int64_t limit = 0;     // dupes, big
    bool safeOnly = false; // clean
    bool dryRun = true;    // clean, restore
    bool beside = false;   // restore
    std::string plan;      // scan, clean: the plan file ("" for none)
};

// The process-wide home folder, set once by main before dispatch.
const std::string& home();
void setHome(std::string home);

// path with the home folder at its start replaced by "~" (the home itself is
// "~"); any other path, and the home's letters further on, as they are.
std::string tilde(const std::string& path);

// Parses the arguments after the program name. An unknown command word, an
// option the command does not take, an option without its value and a value
// that is not a number in range (--min below 0, -n below 1) give BadUsage;
// help and version ignore what follows them. After "--" every argument is
// positional (a folder named "-d").
Invocation parse(const std::vector<std::string>& args, const std::string& home);

// Runs the chosen command; returns the process exit status.
int dispatch(const Invocation& inv);

// The usage text in the language of the moment, bold words marked only when
// colour is on (ends in "\n").
std::string usageText();
// The usage on standard output (asked for with help).
void usage();
// The usage on standard error (an unknown command, an option the command does
// not take, a missing or bad option value); dispatch then returns 2.
void usageError();

inline constexpr const char* kVersionLine = "tclean " TIDLO_VERSION " · Tidlo Cleaner";

} // namespace Cli
