// SPDX-License-Identifier: GPL-3.0-or-later
// The Trash mover, the history file and the report, on fixture homes.
#include "Trash.h"
#include "Files.h"
#include "History.h"
#include "Platform.h"
#include "Report.h"
#include "TestHome.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

Clock::time_point unixTime(double seconds)
{
    return Clock::time_point(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)));
}

std::set<std::string> namesIn(const std::string& folder)
{
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.insert(e.path().filename().string());
    return out;
}

std::string historyFile()
{
    return Platform::supportFolder() + "/history.json";
}

} // namespace

TEST(Trash, StampsFoldersWithLocalMinutes)
{
    TestSupport::ZoneGuard zone("Asia/Shanghai");
    EXPECT_EQ(Trash::stamp(unixTime(1772600767)), "2026-03-04_1306"); // 05:06:07 UTC
    EXPECT_EQ(Trash::stamp(unixTime(0)), "1970-01-01_0800");
}

TEST(Trash, MovesLinksThemselvesAndNeverReplacesWhatIsThere)
{
    TestSupport::TestHome home;
    home.file("real/data.txt", "keep me");
    fs::create_symlink(home.at("real"), home.at("link"));
    fs::create_symlink(home.at("real"), home.at("slashed"));
    home.dir("folder");
    // Already at the targets: a file, and a link that leads nowhere (which
    // the existence check cannot see, so only the rename itself protects it).
    home.file("folder/taken", "old");
    fs::create_symlink(home.at("nowhere"), home.at("folder/dangling"));
    home.file("taken", "new");
    home.file("dangling", "new too");

    EXPECT_TRUE(Trash::moveInto(home.at("link"), home.at("folder")));
    EXPECT_TRUE(Trash::moveInto(home.at("slashed") + "/", home.at("folder")));
    EXPECT_TRUE(Trash::moveInto(home.at("taken"), home.at("folder")));
    EXPECT_TRUE(Trash::moveInto(home.at("dangling"), home.at("folder")));
    EXPECT_FALSE(Trash::moveInto(home.at("gone"), home.at("folder")));

    EXPECT_TRUE(fs::is_symlink(home.at("folder/link")));
    EXPECT_TRUE(fs::is_symlink(home.at("folder/slashed")));
    EXPECT_EQ(Files::read(home.at("real/data.txt")), "keep me");
    EXPECT_EQ(Files::read(home.at("folder/taken")), "old");
    EXPECT_EQ(Files::read(home.at("folder/taken_2")), "new");
    EXPECT_TRUE(fs::is_symlink(home.at("folder/dangling")));
    EXPECT_EQ(Files::read(home.at("folder/dangling_2")), "new too");
}

TEST(History, KeepsTheHundredNewestFirstInACompactArray)
{
    TestSupport::TestHome home;
    EXPECT_TRUE(Scanner::loadHistory().empty());
    for (int i = 0; i < 101; ++i) {
        HistoryEntry e;
        e.items = i;
        e.freed = int64_t(i) * 1000000000000LL;
        e.date = unixTime(978307200.0 + i + 0.25);
        Scanner::appendHistory(e);
    }
    auto list = Scanner::loadHistory();
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.front().items, 100);
    EXPECT_EQ(list.back().items, 1);
    EXPECT_EQ(list.front().freed, 100000000000000LL);
    EXPECT_EQ(list.front().date, unixTime(978307200.0 + 100.25));

    auto text = Files::read(historyFile()).value_or("");
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find(": "), std::string::npos);
    EXPECT_NE(text.find("\"date\":100.25"), std::string::npos);
    EXPECT_NE(text.find("\"id\":\"" + list.front().id + "\""), std::string::npos);
    EXPECT_EQ(namesIn(Platform::supportFolder()), (std::set<std::string>{"history.json"}));
    if (!Platform::kIsMac) {
        EXPECT_EQ(Platform::supportFolder(), home.at(".local/share/TidloCleaner"));
        EXPECT_FALSE(fs::exists(home.at("Library")));
    }
}

