// SPDX-License-Identifier: GPL-3.0-or-later
// The history reader on arbitrary bytes. What it accepts must survive being
// written back (every clean-up rewrites the file with one more entry): the same
// entries, each date within a millisecond.
#include "History.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto entries = History::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (entries.size() > 100)
        std::abort();
    if (entries.empty())
        return 0;
    auto again = History::decode(History::encode(entries));
    if (again.size() != entries.size())
        std::abort();
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto apart = again[i].date - entries[i].date;
        if (again[i].id != entries[i].id || again[i].items != entries[i].items ||
            again[i].freed != entries[i].freed ||
            std::chrono::abs(apart) > std::chrono::milliseconds(1))
            std::abort();
    }
    return 0;
}
