// SPDX-License-Identifier: GPL-3.0-or-later
#include "Preferences.h"
#include "Files.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using TestSupport::TestHome;

TEST(Preferences, RoundTripsEveryValueType)
{
    TestHome home;
    EXPECT_FALSE(Preferences::string("tc.lang"));
    ASSERT_TRUE(Preferences::setString("tc.lang", "zh"));
    ASSERT_TRUE(Preferences::setStringArray("protectedPaths", {"/a b", "/c\n\"d\""}));
    ASSERT_TRUE(Preferences::setBoolean("tc.guide.basicDone", true));
    auto when = Clock::now();
    ASSERT_TRUE(Preferences::setDate("tc.feat.clean", when));

    EXPECT_EQ(Preferences::string("tc.lang"), "zh");
    EXPECT_EQ(Preferences::stringArray("protectedPaths"),
              (std::vector<std::string>{"/a b", "/c\n\"d\""}));
    EXPECT_EQ(Preferences::boolean("tc.guide.basicDone"), true);
    auto back = Preferences::date("tc.feat.clean");
    ASSERT_TRUE(back);
    EXPECT_LT(std::chrono::abs(*back - when), std::chrono::milliseconds(1));

    // A value of another type reads as absent rather than as something else.
    EXPECT_FALSE(Preferences::boolean("tc.lang"));
    EXPECT_FALSE(Preferences::string("protectedPaths"));
    EXPECT_FALSE(Preferences::date("tc.lang"));

    ASSERT_TRUE(Preferences::remove("tc.lang"));
    EXPECT_FALSE(Preferences::string("tc.lang"));
    EXPECT_EQ(Preferences::boolean("tc.guide.basicDone"), true);
    EXPECT_EQ(Preferences::filePath(), home.at(".config/TidloCleaner/preferences.json"));
}

TEST(Preferences, DamagedFileReadsAsEmptyAndIsReplacedWhole)
{
    const char* damaged[] = {"", "{", "[1,2]", "\"text\"", "\xff\xfe{}", "{\"tc.lang\": 5}"};
    for (const char* content : damaged) {
        TestHome home;
        home.file(".config/TidloCleaner/preferences.json", content);
        EXPECT_FALSE(Preferences::string("tc.lang")) << content;
        ASSERT_TRUE(Preferences::setString("tc.lang", "en")) << content;
        EXPECT_EQ(Preferences::string("tc.lang"), "en") << content;
    }
}

TEST(Preferences, FailedWriteIsReportedAndLeavesNoTemporaryFile)
{
    TestHome home;
    ASSERT_TRUE(Preferences::setString("tc.lang", "zh"));
    // A non-empty folder where the file should be makes the final rename fail.
    std::string path = Preferences::filePath();
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/keep");
    EXPECT_FALSE(Preferences::setString("tc.lang", "en"));
    EXPECT_TRUE(std::filesystem::is_directory(path + "/keep"));
    // No temporary files are left behind.
    int others = 0;
    for (auto& e : std::filesystem::directory_iterator(home.at(".config/TidloCleaner")))
        others += e.path().filename() != "preferences.json";
    EXPECT_EQ(others, 0);
}

TEST(Files, WriteAtomicallyReplacesContentWhole)
{
    TestHome home;
    std::string path = home.at("f.json");
    ASSERT_TRUE(Files::writeAtomically(path, "first"));
    ASSERT_TRUE(Files::writeAtomically(path, "second, longer"));
    EXPECT_EQ(Files::read(path), "second, longer");
    EXPECT_FALSE(Files::writeAtomically(home.at("missing/f.json"), "x"));
    EXPECT_FALSE(Files::read(home.at("missing/f.json")));
    EXPECT_FALSE(Files::read(home.path())) << "a folder is not a file";
    ASSERT_EQ(mkfifo(home.at("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(Files::read(home.at("pipe"))) << "a named pipe is refused, not waited on";
}
