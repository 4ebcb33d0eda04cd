// SPDX-License-Identifier: GPL-3.0-or-later
// The platform unit on macOS: the ~/Library places, vm_stat, tmutil and folders
// measured by du. Built only for macOS (engine/CMakeLists.txt).
#include "Platform.h"

#include "DiskTree.h"
#include "Parsers.h"
#include "Runner.h"
#include "Usage.h"

#include <string>

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

// The size-tab-path lines of du or stat, one per line: a name holding a line
// feed is joined back together where the joined path exists.
std::vector<Parse::SizeLine> toolLines(const std::string& output, int64_t scale)
{
    return Parse::sizeLines(output, scale, Parse::itemExists);
}

} // namespace

std::vector<Parse::SizeLine> childSizes(const std::string& folder)
{
    return toolLines(Shell::run(Tool::du, Parse::duArguments({"-k", "-d", "1"}, {folder}, false)),
                     1024);
}

std::optional<DiskNode> folderTree(const std::string& root, int depth, const CancelToken* token)
{
    std::string out = Shell::run(
        Tool::du, Parse::duArguments({"-k", "-d", std::to_string(depth)}, {root}, false), token);
    auto sizes = Parse::duSizeMap(toolLines(out, 1024));
    if (token && token->isCancelled())
        return std::nullopt;

    DiskNode node;
    node.children = DiskTree::childrenOf(sizes, root, depth);
    if (auto own = sizes.find(root); own != sizes.end()) {
        node.size = own->second;
    } else {
        int64_t sum = 0;
        for (const auto& child : node.children)
            sum += child.size;
        node.size = sum;
    }
    return node;
}

std::map<std::string, int64_t> sizesTogether(const std::vector<std::string>& paths)
{
    std::map<std::string, int64_t> sizes;
    for (auto& line :
         toolLines(Shell::run(Tool::du, Parse::duArguments({"-sk"}, paths, false)), 1024))
        sizes[line.path] = line.size;
    return sizes;
}

std::vector<Parse::SizeLine> filesOver512KiB(const std::vector<std::string>& roots)
{
    return toolLines(Shell::run(Tool::sh, {"-c", Usage::fileTypeShellCommand(roots)}), 1);
}

} // namespace Platform
