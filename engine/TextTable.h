// SPDX-License-Identifier: GPL-3.0-or-later
// The raw catalogue: 342 (key, zh, en) entries in their defining order.
#pragma once

#include <array>
#include <cstddef>

namespace L {

struct Entry
{
    const char* key;
    const char* zh;
    const char* en;
};

inline constexpr std::size_t kEntryCount = 437;

const std::array<Entry, kEntryCount>& entries();

} // namespace L
