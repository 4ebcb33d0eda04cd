#include "Entry.h"

#include "Commands.h"
#include "Strings.h"
#include "Terminal.h"

#include <algorithm>
#include <cstdio>

namespace Cli {
namespace {

std::string& homeStorage()
{
    static std::string value;
    return value;
}

const std::set<std::string> kValueFlags = {"-d", "--depth", "-n", "--min"};

// The option's value, or fallback text when the option is absent.
std::string optionText(const Invocation& inv, const std::string& name, const std::string& fallback)
{
    auto it = inv.opts.find(name);
    return it == inv.opts.end() ? fallback : it->second;
}

int64_t number(const std::string& text, int64_t fallback)
{
    return Strings::parseInt(text).value_or(fallback);
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
    for (size_t i = 0; i < rest.size();) {
        const std::string& arg = rest[i];
        if (!arg.empty() && arg[0] == '-') {
            if (kValueFlags.count(arg) && i + 1 < rest.size()) {
                inv.opts[arg] = rest[i + 1];
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

    const std::string& w = inv.word;
    if (w == "overview" || w == "ov") {
        inv.command = Command::Overview;
    } else if (w == "scan") {
        inv.command = Command::Scan;
        inv.json = inv.flags.count("--json") > 0;
        inv.minMB = number(optionText(inv, "--min", "0"), 0);
    } else if (w == "tree") {
        inv.command = Command::Tree;
        inv.path = inv.positional.empty() ? homeDir : inv.positional.front();
        std::string depthText =
            inv.opts.count("-d") ? inv.opts.at("-d") : optionText(inv, "--depth", "3");
        auto depth = Strings::parseInt(depthText);
        inv.depth = depth ? static_cast<int>(std::clamp<int64_t>(*depth, 1, 8)) : 3;
        inv.count = 40;
    } else if (w == "dupes") {
        inv.command = Command::Dupes;
        inv.limit = number(optionText(inv, "-n", "1500"), 1500);
    } else if (w == "names") {
        inv.command = Command::Names;
    } else if (w == "big") {
        inv.command = Command::Big;
        inv.minMB = number(optionText(inv, "--min", "50"), 50);
        inv.limit = 30;
    } else if (w == "types") {
        inv.command = Command::Types;
    } else if (w == "clean") {
        inv.command = Command::Clean;
        inv.safeOnly = inv.flags.count("--safe") > 0;
        inv.dryRun = inv.flags.count("--yes") ? inv.flags.count("--dry-run") > 0 : true;
        inv.minMB = number(optionText(inv, "--min", "0"), 0);
    } else if (w == "procs" || w == "ps") {
        inv.command = Command::Procs;
    } else if (w == "version" || w == "--version" || w == "-v") {
        inv.command = Command::Version;
    } else {
        inv.command = Command::Usage;
    }
    return inv;
}

std::string usageText()
{
    std::string text;
    text += ANSI::bold("tclean") + " — 蒂朵清理工具 · 命令行\n";
    text += "\n";
    text += ANSI::bold("用法") + "\n";
    text += "  tclean overview              磁盘与空间去向\n";
    text += "  tclean scan [--min N]        列出可清理的缓存/残留（--json 输出 JSON）\n";
    text += "  tclean tree [路径] [-d N]    以树状 + 条形图看文件夹占用（默认 ~，层级 3）\n";
    text += "  tclean dupes [-n N]          找内容重复的文件（不看名字）\n";
    text += "  tclean names                 找同名且同体积的文件/文件夹\n";
    text += "  tclean big [--min N]         最大的文件（默认 50MB）\n";
    text += "  tclean types                 按扩展名统计占用\n";
    text += "  tclean clean [--safe] [--dry-run] [--yes] [--min N]\n";
    text += "                               移入废纸篓；默认演练，带 --yes 才真移动\n";
    text += "  tclean procs                 本应用与各进程内存占用\n";
    text += "  tclean version\n";
    text += "\n";
    text += ANSI::bold("说明") + "\n";
    text += "  · 只用系统自带命令和本地文件，不联网、不上传。\n";
    text += "  · 删除一律进「废纸篓/米团清理的东西/命令行/」，可随时恢复。\n";
    return text;
}

void usage()
{
    std::string text = usageText();
    std::fwrite(text.data(), 1, text.size(), stdout);
}

int dispatch(const Invocation& inv)
{
    switch (inv.command) {
    case Command::Overview:
        cmdOverview();
        return 0;
    case Command::Scan:
        cmdScan(inv.json, inv.minMB);
        return 0;
    case Command::Tree:
        return cmdTree(inv.path, inv.depth, inv.count);
    case Command::Dupes:
        cmdDupes(inv.limit);
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
        return cmdClean(inv.safeOnly, inv.dryRun, inv.minMB);
    case Command::Procs:
        cmdProcs();
        return 0;
    case Command::Version:
        printLine(kVersionLine);
        return 0;
    case Command::Usage:
        usage();
        return 0;
    }
    return 0;
}

} // namespace Cli
