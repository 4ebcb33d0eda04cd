// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of tool output (du, find, ps, vm_stat, /proc/meminfo, tmutil,
// flatpak) on arbitrary bytes: none may crash, and what they return keeps the
// promises their callers rely on.
#include "Leftovers.h"
#include "Parsers.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool isStandard(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return false;
    if (path == "/")
        return true;
    return path.back() != '/' && path.find("//") == std::string::npos &&
           path.find("/./") == std::string::npos && path.find("/../") == std::string::npos &&
           !path.ends_with("/.") && !path.ends_with("/..");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    for (const auto& record : Parse::sizeRecords(text, 1024)) {
        require(!record.path.empty() && record.path.front() == '/');
        require(record.path.find('\0') == std::string::npos);
        require(record.size % 1024 == 0);
    }
    // A stand-in for the file system that accepts some joined paths, so the
    // rejoining of names with line feeds is exercised too.
    auto exists = [](const std::string& path) { return path.size() % 3 == 0; };
    for (const auto& line : Parse::sizeLines(text, 1, exists))
        require(line.path.find('/') != std::string::npos);
    for (const auto& [path, bytes] : Parse::duSizeMap(text, exists))
        require(isStandard(path));
    for (const auto& [path, bytes] : Parse::duSizeMap(Parse::sizeRecords(text, 1024)))
        require(isStandard(path));

    const std::string standard = Parse::standardPath(text);
    require(isStandard(standard));
    require(Parse::standardPath(standard) == standard);
    const std::string extension = Parse::extensionOf(text);
    require(extension.find('/') == std::string::npos && text.find(extension) != text.npos);

    for (bool shortNames : {false, true}) {
        auto procs = Parse::processLines(text, shortNames);
        require(Parse::largestProcesses(procs, 3).size() <= 3);
        for (const auto& proc : procs)
            require(!proc.name.empty() || proc.path.empty());
    }
    require(Parse::ownRss(text) % 1024 == 0);
    require(Parse::vmStatFree(text) >= 0);
    Parse::meminfoAvailable(text);
    for (const auto& name : Parse::snapshotLines(text))
        require(name.find('\n') == std::string::npos);
    for (const auto& id : Leftovers::flatpakIds(text))
        require(id.find('\n') == std::string::npos);
    for (const auto& unit : Parse::enabledUnits(text))
        require(!unit.empty() && unit.find('\n') == std::string::npos);
    require(Parse::desktopEntry(text).name.find('\n') == std::string::npos);
    Parse::snapperInfo(text);
    for (const auto& [date, path] : Parse::btrfsSnapshots(text))
        require(!date.empty() && !path.empty());
    return 0;
}