TEST(History, ReadsAnythingMalformedAsEmpty)
{
    const std::string ok =
        R"({"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":5.5,"items":2,"freed":10})";
    auto good = History::decode("[" + ok + "," + ok + "]");
    ASSERT_EQ(good.size(), 2u);
    EXPECT_EQ(good[0].id, "0B0F6C1E-2D3A-4B5C-8D9E-0F1A2B3C4D5E");
    EXPECT_EQ(good[0].date, unixTime(978307205.5));
    EXPECT_EQ(good[0].items, 2);
    EXPECT_EQ(good[0].freed, 10);

    const std::string bad[] = {
        "",
        "[",
        "{}",
        "\"text\"",
        "[1]",
        "[" + ok + ",{\"id\":\"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e\",\"date\":1,\"items\":1}]",
        R"([{"id":"not-a-uuid","date":1,"items":1,"freed":1}])",
        R"([{"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":"x","items":1,"freed":1}])",
        R"([{"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":1,"items":1.5,"freed":1}])",
        R"([{"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":1,"items":1,"freed":1e400}])",
        R"([{"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":1e300,"items":1,"freed":1}])",
        R"([{"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":1,"items":9999999999,"freed":1}])",
        R"([{"id":"0b0f6c1e-2d3a-4b5c-8d9e-0f1a2b3c4d5e","date":1,"items":1,"freed":18446744073709551615}])",
        "[" + ok + "] trailing",
        "[\"\xff\"]",
    };
    for (const auto& text : bad)
        EXPECT_TRUE(History::decode(text).empty()) << text;
    EXPECT_TRUE(History::decode("[]").empty());
}

TEST(History, ReplacesTheFileWholeSoAnInterruptedWriteLosesNothing)
{
    TestSupport::TestHome home;
    Files::makeDirs(Platform::supportFolder());
    Files::writeAtomically(historyFile(), "corrupt {");
    EXPECT_TRUE(Scanner::loadHistory().empty());
    HistoryEntry first;
    first.items = 1;
    Scanner::appendHistory(first);
    ASSERT_EQ(Scanner::loadHistory().size(), 1u); // the corrupt file is overwritten entirely

    // The new content goes to a new file renamed over the old one: a reader
    // of the old file (like a write cut short) still sees all of it.
    std::string before = Files::read(historyFile()).value_or("");
    int fd = ::open(historyFile().c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    HistoryEntry second;
    second.items = 2;
    Scanner::appendHistory(second);
    std::string seen(before.size() + 16, '\0');
    ssize_t n = ::pread(fd, seen.data(), seen.size(), 0);
    ::close(fd);
    seen.resize(n > 0 ? size_t(n) : 0);
    EXPECT_EQ(seen, before);
    EXPECT_EQ(Scanner::loadHistory().size(), 2u);

    // An entry with an id the reader would refuse gets a fresh one.
    HistoryEntry odd;
    odd.id = "nonsense";
    Scanner::appendHistory(odd);
    auto list = Scanner::loadHistory();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.front().id.size(), 36u);
}

TEST(Report, WritesMarkdownInTheCurrentLanguage)
{
    TestSupport::TestHome home;
    TestSupport::ZoneGuard zone("UTC");
    setenv("TID_LANG", "en", 1);
    ScanItem cache{.path = "/h/Library/Caches/pip", .name = "pip cache", .size = 3 * 1024 * 1024};
    ScanItem leftover{.path = "/h/Library/Logs/Gone | x", .name = "Gone | x", .size = 1536};
    VolumeInfo volume{.total = 500LL * 1024 * 1024 * 1024, .free = 120LL * 1024 * 1024 * 1024};
    std::string text =
        Report::text({cache}, {leftover}, {}, volume, unixTime(1772600767)); // 05:06 UTC
    EXPECT_EQ(text, "# Tidlo Cleaner · Scan Report\n"
                    "\n"
                    "- Generated: 2026-03-04 05:06\n"
                    "- Total: 500 GB · Used 380 GB · Available 120 GB\n"
                    "\n"
                    "## Caches  ·  3.0 MB\n"
                    "\n"
                    "| Name | Size | Location |\n"
                    "|---|---:|---|\n"
                    "| pip cache | 3.0 MB | `/h/Library/Caches/pip` |\n"
                    "\n"
                    "## Leftovers  ·  1.5 KB\n"
                    "\n"
                    "| Name | Size | Location |\n"
                    "|---|---:|---|\n"
                    "| Gone \\| x | 1.5 KB | `/h/Library/Logs/Gone \\| x` |\n"
                    "\n"
                    "## Large Files  ·  0 B\n"
                    "\n"
                    "| Name | Size | Location |\n"
                    "|---|---:|---|\n"
                    "\n");

    setenv("TID_LANG", "zh", 1);
    std::vector<ScanItem> large(150, ScanItem{.path = "/h/f", .name = "f", .size = 1024});
    VolumeInfo odd{.total = 10, .free = 20}; // used never goes below zero
    std::string zh = Report::text({}, {}, large, odd, unixTime(0));
    EXPECT_NE(zh.find("- 合计: 10 B · 已用 0 B · 可用 20 B\n"), std::string::npos);
    EXPECT_NE(zh.find("## 大文件  ·  150 KB\n"), std::string::npos);
    size_t rows = 0;
    for (size_t at = zh.find("| f | 1.0 KB | `/h/f` |\n"); at != std::string::npos;
         at = zh.find("| f | 1.0 KB | `/h/f` |\n", at + 1))
        ++rows;
    EXPECT_EQ(rows, 100u);
}

