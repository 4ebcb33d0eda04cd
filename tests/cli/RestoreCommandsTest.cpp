// SPDX-License-Identifier: GPL-3.0-or-later
// tclean clean, restore and plans, run as real processes on fixture homes:
// a home cleaned and put back is the home it was.
#include "Files.h"
#include "Platform.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;
using TestSupport::runProgram;
using TestSupport::tcleanPath;

namespace {

constexpr long long kMiB = 1024 * 1024;

// Caches tclean finds on a Linux home, each holding odd names.
void buildCaches(const TestSupport::TestHome& home)
{
    home.sizedFile(".cache/pip/http/blob", 6 * kMiB);
    TestSupport::makeOddTree(home.at(".cache/pip/odd"));
    home.sizedFile(".cache/fontconfig/blob", 4 * kMiB);
    home.sizedFile(".config/Code/Cache/blob", 3 * kMiB);
    TestSupport::makeOddTree(home.at(".config/Code/Cache/odd"));
    home.file(".config/Code/User/settings.json", "{}");
}

// The home as it is, without the product's own files and the Trash.
std::string homeText(const TestSupport::TestHome& home)
{
    return TestSupport::treeText(home.path(), {".local", ".cache/TidloCleaner"});
}

// tclean's standard output, standard error and exit status, apart.
struct Outcome
{
    std::string out, err;
    int status = -1;
};

Outcome tclean(const std::vector<std::string>& args)
{
    const std::string err = fs::temp_directory_path() / ("tclean-err-" + std::to_string(getpid()));
    std::vector<std::string> command = {"-c", "exec \"$0\" \"$@\" 2>\"$TCLEAN_ERR\"", tcleanPath()};
    command.insert(command.end(), args.begin(), args.end());
    const auto result = runProgram("/bin/sh", command, {{"TCLEAN_ERR", err}, {"TID_LANG", "en"}});
    Outcome run{result.out, Files::read(err).value_or(""), result.status};
    fs::remove(err);
    return run;
}

} // namespace

