// SPDX-License-Identifier: GPL-3.0-or-later
// tclean's usage, its language and its exit statuses, run as a real process:
// help on standard output, a wrong command line on standard error with 2.
#include "TestHome.h"

#include <gtest/gtest.h>

using TestSupport::runOnTerminal;
using TestSupport::runProgram;
using TestSupport::tcleanPath;

namespace {

std::string usageZh(const std::string& b1, const std::string& b2, const std::string& b3)
{
    return b1 +
           " — 蒂朵清理工具 · 命令行\n"
           "\n" +
           b2 +
           "\n"
           "  tclean overview              磁盘与空间去向\n"
           "  tclean scan [--min N]        列出可清理的缓存/残留（--json 输出 JSON）\n"
           "  tclean tree [路径] [-d N]    以树状 + 条形图看文件夹占用（默认 ~，层级 3）\n"
           "  tclean dupes [-n N]          找内容重复的文件（不看名字）\n"
           "  tclean names                 找同名且同体积的文件/文件夹\n"
           "  tclean big [--min N]         最大的文件（默认 50MB）\n"
           "  tclean types                 按扩展名统计占用\n"
           "  tclean clean [--safe] [--dry-run] [--yes] [--min N]\n"
           "                               移入回收站；默认演练，带 --yes 才真移动\n"
           "  tclean procs                 本应用与各进程内存占用\n"
           "  tclean version\n"
           "  tclean restore [last|日期|编号|路径…] [--yes] [--beside]\n"
           "                               列出以往的清理，或把清理过的项目放回原处\n"
           "  tclean scan --plan 文件       把扫描结果连同各项的身份写成计划\n"
           "  tclean clean --plan 文件 [--yes]\n"
           "                               只移动计划里自扫描后未变的项目\n"
           "\n" +
           b3 +
           "\n"
           "  · 只用系统自带命令和本地文件，不联网、不上传。\n"
           "  · 清理的每一项都成为回收站里的一个条目，可在文件管理器里还原。\n"
           "  · 命令或选项有误时，用法印到标准错误，退出码为 2。\n";
}

const std::string kUsageEn =
    "tclean — Tidlo Cleaner · command line\n"
    "\n"
    "Usage\n"
    "  tclean overview              Disk and where the space goes\n"
    "  tclean scan [--min N]        List cleanable caches/leftovers (--json for JSON)\n"
    "  tclean tree [path] [-d N]    Folder sizes as a tree with bars (default ~, depth 3)\n"
    "  tclean dupes [-n N]          Find files with the same content (names ignored)\n"
    "  tclean names                 Find files/folders with the same name and size\n"
    "  tclean big [--min N]         The largest files (default 50MB)\n"
    "  tclean types                 Space used per file extension\n"
    "  tclean clean [--safe] [--dry-run] [--yes] [--min N]\n"
    "                               Move to the Trash; a dry run unless --yes is given\n"
    "  tclean procs                 Memory of this tool and of each process\n"
    "  tclean version\n"
    "  tclean restore [last|date|id|path...] [--yes] [--beside]\n"
    "                               List past clean-ups, or put cleaned items back\n"
    "  tclean scan --plan FILE      Write the findings with their identities as a plan\n"
    "  tclean clean --plan FILE [--yes]\n"
    "                               Move only the plan's items unchanged since the scan\n"
    "\n"
    "Notes\n"
    "  · Uses only the system's own commands and local files; nothing goes online.\n"
    "  · Every cleaned item becomes one Trash entry, restorable from your file manager.\n"
    "  · A wrong command or option prints this usage on standard error and exits 2.\n";

// tclean's standard error (standard output thrown away) and exit status.
TestSupport::RunResult errorsOf(const std::vector<std::string>& args,
                                const std::map<std::string, std::string>& env = {})
{
    std::vector<std::string> command = {"-c", "exec \"$0\" \"$@\" 2>&1 >/dev/null", tcleanPath()};
    command.insert(command.end(), args.begin(), args.end());
    return runProgram("/bin/sh", command, env);
}

} // namespace

