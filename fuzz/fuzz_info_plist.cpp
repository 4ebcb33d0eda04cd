// SPDX-License-Identifier: GPL-3.0-or-later
// The Info.plist readers (XML and binary) on arbitrary bytes: one bad bundle
// in an applications folder must never stop the leftover scan or the app
// list. libplist itself is a system library without coverage counters, so
// the search is guided by the product's own code (the nesting check among it).
#include "Apps.h"
#include "Leftovers.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto info =
        Leftovers::readInfoPlist(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!info)
        return 0;
    // Values are whole strings: an embedded NUL makes one malformed (absent).
    if (info->identifier &&
        (info->identifier->empty() || info->identifier->find('\0') != info->identifier->npos))
        std::abort();
    if (info->displayName && info->displayName->find('\0') != info->displayName->npos)
        std::abort();
    Leftovers::Installed installed;
    Leftovers::addBundle("Fuzz.app", info, installed);
    return 0;
}
