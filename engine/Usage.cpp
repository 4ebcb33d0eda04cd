// SPDX-License-Identifier: GPL-3.0-or-later
#include "Usage.h"

#include "LinuxWords.h"
#include "Measure.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <utility>

namespace Usage {
namespace {

struct FolderName
{
    std::string_view folder, zh, en;
};

// The Mac home's folders and the XDG user folders by their default names.
constexpr std::array<FolderName, 13> kFolderNames{{
    {"Desktop", "桌面", "Desktop"},
    {"Documents", "文稿", "Documents"},
    {"Downloads", "下载", "Downloads"},
    {"Movies", "影片", "Movies"},
    {"Music", "音乐", "Music"},
    {"Pictures", "图片", "Pictures"},
    {"Library", "资源库", "Library"},
    {"Public", "公共", "Public"},
    {"Videos", "视频", "Videos"},
    {"Templates", "模板", "Templates"},
    {".Trash", "废纸篓", "Trash"},
    {"Applications", "应用程序", "Applications"},
    {"System", "系统", "System"},
}};

const std::map<std::string_view, int>& extensionTable()
{
    static const std::map<std::string_view, int> table = [] {
        const std::array<std::vector<std::string_view>, 6> lists{{
            {"png", "jpg", "jpeg", "heic", "gif", "webp", "tiff", "bmp", "raw", "svg", "psd"},
            {"mp4", "mov", "mkv", "avi", "webm", "m4v", "flv", "wmv"},
            {"mp3", "wav", "flac", "aac", "m4a", "aiff", "ogg"},
            {"pdf", "doc", "docx", "xls", "xlsx", "ppt", "pptx", "txt", "md", "key", "numbers",
             "pages", "rtf", "csv"},
            {"zip", "rar", "7z", "tar", "gz", "bz2", "xz", "dmg", "iso", "pkg"},
            {"js", "ts", "jsx", "tsx", "py", "swift", "java", "c", "cpp", "h", "html", "css",
             "json", "sh", "rb", "go", "rs", "sql"},
        }};
        std::map<std::string_view, int> t;
        for (int i = 0; i < 6; ++i)
            for (auto ext : lists[size_t(i)])
                t.emplace(ext, i);
        return t;
    }();
    return table;
}

constexpr std::array<const char*, 7> kBucketKeys{"cat.image",   "cat.video", "cat.audio", "cat.doc",
                                                 "cat.archive", "cat.code",  "cat.other"};

} // namespace

std::string displayName(const std::string& folder, const std::string& lang)
{
    for (const auto& entry : kFolderNames)
        if (entry.folder == folder) {
#ifdef __linux__
            // A Linux desktop calls the Trash 回收站.
            if (lang == "zh")
                return LinuxWords::zhText(std::string(entry.zh));
#endif
            return std::string(lang == "zh" ? entry.zh : entry.en);
        }
    return folder;
}

int bucketIndex(const std::string& extension)
{
    const auto& table = extensionTable();
    auto it = table.find(Strings::nameKey(extension));
    return it == table.end() ? 6 : it->second;
}

const char* bucketKey(int index)
{
    return kBucketKeys[size_t(std::clamp(index, 0, 6))];
}

std::vector<Category> topLevelFrom(const std::vector<Parse::SizeLine>& lines,
                                   const std::string& home, int64_t appsSize,
                                   const std::string& lang)
{
    std::vector<Category> pairs;
    for (const auto& line : lines) {
        if (line.path == home)
            continue;
        std::string name = Strings::lastComponent(line.path);
        if (name.empty() || (name.front() == '.' && !shownWhenHidden(name)))
            continue;
        pairs.push_back({displayName(name, lang), line.size});
    }
    if (appsSize > 0)
        pairs.push_back({displayName("Applications", lang), appsSize});
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Category& a, const Category& b) { return a.size > b.size; });
    int64_t rest = 0;
    for (size_t i = 6; i < pairs.size(); ++i)
        rest = Strings::addSaturated(rest, pairs[i].size);
    if (pairs.size() > 6)
        pairs.resize(6);
    if (rest >= 1)
        pairs.push_back({L::s("cat.other"), rest});
    return pairs;
}

std::vector<TypeBucket> typeBucketsFrom(const std::vector<Parse::SizeLine>& lines)
{
    std::array<int64_t, 7> totals{};
    for (const auto& line : lines) {
        int64_t& total = totals[size_t(bucketIndex(Parse::extensionOf(line.path)))];
        total = Strings::addSaturated(total, line.size);
    }
    std::vector<TypeBucket> out;
    for (int i = 0; i < 6; ++i)
        if (totals[size_t(i)] > 0)
            out.push_back({L::s(kBucketKeys[size_t(i)]), totals[size_t(i)], i});
    if (totals[6] >= 1)
        out.push_back({L::s("cat.other"), totals[6], 6});
    std::stable_sort(out.begin(), out.end(),
                     [](const TypeBucket& a, const TypeBucket& b) { return a.size > b.size; });
    return out;
}

std::string fileTypeShellCommand(const std::vector<std::string>& roots)
{
    std::string joined;
    for (const auto& root : roots) {
        if (!joined.empty())
            joined += ' ';
        joined += "'" + Strings::replaceAll(root, "'", "'\\''") + "'";
    }
    return "/usr/bin/find " + joined +
           " -type f -size +512k -print0 2>/dev/null | xargs -0 /usr/bin/stat -f '%z\t%N' "
           "2>/dev/null";
}

bool shownWhenHidden(const std::string& name)
{
    const auto shown = Platform::hiddenFoldersShown();
    return std::find(shown.begin(), shown.end(), name) != shown.end();
}

std::vector<std::string> fileTypeRoots()
{
    using Platform::UserFolder;
    return Platform::userFolders({UserFolder::Desktop, UserFolder::Documents, UserFolder::Downloads,
                                  UserFolder::Videos, UserFolder::Music, UserFolder::Pictures});
}

} // namespace Usage

namespace Scanner {
namespace {

// The records less those naming a file already listed at another path (hard
// links, a file or folder bind-mounted at several places): each file counts
// once, as du counts it. A record whose path can no longer be examined stays.
std::vector<Parse::SizeLine> oncePerFile(std::vector<Parse::SizeLine> lines)
{
    std::set<std::pair<dev_t, ino_t>> seen;
    std::erase_if(lines, [&seen](const Parse::SizeLine& line) {
        struct stat st = {};
        return ::lstat(line.path.c_str(), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second;
    });
    return lines;
}

} // namespace

std::vector<Category> topLevelUsage()
{
    const std::string home = Platform::homeDir();
    return Usage::topLevelFrom(Platform::childSizes(home), home, Scanner::sizeOf("/Applications"),
                               L::lang());
}

std::vector<TypeBucket> fileTypeUsage()
{
    return Usage::typeBucketsFrom(oncePerFile(Platform::filesOver512KiB(Usage::fileTypeRoots())));
}

} // namespace Scanner
