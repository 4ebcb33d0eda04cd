// SPDX-License-Identifier: GPL-3.0-or-later
// tclean scan, clean and big, run as real processes on fixture homes; output
// compared byte for byte.
#include "Files.h"
#include "Measure.h"
#include "Runner.h"
#include "Terminal.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <unistd.h>

namespace fs = std::filesystem;
using TestSupport::runOnTerminal;
using TestSupport::runProgram;
using TestSupport::tcleanPath;

namespace {

constexpr long long kMiB = 1024 * 1024;

std::string fromHex(std::string_view hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return out;
}

// A file of a logical size without its blocks: find and the file measure
// read the length only.
void sparseFile(const TestSupport::TestHome& home, const std::string& rel, long long size)
{
    home.file(rel);
    fs::resize_file(home.at(rel), static_cast<uintmax_t>(size));
}

std::string tclean(const std::vector<std::string>& args)
{
    return runProgram(tcleanPath(), args).out;
}

const std::string kHint =
    "  清理命令：tclean clean --safe --dry-run   先演练，再去掉 --dry-run 真删（进回收站）\n";

// A home with every kind of finding: known, generic and Application Support
// caches, leftovers next to data of installed applications (XML and binary
// Info.plist), and large files in excluded and ordinary folders.
void buildHome(const TestSupport::TestHome& home)
{
    home.file("Applications/Tiny.app/Contents/Info.plist",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
              "<key>CFBundleIdentifier</key><string>com.tinyapp.tool</string></dict></plist>");
    home.dir("Applications/Slack.app");
    home.file("Applications/Utilities/Visual Studio Code.app/Contents/Info.plist",
              fromHex("62706c6973743030d2010203045f1013434642756e646c65446973706c61794e616d65"
                      "5f1012434642756e646c654964656e74696669657254436f64655f1014636f6d2e6d69"
                      "63726f736f66742e5653436f6465080d23383d000000000000010100000000000000050"
                      "0000000000000000000000000000054"));

    home.sizedFile("Library/Application Support/Code/Cache/blob", 9 * kMiB);
    home.sizedFile("Library/Application Support/Slack/Cache/blob", 8 * kMiB);
    home.sizedFile("Library/Caches/com.tinyapp.Tool/blob", 7 * kMiB);
    home.sizedFile("Library/Caches/pip/blob", 6 * kMiB);
    home.sizedFile(".cache/pip/blob", 5 * kMiB);
    home.sizedFile(".npm/_cacache/blob", 4 * kMiB);
    home.sizedFile(".agent-browser", 3 * kMiB + 1);
    home.sizedFile("Library/Application Support/Code/GPUCache/blob", 5 * kMiB / 2);
    home.sizedFile("Library/Caches/com.apple.Music/blob", 3 * kMiB);
    home.sizedFile("Library/Containers/com.tinyapp.tool/blob", 5 * kMiB);
    home.sizedFile("Library/Containers/com.gone.app/blob", 11 * kMiB / 2);
    home.sizedFile("Library/Application Support/GoneApp/blob", 2 * kMiB);

    sparseFile(home, "Downloads/big.iso", 80 * kMiB);
    sparseFile(home, "Movies/tab\tand \"quotes\".mov", 70 * kMiB);
    sparseFile(home, ".Trash/old.iso", 90 * kMiB);
    sparseFile(home, "proj/node_modules/pkg/blob.bin", 90 * kMiB);
    sparseFile(home, "Library/Caches/huge.bin", 90 * kMiB);
}

} // namespace

