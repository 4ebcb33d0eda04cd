// SPDX-License-Identifier: GPL-3.0-or-later
// Test fixtures: a throw-away home folder (HOME and the XDG base folders
// point into it, at their default places, for the life of the fixture; the
// XDG user-folder variables are unset) and helpers to run tclean as a real
// process.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

// A fresh temporary folder used as the home folder; removed on destruction.
// Restores HOME, the XDG variables (XDG_CONFIG_DIRS unset meanwhile,
// XDG_DATA_DIRS naming a folder ".system-data" of the home, so the machine's
// desktop entries are not listed) and TID_LANG afterwards. With a language
// ("zh", "en") TID_LANG is set to it, so tclean and the catalogue speak it;
// without one TID_LANG is unset.
class TestHome
{
public:
    explicit TestHome(const char* lang = nullptr);
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    const std::string& path() const { return m_path; }
    // Absolute path of rel inside the home ("a/b" gives HOME/a/b).
    std::string at(const std::string& rel) const;
    // Creates a file (and its folders) with the given content.
    void file(const std::string& rel, const std::string& content = "") const;
    // Creates a file of exactly size bytes (real blocks, not sparse).
    void sizedFile(const std::string& rel, long long size) const;
    // Creates a folder and its parents.
    void dir(const std::string& rel) const;

private:
    std::string m_path;
    std::map<std::string, std::string> m_saved;
    std::vector<std::string> m_unset;
};

// Sets TZ for the life of the object.
class ZoneGuard
{
public:
    explicit ZoneGuard(const char* zone);
    ~ZoneGuard();
    ZoneGuard(const ZoneGuard&) = delete;
    ZoneGuard& operator=(const ZoneGuard&) = delete;

private:
    std::optional<std::string> m_old;
};

// Result of running a program.
struct RunResult
{
    std::string out;
    int status = -1;
};

// Runs program with args, standard output captured through a pipe (so it is
// not a terminal); extra environment entries are set for the child only.
RunResult runProgram(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env = {});

// The same with standard output on a pseudo-terminal; line feeds come back as
// "\r\n" from the terminal driver unless raw is set, and raw is set here.
RunResult runOnTerminal(const std::string& program, const std::vector<std::string>& args);

// The built tclean.
inline std::string tcleanPath()
{
    return TCLEAN_PATH;
}

// True when an unprivileged user can be switched to (tests of unreadable folders).
bool canDropPrivileges();

// The exit status of a child of runInChild that could not set itself up.
inline constexpr int kNoSetUp = 100;

// Runs step in a forked child and returns its exit status (step's result, 0
// to 255), or -1 when it did not exit. With privateMounts the child first
// takes a mount namespace of its own, so whatever it mounts vanishes with it;
// with asUser it runs as the unprivileged user 65534 (permission bits do not
// stop root). kNoSetUp when either could not be had.
int runInChild(bool privateMounts, bool asUser, const std::function<int()>& step);

// A text that tells every file, folder and link below root apart: one line
// per name (sorted, its path below root as bytes in hex) with its kind, mode
// bits, and a file's content (hex; a long one by length and hash) or a
// link's target (hex). Names in leaveOut
// (paths below root) are left out with everything inside them. Two trees
// with equal texts hold the same names, contents, targets and modes.
std::string treeText(const std::string& root, const std::vector<std::string>& leaveOut = {});

// Makes a home's worth of odd items below root: names with a line feed, "%",
// bytes that are not UTF-8 and a name of 255 bytes, links (also one leading
// nowhere), folders nested with files of their own, modes other than the
// usual. Returns the top-level names made, each a thing a clean-up may move.
std::vector<std::string> makeOddTree(const std::string& root, int filler = 0);

} // namespace TestSupport
