// SPDX-License-Identifier: GPL-3.0-or-later
// tclean's argument parser on arbitrary command lines: the input is split at
// NUL bytes into arguments, as the system hands them over.
#include "Entry.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\0', start);
        if (end == text.npos)
            end = text.size();
        args.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    const Cli::Invocation inv = Cli::parse(args, "/home/fuzz");
    if (inv.word != (args.empty() ? "overview" : args.front()))
        std::abort();
    if (inv.command == Cli::Command::Tree && (inv.depth < 1 || inv.depth > 8))
        std::abort();
    if (inv.command == Cli::Command::Clean && !inv.dryRun && !inv.flags.count("--yes"))
        std::abort();
    return 0;
}