// No name or path ends its row, adds a column or closes its code span early.
TEST(Report, NamesStayInTheirCells)
{
    TestSupport::TestHome home;
    setenv("TID_LANG", "en", 1);
    const struct
    {
        std::string name, row;
    } cases[] = {
        {"a|b", "| a\\|b | 1.0 KB | `/h/a\\|b` |\n"},
        {"line\nfeed", "| line\\nfeed | 1.0 KB | `/h/line\\nfeed` |\n"},
        {"tab\tand\x1b", "| tab\\tand\\x1b | 1.0 KB | `/h/tab\\tand\\x1b` |\n"},
        {"back\\slash", "| back\\\\slash | 1.0 KB | `/h/back\\\\slash` |\n"},
        {"tick`s", "| tick`s | 1.0 KB | `` /h/tick`s `` |\n"},
    };
    for (const auto& c : cases) {
        ScanItem item{.path = "/h/" + c.name, .name = c.name, .size = 1024};
        const std::string text = Report::text({}, {}, {item}, {}, unixTime(0));
        EXPECT_NE(text.find(c.row), std::string::npos) << c.name << "\n" << text;
    }
}

TEST(Report, GoesToTheDesktopFolder)
{
    TestSupport::TestHome home;
    const std::string name = R"(/TidloCleaner-Report-\d{4}-\d\d-\d\d_\d{4}(_\d+)?\.md)";
    if (Platform::kIsMac) {
        EXPECT_FALSE(Scanner::exportReport({}, {}, {}, {}));
    } else {
        // Without a desktop folder the report goes to the home folder.
        auto path = Scanner::exportReport({}, {}, {}, {});
        ASSERT_TRUE(path);
        EXPECT_TRUE(std::regex_match(*path, std::regex(home.path() + name)));
        fs::remove(*path);
        // The desktop folder as user-dirs.dirs names it.
        home.file(".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
        home.dir("Schreibtisch");
        path = Scanner::exportReport({}, {}, {}, {});
        ASSERT_TRUE(path);
        EXPECT_TRUE(std::regex_match(*path, std::regex(home.at("Schreibtisch") + name)));
        EXPECT_FALSE(fs::exists(home.at("Desktop")));
        // A second report (in the same minute or not) never replaces the first.
        const auto again = Scanner::exportReport({}, {}, {}, {});
        ASSERT_TRUE(again);
        EXPECT_NE(*again, *path);
        EXPECT_TRUE(fs::exists(*path));
        return;
    }
    home.dir("Desktop");
    auto path = Scanner::exportReport({}, {}, {}, {});
    ASSERT_TRUE(path);
    EXPECT_TRUE(std::regex_match(*path, std::regex(home.at("Desktop") + name)));
    EXPECT_TRUE(Files::read(*path).value_or("").starts_with("# "));
    EXPECT_EQ(namesIn(home.at("Desktop")).size(), 1u);
}