TEST(Restore, PutsACleanedHomeBackByteForByte)
{
    if (!Platform::kDesktopTrash)
        GTEST_SKIP() << "the desktop's Trash";
    TestSupport::TestHome home("en");
    buildCaches(home);
    const std::string before = homeText(home);

    EXPECT_EQ(tclean({"restore"}).out, "No clean-ups yet.\n");
    const Outcome clean = tclean({"clean", "--yes"});
    ASSERT_EQ(clean.status, 0) << clean.out << clean.err;
    ASSERT_FALSE(fs::exists(home.at(".cache/pip")));
    ASSERT_NE(homeText(home), before);

    const Outcome listed = tclean({"restore"});
    EXPECT_NE(listed.out.find("  Terminal  3 items"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("3 in the Trash"), std::string::npos) << listed.out;

    const Outcome shown = tclean({"restore", "last"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("Will put back 3 items"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("  · ~/.cache/pip\n"), std::string::npos) << shown.out;
    EXPECT_NE(homeText(home), before); // a dry run moves nothing

    const Outcome restored = tclean({"restore", "last", "--yes"});
    EXPECT_EQ(restored.status, 0) << restored.err;
    EXPECT_NE(restored.out.find("Put back 3 items."), std::string::npos) << restored.out;
    EXPECT_EQ(homeText(home), before);
    EXPECT_TRUE(fs::is_empty(home.at(".local/share/Trash/files")));
    EXPECT_TRUE(fs::is_empty(home.at(".local/share/Trash/info")));
    EXPECT_NE(tclean({"restore"}).out.find("0 in the Trash"), std::string::npos);
}

TEST(Restore, ExitStatusSaysWhetherEverythingCameBack)
{
    if (!Platform::kDesktopTrash)
        GTEST_SKIP() << "the desktop's Trash";
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        bool takePip; // something new at ~/.cache/pip before the put-back
        int status;
        const char* out; // in standard output
        const char* err; // in standard error ("" for none)
        bool pipBack;    // the cleaned pip cache at its place afterwards
        bool fontBack;
    };
    const std::vector<Case> cases = {
        {"all", {"last", "--yes"}, false, 0, "Put back 3 items.", "", true, true},
        {"one path", {"~/.cache/pip", "--yes"}, false, 0, "Put back 1 item.", "", true, false},
        {"below a path", {"~/.cache", "--yes"}, false, 0, "Put back 2 items.", "", true, true},
        {"taken",
         {"last", "--yes"},
         true,
         1,
         "Put back 2 items.",
         "1 item stays in the Trash: its place is taken",
         false,
         true},
        {"taken beside",
         {"last", "--yes", "--beside"},
         true,
         0,
         "1 of them went next to its taken place:\n  · ~/.cache/pip",
         "",
         false,
         true},
        {"unknown",
         {"2001-01-01 00:00", "--yes"},
         false,
         1,
         "",
         "No clean-up or item matches 2001-01-01 00:00",
         false,
         false},
        {"a path never cleaned",
         {"/nowhere", "--yes"},
         false,
         1,
         "",
         "No clean-up or item matches /nowhere",
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSupport::TestHome home("en");
        buildCaches(home);
        const std::string pipBefore = TestSupport::treeText(home.at(".cache/pip"));
        ASSERT_EQ(tclean({"clean", "--yes"}).status, 0);
        if (c.takePip)
            home.file(".cache/pip", "new");
        std::vector<std::string> args = {"restore"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome run = tclean(args);
        EXPECT_EQ(run.status, c.status) << run.out << run.err;
        EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
        if (*c.err) {
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        } else {
            EXPECT_EQ(run.err, "");
        }
        EXPECT_EQ(TestSupport::treeText(home.at(".cache/pip")) == pipBefore, c.pipBack);
        EXPECT_EQ(fs::exists(home.at(".cache/fontconfig/blob")), c.fontBack);
        if (c.takePip) {
            EXPECT_EQ(Files::read(home.at(".cache/pip")), "new");
        }
    }
}

TEST(Restore, TellsCleanupsOfOneMinuteApartByTheirIds)
{
    if (!Platform::kDesktopTrash)
        GTEST_SKIP() << "the desktop's Trash";
    TestSupport::TestHome home("en");
    home.sizedFile(".cache/pip/http/blob", 2 * kMiB);
    ASSERT_EQ(tclean({"clean", "--yes"}).status, 0);
    home.sizedFile(".cache/pip/http/other", 3 * kMiB);
    ASSERT_EQ(tclean({"clean", "--yes"}).status, 0);

    const auto history =
        nlohmann::json::parse(*Files::read(home.at(".local/share/TidloCleaner/history.json")));
    ASSERT_EQ(history.size(), 2u);
    const std::string older = history[1]["id"].get<std::string>();
    // The older one by a prefix of its id, in lower case.
    std::string prefix = older.substr(0, 6);
    for (char& ch : prefix)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const Outcome run = tclean({"restore", prefix, "--yes"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(home.at(".cache/pip/http/blob")));
    EXPECT_FALSE(fs::exists(home.at(".cache/pip/http/other")));
}

TEST(Plan, CleansOnlyWhatIsUnchangedSinceTheScan)
{
    if (!Platform::kDesktopTrash)
        GTEST_SKIP() << "the desktop's Trash";
    TestSupport::TestHome home("en");
    buildCaches(home);
    const std::string plan = home.at("plan.json");
    const Outcome scan = tclean({"scan", "--plan", plan});
    ASSERT_EQ(scan.status, 0);
    EXPECT_EQ(scan.out, "Plan written (3 items): ~/plan.json\n");
    const auto items = nlohmann::json::parse(*Files::read(plan))["items"];
    ASSERT_EQ(items.size(), 3u);
    for (const auto& item : items)
        for (const char* key :
             {"path", "label", "size", "kind", "risk", "device", "inode", "modified", "length"})
            EXPECT_TRUE(item.contains(key)) << key;

    // Replaced since the scan: another inode at the same path.
    fs::rename(home.at(".cache/fontconfig"), home.at("old-fontconfig"));
    home.sizedFile(".cache/fontconfig/blob", 4 * kMiB);
    const Outcome shown = tclean({"clean", "--plan", plan});
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("Will move 2 items"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("1 item changed since the scan and is skipped:\n"
                             "  · ~/.cache/fontconfig\n"),
              std::string::npos)
        << shown.out;
    EXPECT_TRUE(fs::exists(home.at(".cache/pip")));

    const Outcome moved = tclean({"clean", "--plan", plan, "--yes"});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_FALSE(fs::exists(home.at(".cache/pip")));
    EXPECT_FALSE(fs::exists(home.at(".config/Code/Cache")));
    EXPECT_TRUE(fs::exists(home.at(".cache/fontconfig/blob")));

    Files::writeAtomically(plan, "{\"version\":1,\"items\":[{}]}");
    const Outcome bad = tclean({"clean", "--plan", plan, "--yes"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("The plan could not be read"), std::string::npos) << bad.err;
}