TEST(Usage, HelpIsPlainWhenPipedBoldOnATerminal)
{
    TestSupport::TestHome home("zh");
    const std::string plain = usageZh("tclean", "用法", "说明");
    for (const char* word : {"help", "--help", "-h"}) {
        auto r = runProgram(tcleanPath(), {word});
        EXPECT_EQ(r.out, plain) << word;
        EXPECT_EQ(r.status, 0) << word;
    }
    auto tty = runOnTerminal(tcleanPath(), {"help"});
    EXPECT_EQ(tty.out, usageZh("\x1b[1mtclean\x1b[0m", "\x1b[1m用法\x1b[0m", "\x1b[1m说明\x1b[0m"));
    EXPECT_EQ(tty.status, 0);
}

// The language: TID_LANG first, then the stored choice, then the system's
// language variables (C and POSIX are English).
TEST(Usage, SpeaksTheLanguageOfTheRule)
{
    const std::string zh = usageZh("tclean", "用法", "说明");
    struct Case
    {
        const char* stored; // "tc.lang" in the preferences, or none
        std::map<std::string, std::string> env;
        const std::string& want;
    };
    const std::vector<Case> cases = {
        {nullptr, {{"TID_LANG", "en"}, {"LANG", "zh_CN.UTF-8"}}, kUsageEn},
        {nullptr, {{"TID_LANG", "zh"}, {"LANG", "en_US.UTF-8"}}, zh},
        {nullptr, {{"LANG", "en_US.UTF-8"}}, kUsageEn},
        {nullptr, {{"LANG", "zh_CN.UTF-8"}}, zh},
        {nullptr, {{"LANGUAGE", "zh_TW:en"}, {"LANG", "en_US.UTF-8"}}, zh},
        {nullptr, {{"LC_ALL", "C"}, {"LANG", "zh_CN.UTF-8"}}, kUsageEn},
        {nullptr, {{"LC_MESSAGES", "POSIX"}}, kUsageEn},
        {"zh", {{"LANG", "en_US.UTF-8"}}, zh},
        {"en", {{"LANG", "zh_CN.UTF-8"}}, kUsageEn},
        {"zh", {{"TID_LANG", "en"}}, kUsageEn},
    };
    for (const auto& c : cases) {
        TestSupport::TestHome home;
        if (c.stored)
            home.file(".config/TidloCleaner/preferences.json",
                      std::string("{\"tc.lang\": \"") + c.stored + "\"}");
        std::map<std::string, std::string> env = {
            {"LANGUAGE", ""}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", ""}};
        for (const auto& [k, v] : c.env)
            env[k] = v;
        auto r = runProgram(tcleanPath(), {"help"}, env);
        EXPECT_EQ(r.out, c.want) << (c.stored ? c.stored : "-") << " "
                                 << ::testing::PrintToString(c.env);
    }
}

TEST(Usage, AWrongCommandLineGivesTheUsageOnStandardErrorAndTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"bogus"},
        {"--json"},
        {"scan", "--min", "abc"},
        {"scan", "--min"},
        {"tree", "-d", "x"},
        {"dupes", "-n", "-3"},
        {"clean", "--yes", "--force"},
    };
    for (const char* lang : {"zh", "en"}) {
        TestSupport::TestHome home(lang);
        const std::string want =
            std::string(lang) == "zh" ? usageZh("tclean", "用法", "说明") : kUsageEn;
        for (const auto& args : cases) {
            auto err = errorsOf(args);
            EXPECT_EQ(err.out, want) << ::testing::PrintToString(args);
            EXPECT_EQ(err.status, 2) << ::testing::PrintToString(args);
            auto out = runProgram(tcleanPath(), args);
            EXPECT_EQ(out.out, "") << ::testing::PrintToString(args);
        }
    }
}

TEST(Usage, VersionLine)
{
    TestSupport::TestHome home;
    for (const char* word : {"version", "--version", "-v"}) {
        auto r = runProgram(tcleanPath(), {word, "--json"});
        EXPECT_EQ(r.out, "tclean 1.0 · Tidlo Cleaner\n") << word;
        EXPECT_EQ(r.status, 0);
    }
}
