// SPDX-License-Identifier: GPL-3.0-or-later
// The words of the interface on Linux: the catalogue keeps one text per key and
// language, written for the Mac; on Linux the lookup asks this unit first. It
// holds the keys whose text names another system's places or tools (the file
// manager for Finder, the Trash of the desktop, Btrfs snapshots, ~/.local/bin),
// and turns every Chinese 废纸篓 into 回收站, the word Linux desktops use.
#pragma once

#include <string>
#include <string_view>

namespace LinuxWords {

struct Words
{
    const char* zh;
    const char* en;
};

// The Linux texts of key, or nullptr when the catalogue's own texts stand.
const Words* find(std::string_view key);

// A Chinese text as a Linux desktop says it: 废纸篓 reads 回收站.
std::string zhText(std::string text);

} // namespace LinuxWords
