// SPDX-License-Identifier: GPL-3.0-or-later
// The tree-cache reader on arbitrary bytes: a cache file is the product's own
// text, but anything may have written it. A tree it accepts must come back
// the same through the writer, so the next run reads what this one stored.
#include "DiskTree.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool same(const DiskNode& a, const DiskNode& b, int level)
{
    if (level > 9 || a.id() != b.id() || a.name() != b.name() || a.path() != b.path() ||
        a.size() != b.size() || a.fileCount() != b.fileCount() || a.fileBytes() != b.fileBytes() ||
        a.files() != b.files() || a.children().size() != b.children().size())
        return false;
    for (size_t i = 0; i < a.children().size(); ++i)
        if (!same(a.children()[i], b.children()[i], level + 1))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto tree = DiskTree::decode(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!tree)
        return 0;
    auto again = DiskTree::decode(DiskTree::encode(*tree));
    if (!again || !same(*tree, *again, 1))
        std::abort();
    return 0;
}
