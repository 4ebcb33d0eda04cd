// SPDX-License-Identifier: GPL-3.0-or-later
#include "Symbols.h"

#include <algorithm>

namespace Symbols {

namespace {

constexpr char32_t kUnknown = 0xe8fd; // help_outline

} // namespace

const std::vector<Entry>& table()
{
    // Chosen by what the glyph shows, not by name: the storage map's
    // "square.split.2x2" is the quilt of unequal tiles, the overview's
    // "square.grid.2x2" the even grid.
    static const std::vector<Entry> entries = [] {
        std::vector<Entry> e{
            {"arrow.clockwise", "refresh", 0xe5d5},
            {"arrow.triangle.2.circlepath", "sync", 0xe627},
            {"arrow.up.left", "north_west", 0xf1e2},
            {"checklist", "checklist", 0xe6b1},
            {"checkmark.circle.fill", "check_circle", 0xe86c},
            {"checkmark.seal", "verified", 0xef76},
            {"chevron.right", "chevron_right", 0xe5cc},
            {"circle", "radio_button_unchecked", 0xe836},
            {"clock.arrow.circlepath", "history", 0xe889},
            {"cursorarrow.click.2", "ads_click", 0xe762},
            {"doc", "insert_drive_file", 0xe24d},
            {"doc.on.doc", "file_copy", 0xe173},
            {"folder", "folder", 0xe2c7},
            {"folder.badge.plus", "create_new_folder", 0xe2cc},
            {"hand.tap", "touch_app", 0xe913},
            {"hand.wave", "waving_hand", 0xe766},
            {"house", "home", 0xe88a},
            {"info.circle", "info_outline", 0xe88f},
            {"lock.fill", "lock", 0xe897},
            {"lock.shield", "security", 0xe32a},
            {"magnifyingglass", "search", 0xe8b6},
            {"memorychip", "memory", 0xe322},
            {"play.fill", "play_arrow", 0xe037},
            {"questionmark.folder", "folder_off", 0xeb83},
            {"shippingbox", "inventory_2", 0xe1a1},
            {"sparkles", "auto_awesome", 0xe65f},
            {"square.and.arrow.up", "ios_share", 0xe6b8},
            {"square.grid.2x2", "grid_view", 0xe9b0},
            {"square.on.square", "filter_none", 0xe3e0},
            {"square.split.2x2", "view_quilt", 0xe8f1},
            {"terminal", "terminal", 0xeb8e},
            {"trash", "delete", 0xe872},
            {"trash.circle", "delete_forever", 0xe92b},
            {"trash.slash", "delete_outline", 0xe92e},
            {"wrench.and.screwdriver", "handyman", 0xf10b},
        };
        std::sort(e.begin(), e.end(),
                  [](const Entry& a, const Entry& b) { return a.sfName < b.sfName; });
        return e;
    }();
    return entries;
}

namespace {

const Entry* find(std::string_view sfName)
{
    const auto& t = table();
    auto it = std::lower_bound(t.begin(), t.end(), sfName,
                               [](const Entry& e, std::string_view n) { return e.sfName < n; });
    return it != t.end() && it->sfName == sfName ? &*it : nullptr;
}

} // namespace

char32_t codepoint(std::string_view sfName)
{
    const Entry* e = find(sfName);
    return e ? e->codepoint : kUnknown;
}

std::string_view materialName(std::string_view sfName)
{
    const Entry* e = find(sfName);
    return e ? e->materialName : std::string_view();
}

} // namespace Symbols