TEST(CleanCommands, ScanJsonListsExactlyTheExpectedItems)
{
    TestSupport::TestHome home("zh");
    buildHome(home);
    auto size = [&](const std::string& rel) { return Scanner::sizeOf(home.at(rel)); };
    struct Expected
    {
        std::string name, rel, kind, risk;
    };
    const Expected expected[] = {
        {"Code · Cache", "Library/Application Support/Code/Cache", "cache", "safe"},
        {"Slack · Cache", "Library/Application Support/Slack/Cache", "cache", "safe"},
        {"com.tinyapp.Tool", "Library/Caches/com.tinyapp.Tool", "cache", "safe"},
        {"pip cache", "Library/Caches/pip", "cache", "safe"},
        {"pip cache", ".cache/pip", "cache", "safe"},
        {"npm cache", ".npm/_cacache", "cache", "care"},
        {"Chrome for Testing", ".agent-browser", "cache", "care"},
        {"Code · GPUCache", "Library/Application Support/Code/GPUCache", "cache", "safe"},
        // ~/Library/Caches/pip belongs to no installed application: a leftover too.
        {"pip", "Library/Caches/pip", "orphan", "data"},
        {"com.gone.app", "Library/Containers/com.gone.app", "orphan", "data"},
        {"GoneApp", "Library/Application Support/GoneApp", "orphan", "data"},
    };
    nlohmann::json want = nlohmann::json::array();
    for (const auto& e : expected)
        want.push_back({{"name", e.name},
                        {"path", home.at(e.rel)},
                        {"size", size(e.rel)},
                        {"kind", e.kind},
                        {"risk", e.risk}});

    auto run = runProgram(tcleanPath(), {"scan", "--json"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(nlohmann::json::parse(run.out, nullptr, false), want);
    // Pretty-printed, slashes escaped, one line feed at the end, no colour.
    EXPECT_NE(run.out.find("\n    \"path\": \"" +
                           std::regex_replace(home.at(".cache"), std::regex("/"), "\\/")),
              std::string::npos);
    EXPECT_FALSE(std::regex_search(run.out, std::regex(R"([^\\]/)"))); // every slash escaped
    EXPECT_TRUE(run.out.ends_with("}\n]\n"));
    EXPECT_EQ(runOnTerminal(tcleanPath(), {"scan", "--json"}).out, run.out);

    // --min hides smaller caches but never leftovers; a value whose byte count
    // does not fit 64 bits is clamped rather than wrapped round.
    auto names = [](const std::string& out) {
        std::vector<std::string> n;
        for (const auto& item : nlohmann::json::parse(out, nullptr, false))
            n.push_back(item.value("name", "") + "/" + item.value("kind", ""));
        return n;
    };
    const std::vector<std::string> leftovers = {"pip/orphan", "com.gone.app/orphan",
                                                "GoneApp/orphan"};
    std::vector<std::string> big = {"Code · Cache/cache", "Slack · Cache/cache"};
    big.insert(big.end(), leftovers.begin(), leftovers.end());
    EXPECT_EQ(names(tclean({"scan", "--json", "--min", "8"})), big);
    EXPECT_EQ(names(tclean({"scan", "--json", "--min", "99999999999999999"})), leftovers);
    EXPECT_EQ(names(tclean({"scan", "--json", "--min", "0"})).size(), 11u);
}

TEST(CleanCommands, ScanPrintsNumberedItemsAndTheTotal)
{
    TestSupport::TestHome home("zh");
    // Known locations that are plain files are measured by their length, so
    // the sizes are exact.
    const std::pair<const char*, long long> files[] = {
        {".npm/_npx", 20 * kMiB},
        {".yarn/cache", 19 * kMiB},
        {".cache/pip", 18 * kMiB},
        {"Library/Caches/pip", 17 * kMiB},
        {"Library/Caches/Homebrew", 16 * kMiB},
        {"Library/Caches/typescript", 15 * kMiB},
        {"Library/Caches/node-gyp", 14 * kMiB},
        {".gradle/caches", 13 * kMiB},
        {".cargo/registry", 12 * kMiB},
        {"Library/Caches/Firefox", 11 * kMiB},
    };
    for (const auto& [rel, size] : files)
        sparseFile(home, rel, size);
    home.sizedFile("Library/Logs/Gone App/blob", 5 * kMiB);

    const std::string h = home.path();
    std::string want = "可清理项  （只读扫描，不会动任何文件）\n\n";
    want += "  1.   安全  20.0 MB    npx temp packages\n        " + h + "/.npm/_npx\n";
    want += "  2.   安全  19.0 MB    yarn cache\n        " + h + "/.yarn/cache\n";
    want += "  3.   安全  18.0 MB    pip cache\n        " + h + "/.cache/pip\n";
    want += "  4.   安全  17.0 MB    pip cache\n        " + h + "/Library/Caches/pip\n";
    want += "  5.   安全  16.0 MB    Homebrew cache\n        " + h + "/Library/Caches/Homebrew\n";
    want += "  6.   安全  15.0 MB    TypeScript\n        " + h + "/Library/Caches/typescript\n";
    want += "  7.   安全  14.0 MB    node-gyp\n        " + h + "/Library/Caches/node-gyp\n";
    want += "  8.   注意  13.0 MB    Gradle cache\n        " + h + "/.gradle/caches\n";
    want += "  9.   注意  12.0 MB    Cargo registry\n        " + h + "/.cargo/registry\n";
    want += "  10.  注意  11.0 MB    Firefox cache\n        " + h + "/Library/Caches/Firefox\n";
    want += "  11.  谨慎  5.0 MB     Gone App\n        " + h + "/Library/Logs/Gone App\n";
    int64_t total = 155 * kMiB + Scanner::sizeOf(home.at("Library/Logs/Gone App"));
    want += "\n  合计可清理约 " + human(total) + "   （11 项）\n" + kHint;
    EXPECT_EQ(tclean({"scan"}), want);
}

TEST(CleanCommands, ScanColoursOnlyOnATerminal)
{
    TestSupport::TestHome home("zh");
    sparseFile(home, ".agent-browser", 3 * kMiB);
    const std::string want = "\x1b[1m可清理项\x1b[0m\x1b[2m  （只读扫描，不会动任何文件）\x1b[0m\n"
                             "\n"
                             "  1.   \x1b[33m注意\x1b[0m  3.0 MB     Chrome for Testing\n"
                             "        \x1b[2m" +
                             home.at(".agent-browser") +
                             "\x1b[0m\n"
                             "\n"
                             "\x1b[1m  合计可清理约 3.0 MB\x1b[0m\x1b[2m   （1 项）\x1b[0m\n"
                             "\x1b[2m" +
                             kHint.substr(0, kHint.size() - 1) + "\x1b[0m\n";
    EXPECT_EQ(runOnTerminal(tcleanPath(), {"scan"}).out, want);
}

TEST(CleanCommands, EmptyHomeGivesEmptyResults)
{
    TestSupport::TestHome home("zh");
    EXPECT_EQ(tclean({"scan"}),
              "可清理项  （只读扫描，不会动任何文件）\n\n\n  合计可清理约 0 B   （0 项）\n" +
                  kHint);
    EXPECT_EQ(tclean({"scan", "--json"}), "[]\n");
    EXPECT_EQ(tclean({"clean"}), "没有符合条件的项目。\n");
    EXPECT_EQ(tclean({"clean", "--safe", "--yes"}), "没有符合条件的项目。\n");
    EXPECT_EQ(tclean({"big"}), "大文件 · 大于 50 MB\n\n"
                               "  共 0 个。想按文件夹看：tclean tree <路径> -d 2\n");
    EXPECT_FALSE(fs::exists(home.at(".Trash")));
}

TEST(CleanCommands, CleanRehearsesUnlessToldYes)
{
    TestSupport::TestHome home("zh");
    sparseFile(home, ".npm/_npx", 5 * kMiB);
    sparseFile(home, ".gradle/caches", 4 * kMiB);
    home.sizedFile("Library/Logs/Gone App/blob", 3 * kMiB);
    int64_t gone = Scanner::sizeOf(home.at("Library/Logs/Gone App"));

    EXPECT_EQ(tclean({"clean", "--safe"}),
              "将移动 1 项，共 5.0 MB → 回收站（每项一个条目，可还原）\n"
              "  · ~/.npm/_npx\n"
              "\n"
              "这是演练（--dry-run），没有移动任何文件。\n"
              "确认无误后运行：tclean clean --safe --yes\n");
    EXPECT_EQ(tclean({"clean", "--min", "2"}), "将移动 3 项，共 " + human(9 * kMiB + gone) +
                                                   " → 回收站（每项一个条目，可还原）\n"
                                                   "  · ~/.npm/_npx\n"
                                                   "  · ~/.gradle/caches\n"
                                                   "  · ~/Library/Logs/Gone App\n"
                                                   "\n"
                                                   "这是演练（--dry-run），没有移动任何文件。\n"
                                                   "确认无误后运行：tclean clean --yes\n");
    EXPECT_EQ(tclean({"clean", "--safe", "--yes", "--dry-run"}).find("已移动"), std::string::npos);
    EXPECT_EQ(tclean({"clean", "--min", "99999999999999999", "--yes"}), "没有符合条件的项目。\n");
    EXPECT_FALSE(fs::exists(home.at(".Trash")));
    EXPECT_TRUE(fs::exists(home.at(".npm/_npx")));
}

TEST(CleanCommands, AnItemInsideAnotherCountsOnceEverywhere)
{
    if (access("/usr/bin/flatpak", X_OK) != 0)
        GTEST_SKIP() << "needs flatpak: without it no Flatpak folder is a leftover";
    TestSupport::TestHome home("zh");
    // An uninstalled Flatpak's folder (a leftover) holds its cache (a cache).
    home.sizedFile(".var/app/org.example.Gone/cache/blob", 5 * kMiB);
    home.sizedFile(".var/app/org.example.Gone/data/blob", 3 * kMiB);
    auto listed =
        Shell::runSucceeding("/usr/bin/flatpak", {"list", "--app", "--columns=application"});
    if (!listed || !listed->empty())
        GTEST_SKIP() << "this machine has Flatpak applications installed";
    const std::string outer = home.at(".var/app/org.example.Gone");
    const int64_t size = Scanner::sizeOf(outer);

    // Both are listed; the total counts the bytes once.
    std::string out = tclean({"scan"});
    EXPECT_NE(out.find("        " + outer + "/cache\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\n  合计可清理约 " + human(size) + "   （2 项）\n"), std::string::npos)
        << out;

    // The clean-up announces and moves the outer folder once.
    const std::string announced = "将移动 1 项，共 " + human(size) +
                                  " → 回收站（每项一个条目，可还原）\n"
                                  "  · ~/.var/app/org.example.Gone\n";
    EXPECT_TRUE(tclean({"clean"}).starts_with(announced));
    auto run = runProgram(tcleanPath(), {"clean", "--yes"});
    EXPECT_EQ(run.out, announced + "\n已移动 1 项到回收站（可从回收站恢复）。\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_FALSE(fs::exists(outer));
    EXPECT_EQ(std::distance(fs::directory_iterator(home.at(".local/share/Trash/files")),
                            fs::directory_iterator()),
              1);
}

TEST(CleanCommands, CleanSafeYesMovesExactlyTheSafeCaches)
{
    TestSupport::TestHome home("zh");
    buildHome(home);
    const std::vector<std::string> moved = {"Library/Application Support/Code/Cache",
                                            "Library/Application Support/Slack/Cache",
                                            "Library/Caches/com.tinyapp.Tool",
                                            "Library/Caches/pip",
                                            ".cache/pip",
                                            "Library/Application Support/Code/GPUCache"};
    int64_t total = 0;
    std::string lines;
    for (const auto& rel : moved) {
        total += Scanner::sizeOf(home.at(rel));
        lines += "  · ~/" + rel + "\n";
    }
    EXPECT_EQ(tclean({"clean", "--safe", "--yes"}),
              "将移动 6 项，共 " + human(total) + " → 回收站（每项一个条目，可还原）\n" + lines +
                  "\n已移动 6 项到回收站（可从回收站恢复）。\n");

    // One entry in the desktop's Trash per item, each with its record.
    const std::string files = home.at(".local/share/Trash/files");
    std::set<std::string> names, records;
    for (const auto& e : fs::directory_iterator(files))
        names.insert(e.path().filename().string());
    for (const auto& e : fs::directory_iterator(home.at(".local/share/Trash/info")))
        records.insert(e.path().filename().string());
    ASSERT_EQ(names.size(), 6u);
    const std::string prefix = names.begin()->substr(0, names.begin()->find(' '));
    EXPECT_TRUE(std::regex_match(prefix, std::regex(R"(\d{4}-\d\d-\d\d_\d{4}_命令行)")));
    std::set<std::string> want;
    for (const char* name : {"Cache", "Cache_2", "com.tinyapp.Tool", "pip", "pip_2", "GPUCache"})
        want.insert(prefix + " " + name);
    EXPECT_EQ(names, want);
    for (const auto& name : want)
        EXPECT_TRUE(records.count(name + ".trashinfo")) << name;
    EXPECT_EQ(records.size(), 6u);
    EXPECT_EQ(fs::file_size(files + "/" + prefix + " Cache/blob"), uintmax_t(9 * kMiB));
    EXPECT_EQ(fs::file_size(files + "/" + prefix + " Cache_2/blob"), uintmax_t(8 * kMiB));
    EXPECT_EQ(fs::file_size(files + "/" + prefix + " pip_2/blob"), uintmax_t(5 * kMiB));
    EXPECT_EQ(std::distance(fs::directory_iterator(home.at(".Trash")), fs::directory_iterator()),
              1); // only what was there before
    // Everything else stays; the clean-up is in the history with its manifest.
    for (const char* rel : {".npm/_cacache", ".agent-browser", "Library/Containers/com.gone.app",
                            "Downloads/big.iso", "Library/Application Support/Code"})
        EXPECT_TRUE(fs::exists(home.at(rel))) << rel;
    EXPECT_FALSE(fs::exists(home.at("Library/Application Support/TidloCleaner")));
    const auto history =
        nlohmann::json::parse(*Files::read(home.at(".local/share/TidloCleaner/history.json")));
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0]["items"], 6);
    EXPECT_TRUE(fs::exists(home.at(".local/share/TidloCleaner/cleanups/" +
                                   history[0]["id"].get<std::string>() + ".json")));
}

TEST(CleanCommands, BigListsLargestFilesWithOddNamesAmongThem)
{
    TestSupport::TestHome home("zh");
    buildHome(home);
    // A name that is not UTF-8 is listed with its bytes and hides nothing;
    // controls in names (C0, C1, bidirectional) show as "?"; the home's
    // letters inside a name stay as they are.
    sparseFile(home, "Downloads/bad \xff name.bin", 87 * kMiB);
    sparseFile(home, "Downloads/line\nfeed.bin", 86 * kMiB);
    sparseFile(home,
               "Downloads/a\u202egnp.exe \xc2\x9b"
               "2J",
               85 * kMiB);
    sparseFile(home, "x" + home.path() + "-old", 60 * kMiB);
    sparseFile(home, "Documents/50 exactly.bin", 50 * kMiB);
    sparseFile(home, "Documents/just over.bin", 50 * kMiB + 1);
    EXPECT_EQ(tclean({"big"}), "大文件 · 大于 50 MB\n"
                               "  1.   87.0 MB   ~/Downloads/bad \xff name.bin\n"
                               "  2.   86.0 MB   ~/Downloads/line?feed.bin\n"
                               "  3.   85.0 MB   ~/Downloads/a?gnp.exe ?2J\n"
                               "  4.   80.0 MB   ~/Downloads/big.iso\n"
                               "  5.   70.0 MB   ~/Movies/tab?and \"quotes\".mov\n"
                               "  6.   60.0 MB   ~/x" +
                                   home.path() +
                                   "-old\n"
                                   "  7.   50.0 MB   ~/Documents/just over.bin\n"
                                   "\n"
                                   "  共 7 个。想按文件夹看：tclean tree <路径> -d 2\n");
    EXPECT_EQ(tclean({"big", "--min", "85"}), "大文件 · 大于 85 MB\n"
                                              "  1.   87.0 MB   ~/Downloads/bad \xff name.bin\n"
                                              "  2.   86.0 MB   ~/Downloads/line?feed.bin\n"
                                              "\n"
                                              "  共 2 个。想按文件夹看：tclean tree <路径> -d 2\n");
}

TEST(CleanCommands, BigShowsAtMostThirtyFiles)
{
    TestSupport::TestHome home("zh");
    for (int i = 0; i < 32; ++i)
        sparseFile(home, "many/f" + std::to_string(100 + i), (100 + i) * kMiB);
    std::string out = tclean({"big"});
    EXPECT_NE(out.find("\n  1.   131.0 MB  ~/many/f131\n"), std::string::npos);
    EXPECT_NE(out.find("\n  30.  102.0 MB  ~/many/f102\n"), std::string::npos);
    EXPECT_EQ(out.find("f101"), std::string::npos);
    EXPECT_TRUE(out.ends_with("  共 30 个。想按文件夹看：tclean tree <路径> -d 2\n"));
}

TEST(CleanCommands, UnreadableFoldersOnlyHideWhatIsInThem)
{
    if (!TestSupport::canDropPrivileges())
        GTEST_SKIP() << "no way to run as an unprivileged user here";
    TestSupport::TestHome home("zh");
    buildHome(home);
    sparseFile(home, "Private/secret.bin", 60 * kMiB);
    // Everything readable by all, except two folders only root may enter.
    fs::permissions(home.path(), fs::perms(0755));
    for (const auto& e : fs::recursive_directory_iterator(home.path()))
        if (!e.is_symlink())
            fs::permissions(e.path(), e.is_directory() ? fs::perms(0755) : fs::perms(0644));
    fs::permissions(home.at("Library/Caches"), fs::perms(0700));
    fs::permissions(home.at("Private"), fs::perms(0700));
    auto asNobody = [&](std::vector<std::string> args) {
        args.insert(args.begin(),
                    {"--reuid=65534", "--regid=65534", "--clear-groups", tcleanPath()});
        return runProgram("/usr/bin/setpriv", args).out;
    };

    std::vector<std::string> names;
    for (const auto& item : nlohmann::json::parse(asNobody({"scan", "--json"}), nullptr, false))
        names.push_back(item.value("name", ""));
    EXPECT_EQ(names, (std::vector<std::string>{"Code · Cache", "Slack · Cache", "pip cache",
                                               "npm cache", "Chrome for Testing", "Code · GPUCache",
                                               "com.gone.app", "GoneApp"}));

    std::string big = asNobody({"big"});
    EXPECT_NE(big.find("~/Downloads/big.iso"), std::string::npos);
    EXPECT_EQ(big.find("secret"), std::string::npos);
    EXPECT_TRUE(big.ends_with("  共 2 个。想按文件夹看：tclean tree <路径> -d 2\n"));

    // Nothing can be moved by this user: all are announced, none moved.
    std::string clean = asNobody({"clean", "--safe", "--yes"});
    EXPECT_TRUE(clean.starts_with("将移动 4 项，共 ")) << clean;
    EXPECT_TRUE(clean.ends_with("\n已移动 0 项到回收站（可从回收站恢复）。\n")) << clean;
    EXPECT_TRUE(fs::exists(home.at("Library/Application Support/Code/Cache/blob")));
}

// Each command's fixed texts, byte for byte, in both languages: one cache
// that is a plain file (an exact size), two same-named documents, no large
// files.
TEST(CleanCommands, FixedTextsInBothLanguages)
{
    struct Case
    {
        std::vector<std::string> args;
        const char* zh;
        const char* en;
    };
    const std::vector<Case> cases = {
        {{"scan"},
         "可清理项  （只读扫描，不会动任何文件）\n\n"
         "  1.   安全  20.0 MB    npx temp packages\n        @/.npm/_npx\n\n"
         "  合计可清理约 20.0 MB   （1 项）\n"
         "  清理命令：tclean clean --safe --dry-run   先演练，再去掉 --dry-run 真删（进回收站）\n",
         "Cleanable items  (read-only scan, no file is touched)\n\n"
         "  1.   Safe     20.0 MB    npx temp packages\n        @/.npm/_npx\n\n"
         "  About 20.0 MB can be cleaned   (1 item)\n"
         "  To clean: tclean clean --safe --dry-run   rehearse first, then drop --dry-run to "
         "move them (into the Trash)\n"},
        {{"clean", "--safe"},
         "将移动 1 项，共 20.0 MB → 回收站（每项一个条目，可还原）\n  · ~/.npm/_npx\n\n"
         "这是演练（--dry-run），没有移动任何文件。\n确认无误后运行：tclean clean --safe --yes\n",
         "Will move 1 item, 20.0 MB → Trash (one entry per item, restorable)\n"
         "  · ~/.npm/_npx\n\n"
         "This was a dry run (--dry-run): no file was moved.\n"
         "When it looks right, run: tclean clean --safe --yes\n"},
        {{"clean", "--min", "500"}, "没有符合条件的项目。\n", "No items match.\n"},
        {{"big"},
         "大文件 · 大于 50 MB\n\n  共 0 个。想按文件夹看：tclean tree <路径> -d 2\n",
         "Large files · over 50 MB\n\n  0 files. By folder: tclean tree <path> -d 2\n"},
        {{"types"},
         "文件类型占用  （桌面 / 下载 / 文稿）\n"
         "  txt           6 B       ████████████████ 100.0%  2 个\n\n  合计 6 B\n",
         "Space by file type  (Desktop / Downloads / Documents)\n"
         "  txt           6 B       ████████████████ 100.0%  2 files\n\n  Total 6 B\n"},
        {{"names"},
         "同名项目（名字相同且体积一致）\n\n  1. x.txt  文件 · 2 处\n"
         "     ~/Documents/a/x.txt\n     ~/Documents/b/x.txt\n\n  共 1 组\n",
         "Same names (same name and size)\n\n  1. x.txt  file · 2 places\n"
         "     ~/Documents/a/x.txt\n     ~/Documents/b/x.txt\n\n  1 group\n"},
        {{"dupes"},
         "内容重复（大小相同或相差 ≤0.5 KB，比对头尾 64KB，不看文件名）\n  扫描中…\n\n"
         "  共 0 组，可回收约 0 B\n",
         "Same content (same size or ≤0.5 KB apart, first and last 64KB compared, names "
         "ignored)\n  Scanning…\n\n  0 groups, about 0 B reclaimable\n"},
        {{"tree", "@/nope"}, "不是文件夹：@/nope\n", "Not a folder: @/nope\n"},
    };
    for (const char* lang : {"zh", "en"}) {
        TestSupport::TestHome home(lang);
        home.sizedFile(".npm/_npx", 20 * kMiB);
        home.file("Documents/a/x.txt", "hi\n");
        home.file("Documents/b/x.txt", "hi\n");
        for (const auto& c : cases) {
            std::vector<std::string> args;
            for (const auto& a : c.args)
                args.push_back(std::regex_replace(a, std::regex("@"), home.path()));
            const std::string want = std::regex_replace(std::string(lang[0] == 'z' ? c.zh : c.en),
                                                        std::regex("@"), home.path());
            EXPECT_EQ(tclean(args), want) << lang << " " << c.args[0];
        }
        // The overview and procs: their headings (the figures are the machine's).
        const std::string overview = tclean({"overview"});
        const std::string procs = tclean({"procs"});
        if (lang[0] == 'z') {
            EXPECT_TRUE(overview.starts_with("蒂朵清理工具 · 磁盘概览\n  磁盘   ")) << overview;
            EXPECT_TRUE(overview.ends_with("\n  下一步：tclean scan   看看能清什么\n")) << overview;
            EXPECT_TRUE(procs.starts_with("内存占用\n  本应用  ")) << procs;
        } else {
            EXPECT_TRUE(overview.starts_with("Tidlo Cleaner · disk overview\n  Disk   "))
                << overview;
            EXPECT_TRUE(overview.ends_with("\n  Next: tclean scan   see what can be cleaned\n"))
                << overview;
            EXPECT_TRUE(procs.starts_with("Memory\n  tclean  ")) << procs;
        }
        // The Trash entry carries the source word of the language of the moment.
        EXPECT_EQ(runProgram(tcleanPath(), {"clean", "--safe", "--yes"}).status, 0);
        const auto entries = fs::directory_iterator(home.at(".local/share/Trash/files"));
        const std::string entry = entries->path().filename().string();
        const std::string word = lang[0] == 'z' ? "命令行" : "Terminal";
        EXPECT_TRUE(
            std::regex_match(entry, std::regex(R"(\d{4}-\d\d-\d\d_\d{4}_)" + word + " _npx")))
            << entry;
    }
}
