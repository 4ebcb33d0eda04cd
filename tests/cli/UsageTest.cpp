#include "TestHome.h"

#include <gtest/gtest.h>

using TestSupport::runOnTerminal;
using TestSupport::runProgram;
using TestSupport::tcleanPath;

namespace {

std::string usage(const std::string& b1, const std::string& b2, const std::string& b3)
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
           "                               移入废纸篓；默认演练，带 --yes 才真移动\n"
           "  tclean procs                 本应用与各进程内存占用\n"
           "  tclean version\n"
           "\n" +
           b3 +
           "\n"
           "  · 只用系统自带命令和本地文件，不联网、不上传。\n"
           "  · 删除一律进「废纸篓/米团清理的东西/命令行/」，可随时恢复。\n";
}

} // namespace

TEST(Usage, PlainWhenPipedBoldOnATerminal)
{
    TestSupport::TestHome home;
    const std::string plain = usage("tclean", "用法", "说明");
    for (const char* word : {"help", "--help", "-h", "nonsense", "--json"}) {
        auto r = runProgram(tcleanPath(), {word});
        EXPECT_EQ(r.out, plain) << word;
        EXPECT_EQ(r.status, 0) << word;
    }
    auto json = runProgram(tcleanPath(), {"--json", "scan"});
    EXPECT_EQ(json.out, plain);

    auto tty = runOnTerminal(tcleanPath(), {"help"});
    EXPECT_EQ(tty.out, usage("\x1b[1mtclean\x1b[0m", "\x1b[1m用法\x1b[0m", "\x1b[1m说明\x1b[0m"));
    EXPECT_EQ(tty.status, 0);
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
