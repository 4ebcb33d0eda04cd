// SPDX-License-Identifier: GPL-3.0-or-later
// The platform unit on macOS: the ~/Library places, vm_stat, tmutil and folders
// measured by du. Built only for macOS (engine/CMakeLists.txt).
#include "Platform.h"

#include "DiskTree.h"
#include "Files.h"
#include "Measure.h"
#include "Parsers.h"
#include "Runner.h"
#include "Strings.h"
#include "Usage.h"

#include <atomic>
#include <climits>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace Platform {

std::string dataHome()
{
    return homeDir() + "/Library";
}

std::string cacheHome()
{
    return homeDir() + "/Library/Caches";
}

std::string userFolder(UserFolder which)
{
    static constexpr const char* kNames[] = {"/Desktop", "/Documents", "/Downloads",
                                             "/Music",   "/Pictures",  "/Movies"};
    return homeDir() + kNames[static_cast<int>(which)];
}

std::string supportFolder()
{
    return homeDir() + "/Library/Application Support/TidloCleaner";
}

std::string cacheFolder()
{
    return supportFolder();
}

std::string reportFolder()
{
    return homeDir() + "/Desktop";
}

std::string desktopTrash()
{
    return homeTrash();
}

std::string trashFilesFolder()
{
    return homeTrash();
}

std::string volumePath()
{
    return "/";
}

int64_t freeMemory()
{
    return Parse::vmStatFree(Shell::run(Tool::vmStat, {}));
}

bool psPrintsShortNames()
{
    return false;
}

std::string wholeProcessName(int, const std::string& psName)
{
    return psName;
}

std::vector<std::string> freedesktopTrashes()
{
    return {};
}

std::vector<Snapshot> snapshotsBelow(const std::string&, const std::string&)
{
    return {};
}

std::vector<Snapshot> homeSnapshots()
{
    return {};
}

std::vector<std::string> snapshotNames()
{
    return Parse::snapshotLines(Shell::run(Tool::tmutil, {"listlocalsnapshots", "/"}));
}

std::vector<std::string> autostartFolders()
{
    return {};
}

std::string userServiceTool()
{
    return "";
}

std::vector<std::string> hiddenFoldersShown()
{
    return {};
}

namespace {

// du and stat on macOS end each size-tab-path record with a line feed.
constexpr Parse::RecordEnd kLines = Parse::RecordEnd::LineFeed;

} // namespace

std::vector<Parse::SizeLine> childSizes(const std::string& folder)
{
    return Parse::toolSizes(
        Shell::run(Tool::du, Parse::duArguments({"-k", "-d", "1"}, {folder}, kLines)), 1024,
        kLines);
}

std::optional<DiskNode> folderTree(const std::string& root, int depth, const CancelToken* token)
{
    std::string out = Shell::run(
        Tool::du, Parse::duArguments({"-k", "-d", std::to_string(depth)}, {root}, kLines), token);
    auto sizes = Parse::duSizeMap(Parse::toolSizes(out, 1024, kLines));
    if (token && token->isCancelled())
        return std::nullopt;

    int64_t size = 0;
    if (auto own = sizes.find(root); own != sizes.end()) {
        size = own->second;
    } else {
        for (const DiskNode& child : DiskTree::childrenOf(sizes, root, 1))
            size += child.size();
    }
    return DiskTree::treeOf(sizes, root, depth, size);
}

std::map<std::string, int64_t> sizesTogether(const std::vector<std::string>& paths)
{
    std::map<std::string, int64_t> sizes;
    for (auto& line : Parse::toolSizes(
             Shell::run(Tool::du, Parse::duArguments({"-sk"}, paths, kLines)), 1024, kLines))
        sizes[line.path] = line.size;
    return sizes;
}

std::vector<Parse::SizeLine> filesOver512KiB(const std::vector<std::string>& roots)
{
    return Parse::toolSizes(Shell::run(Tool::sh, {"-c", Usage::fileTypeShellCommand(roots)}), 1,
                            kLines);
}

std::vector<std::string> largeFileExclusions(const std::string&)
{
    return {};
}

std::string flatpakAppsFolder()
{
    return {};
}

} // namespace Platform

// ---- Sizes of single items (Measure.h): folders by du -sk, several at once.
namespace Scanner {

namespace {

int64_t duSize(const std::string& path, const CancelToken* token)
{
    std::string out = Shell::run(Platform::Tool::du, {"-sk", "--", path}, token);
    auto pieces = Strings::split(out, '\t');
    if (pieces.empty())
        return 0;
    auto kib = Strings::parseInt(Strings::trimBlanks(pieces.front()));
    // A count that does not fit in bytes is odd output, not a size.
    if (!kib || *kib > INT64_MAX / 1024 || *kib < INT64_MIN / 1024)
        return 0;
    return *kib * 1024;
}

int64_t sizeWithToken(const std::string& path, const CancelToken* token)
{
    return Files::isFolder(path) ? duSize(path, token) : Files::ownSize(path);
}

} // namespace

int64_t sizeOf(const std::string& path)
{
    return sizeWithToken(path, nullptr);
}

std::vector<int64_t> sizesOf(const std::vector<std::string>& paths, unsigned workers,
                             const CancelToken* token)
{
    std::vector<int64_t> sizes(paths.size(), 0);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++)
            sizes[i] = sizeWithToken(paths[i], token);
    };
    std::vector<std::thread> helpers;
    size_t wanted = std::min<size_t>(std::max(workers, 1u), paths.size());
    for (size_t k = 1; k < wanted; ++k) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer helpers; the calling thread measures the rest
        }
    }
    work();
    for (auto& t : helpers)
        t.join();
    return sizes;
}

} // namespace Scanner
