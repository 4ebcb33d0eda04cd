// SPDX-License-Identifier: GPL-3.0-or-later
// The user-dirs.dirs parser on arbitrary bytes: every folder it names must be
// an absolute path that the system calls can take as it is.
#include "XdgDirs.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& [name, folder] : XdgDirs::parseUserDirs(text, "/home/fuzz")) {
        if (!name.starts_with("XDG_") || !name.ends_with("_DIR"))
            std::abort();
        if (folder.empty() || folder.front() != '/' || folder.find('\0') != folder.npos ||
            (folder.size() > 1 && folder.back() == '/'))
            std::abort();
    }
    return 0;
}
