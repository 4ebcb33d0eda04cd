// SPDX-License-Identifier: GPL-3.0-or-later
// The Linux texts of the catalogue keys that speak of another system.
#include "LinuxWords.h"

#include <unordered_map>

namespace LinuxWords {

namespace {

const std::unordered_map<std::string_view, Words>& table()
{
    static const std::unordered_map<std::string_view, Words> words{
        {"app.tagline", {"把家目录收拾得干干净净", "Keep your home folder tidy"}},
        {"common.reveal", {"在文件管理器中显示", "Show in File Manager"}},
        {"term.reveal", {"在文件管理器中显示", "Show in File Manager"}},
        {"map.reveal", {"在文件管理器中显示此文件夹", "Show this folder in File Manager"}},
        {"guide.b1",
         {"一个透明、可还原的 Linux 清理工具。所有清理都先移入回收站，随时能找回来。",
          "A transparent, reversible cleaner for your Linux home. Everything goes to the Trash "
          "first — you can always get it back."}},
        {"guide.b2",
         {"扫描会列出缓存、残留和大文件，按风险分级。默认只勾选「安全」项，随时可以在文件管理器里"
          "查看。",
          "The scan lists caches, leftovers and large files with risk levels. Only safe items are "
          "pre-selected, and you can reveal anything in your file manager."}},
        {"guide.a4.t", {"右键才是文件管理器", "Right-click for the file manager"}},
        {"guide.a4.d",
         {"存储地图里点方块是「钻进去」，右键才是「在文件管理器中显示」和「复制路径」。清理页的定位"
          "按钮也是只读的。",
          "In the map, clicking drills in; right-click reveals in the file manager or copies the "
          "path. Locate buttons elsewhere are read-only too."}},
        {"about.desc",
         {"蒂朵系列出品。一个干净、透明、可还原的 Linux "
          "清理工具：不偷偷删东西，所有清理都先移入回收站。",
          "Made by Tidlo. A clean, transparent, reversible cleaner for Linux: nothing is deleted "
          "silently — everything goes to the Trash first."}},
        {"tools.snapHint",
         {"Btrfs 快照（Snapper、Timeshift）会占用大量空间",
          "Btrfs snapshots (Snapper, Timeshift) can take a lot of space"}},
        {"tools.snapNone", {"没有快照", "No snapshots"}},
        {"tools.sysLogin", {"自启动项 / 用户服务", "Autostart / user services"}},
        {"term.install", {"安装到 ~/.local/bin", "Install to ~/.local/bin"}},
        {"term.addPath",
         {"把 ~/.local/bin 加进 PATH 后，就能直接敲 tclean：",
          "Add ~/.local/bin to PATH, then just type tclean:"}},
        {"term.installDone",
         {"已安装到 ~/.local/bin，并把 PATH 写进了 %@（新开终端生效）",
          "Installed to ~/.local/bin and added PATH to %@ (open a new terminal)"}},
        {"term.hint",
         {"只读、可还原：清理的每一项都成为回收站里的一个条目，可在文件管理器里还原",
          "Read-only and reversible: every item goes to the Trash under its own name, and your "
          "file manager can restore it"}},
    };
    return words;
}

} // namespace

const Words* find(std::string_view key)
{
    const auto& words = table();
    auto it = words.find(key);
    return it == words.end() ? nullptr : &it->second;
}

std::string zhText(std::string text)
{
    static constexpr std::string_view from = "废纸篓";
    static constexpr std::string_view to = "回收站";
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace LinuxWords
