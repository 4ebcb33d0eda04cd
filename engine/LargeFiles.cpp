// SPDX-License-Identifier: GPL-3.0-or-later
// The large-file search: find's expression and the reading of its records.
#include "LargeFiles.h"

#include "Platform.h"
#include "Runner.h"
#include "Strings.h"

#include <algorithm>
#include <cstdint>
#include <sys/stat.h>
#include <unordered_set>

namespace Scanner {
namespace {

// A path as a find -path pattern that matches only itself.
std::string literalPattern(const std::string& path)
{
    std::string out;
    for (char c : path) {
        if (c == '\\' || c == '*' || c == '?' || c == '[')
            out += '\\';
        out += c;
    }
    return out;
}

// find's expression. The three excluded trees are pruned rather than walked,
// which saves the walk and lists exactly the same files: only folders are
// pruned (a regular file named node_modules is still a candidate), and the
// path tests stay on the listed files, so a file is never listed that the
// tests would exclude. On Linux the desktop's Trash and the XDG cache folder
// are left out the same way (when they are inside the home folder).
std::vector<std::string> findArguments(const std::string& home, int64_t minMB)
{
    // Moving one file out of these breaks the program that keeps them (a
    // container's image layer, a game's data file, a disk image).
    std::vector<std::string> folders;
    for (const auto& folder : Platform::largeFileExclusions(home))
        if (folder.rfind(home + "/", 0) == 0 &&
            std::find(folders.begin(), folders.end(), literalPattern(folder)) == folders.end())
            folders.push_back(literalPattern(folder));
    // clang-format off
    std::vector<std::string> args = {home,
            "(", "-type", "d",
                 "(", "-name", ".Trash", "-o", "-name", "node_modules",
                      "-o", "-path", "*/Library/Caches"};
    for (const auto& f : folders)
        args.insert(args.end(), {"-o", "-path", f});
    args.insert(args.end(), {")",
                 "-prune", ")",
            "-o",
            "(", "-type", "f", "-size", "+" + std::to_string(minMB) + "M",
                 "-not", "-path", "*/.Trash/*",
                 "-not", "-path", "*/node_modules/*",
                 "-not", "-path", "*/Library/Caches/*"});
    for (const auto& f : folders)
        args.insert(args.end(), {"-not", "-path", f + "/*"});
    // On Linux each path ends with a NUL, so a name holding a line feed
    // stays one path.
    if constexpr (Platform::kFindPrintsNul)
        args.insert(args.end(), {"-printf", "%p\\0", ")"});
    else
        args.insert(args.end(), {"-print", ")"});
    // clang-format on
    return args;
}

std::string parentOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::vector<ScanItem> largeFiles(int64_t minMB, const CancelToken* token)
{
    // A home that is not an absolute path would reach find as an option
    // (or an expression) rather than as the place to search.
    const std::string home = Platform::homeDir();
    if (home.empty() || home.front() != '/')
        return {};
    // On Linux the records come as find printed them: a name that is not
    // UTF-8 is one record of its own and is kept with its bytes (the Trash
    // mover takes any name; what shows it replaces what cannot be shown).
    const std::string output =
        Platform::kFindPrintsNul
            ? Shell::runRecords(Platform::Tool::find, findArguments(home, minMB), token)
            : Shell::run(Platform::Tool::find, findArguments(home, minMB), token);
    // A find cut short lists some of the files: none are reported.
    if (token && token->isCancelled())
        return {};

    // One path per record: NUL-ended on Linux, one per line on macOS, where
    // a name with a line feed in it breaks into pieces. A path is only taken
    // when it is a regular file inside the home folder, above the threshold
    // and not listed already, so no name can bring in a folder, a small file,
    // a file elsewhere, nor the same file twice.
    const std::string prefix = home == "/" ? "/" : home + "/";
    const int64_t threshold = minMB > 0 && minMB < INT64_MAX / (1024 * 1024)
                                  ? minMB * 1024 * 1024
                                  : (minMB > 0 ? INT64_MAX : 0);
    std::unordered_set<std::string_view> seen;
    std::vector<ScanItem> items;
    for (std::string_view line : Strings::split(output, Platform::kFindPrintsNul ? '\0' : '\n')) {
        if (line.substr(0, prefix.size()) != prefix || !seen.insert(line).second)
            continue;
        std::string path(line);
        struct stat st = {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
            static_cast<int64_t>(st.st_size) <= threshold)
            continue;
        ScanItem item;
        item.name = Strings::lastComponent(path);
        item.note = parentOf(path);
        item.path = std::move(path);
        item.size = static_cast<int64_t>(st.st_size);
        item.kind = ItemKind::Large;
        item.risk = Risk::Data;
        items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const ScanItem& a, const ScanItem& b) { return a.size > b.size; });
    return items;
}

} // namespace Scanner
