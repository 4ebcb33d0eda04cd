// SPDX-License-Identifier: GPL-3.0-or-later
// The leftover scan: its matching rules on plain values, Info.plist reading
// in both forms, and a whole scan of a fixture home with installed and
// removed applications.
#include "Leftovers.h"
#include "Measure.h"
#include "Runner.h"
#include "TestHome.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr long long kMiB = 1024 * 1024;

std::string xmlPlist(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">" +
           body + "</plist>\n";
}

std::string fromHex(std::string_view hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return out;
}

// A binary property list: CFBundleIdentifier "com.Example.Binary",
// CFBundleDisplayName "Binär Tool" (stored as UTF-16).
const std::string kBinaryPlist =
    fromHex("62706c6973743030d2010203045f1013434642756e646c65446973706c61794e616d655f101243"
            "4642756e646c654964656e7469666965726a00420069006e00e4007200200054006f006f006c5f"
            "1012636f6d2e4578616d706c652e42696e617279080d23384d00000000000001010000000000000"
            "00500000000000000000000000000000062");

} // namespace

TEST(Leftovers, ReadsInfoPlistInXmlAndBinaryForm)
{
    auto xml = Leftovers::readInfoPlist(
        xmlPlist("<dict><key>CFBundleIdentifier</key><string>com.Example.Tool</string>"
                 "<key>CFBundleDisplayName</key><string>Example Tool</string></dict>"));
    ASSERT_TRUE(xml);
    EXPECT_EQ(xml->identifier, "com.Example.Tool");
    EXPECT_EQ(xml->displayName, "Example Tool");

    auto binary = Leftovers::readInfoPlist(kBinaryPlist);
    ASSERT_TRUE(binary);
    EXPECT_EQ(binary->identifier, "com.Example.Binary");
    EXPECT_EQ(binary->displayName, "Binär Tool");

    // Keys of the wrong type or an empty identifier are left out.
    auto odd = Leftovers::readInfoPlist(
        xmlPlist("<dict><key>CFBundleIdentifier</key><string></string>"
                 "<key>CFBundleDisplayName</key><integer>7</integer></dict>"));
    ASSERT_TRUE(odd);
    EXPECT_FALSE(odd->identifier);
    EXPECT_FALSE(odd->displayName);

    for (const std::string& bad :
         {std::string(), std::string("not a plist at all"),
          xmlPlist("<array><string>x</string></array>"),
          xmlPlist("<dict><key>CFBundleIdentifier</key>"), kBinaryPlist.substr(0, 40)})
        EXPECT_FALSE(Leftovers::readInfoPlist(bad)) << bad;
}

TEST(Leftovers, SkipsHiddenSystemVendorAndOwnEntries)
{
    const std::pair<const char*, bool> cases[] = {
        {".hidden", true},
        {"com.apple.Music", true},
        {"group.com.apple.notes", true},
        {"Google", true},
        {"GoogleUpdater", true},
        {"Microsoft Teams", true},
        {"com.microsoft.rdc", true},
        {"Adobe Stuff", true},
        {"CloudKit", true},
        {"Metadata", true},
        {"iOS DeviceSupport", true},
        {"My TIDLO notes", true},
        {"vemo-cache", true},
        {"com.Mituan.x", true},
        {"kvq", true},
        {"metadata", false},
        {"CloudKitten", false},
        {"com.googlex", false},
        {"Slack", false},
        {"com.gone.app", false},
    };
    for (const auto& [name, skipped] : cases)
        EXPECT_EQ(Leftovers::skippedEntry(name), skipped) << name;
    EXPECT_EQ(Leftovers::entryKey("Com.Gone.PLIST"), "com.gone");
    EXPECT_EQ(Leftovers::entryKey("x.plist.plist"), "x.plist");
    EXPECT_EQ(Leftovers::entryKey("Straße"), "straße");
}

TEST(Leftovers, MatchesInstalledIdentifiersAndNames)
{
    Leftovers::Installed installed;
    Leftovers::addBundle("Foo Pro.app", std::nullopt, installed);
    Leftovers::addBundle("Go.app", std::nullopt, installed);
    Leftovers::addBundle("Odd.app.app", Leftovers::BundleInfo{"com.Example.Tool", "Über Tool"},
                         installed);
    EXPECT_EQ(installed.names,
              (std::unordered_set<std::string>{"foo pro", "go", "odd", "über tool"}));
    EXPECT_EQ(installed.identifiers, (std::unordered_set<std::string>{"com.example.tool"}));

    const std::pair<const char*, bool> cases[] = {
        {"com.example.tool", true},            // identifier
        {"com.example.tool.savedstate", true}, // contains an identifier
        {"group.com.example.tool", true},      //
        {"com.example", false},                // identifiers are not matched the other way
        {"foo", true},                         // contained in "foo pro"
        {"foo pro helper", true},              // contains "foo pro"
        {"go", true},                          // a two-letter name matches exactly
        {"gopher", false},                     // and never by substring
        {"g", false},                          //
        {"über tool", true},                   //
        {"ber", true},                         // contained in "über tool"
        {"slack", false},
    };
    for (const auto& [key, belongs] : cases)
        EXPECT_EQ(Leftovers::belongsToInstalled(key, installed), belongs) << key;
}

TEST(Leftovers, ScanReportsFoldersOfRemovedApplicationsLargestFirst)
{
    TestSupport::TestHome home;
    setenv("TID_LANG", "en", 1);
    home.file("Applications/Tool.app/Contents/Info.plist",
              xmlPlist("<dict><key>CFBundleIdentifier</key><string>com.example.tool</string>"
                       "</dict>"));
    home.file("Applications/Utilities/Binary.app/Contents/Info.plist", kBinaryPlist);
    home.file("Applications/Corrupt.app/Contents/Info.plist", "<plist><dict><key>");
    home.dir("Applications/Foo Pro.app");
    home.dir("Applications/Go.app");
    home.dir("Applications/Deeper/Sub/Hidden.app"); // two levels only: not installed

    const std::pair<const char*, long long> data[] = {
        // Claimed by installed applications.
        {"Containers/com.example.tool", 5},
        {"Saved Application State/com.example.tool.savedState", 5},
        {"Caches/com.example.binary", 5},
        {"Application Support/Binär Tool", 5},
        {"Application Support/Foo", 5},
        {"Application Support/Go", 5},
        {"Logs/Corrupt", 5},
        // Never examined.
        {"Application Support/com.apple.anything", 5},
        {"Application Support/Google", 5},
        {"Application Support/Microsoft Teams", 5},
        {"Caches/CloudKit", 5},
        {"Caches/.hidden", 5},
        {"Containers/TidloCleaner", 5},
        {"Logs/bad\xff name", 5},
        // Leftovers.
        {"HTTPStorages/com.gone.app", 9},
        {"WebKit/com.gone.app", 8},
        {"Application Support/Hidden", 7},
        {"Application Support/Gopher", 6},
        {"Application Scripts/tab\there \"q\"", 4},
        {"Containers/Tiny", 0},
    };
    for (const auto& [rel, mib] : data)
        home.sizedFile("Library/" + std::string(rel) + "/blob", mib * kMiB + 1);
    home.sizedFile("Library/Caches/com.gone.file.plist", 5 * kMiB); // files never count
    // A folder of exactly 1 MiB is dropped.
    home.dir("Library/Logs/Exact");
    int64_t folder = Scanner::sizeOf(home.at("Library/Logs/Exact"));
    home.sizedFile("Library/Logs/Exact/blob", kMiB - folder);
    ASSERT_EQ(Scanner::sizeOf(home.at("Library/Logs/Exact")), kMiB);

    auto items = Scanner::leftoverItems();
    std::vector<std::string> got;
    for (const auto& item : items) {
        EXPECT_EQ(item.kind, ItemKind::Leftover);
        EXPECT_EQ(item.risk, Risk::Data);
        EXPECT_EQ(item.path, home.at("Library/" + item.note.substr(18) + "/" + item.name));
        got.push_back(item.name + " | " + item.note);
    }
    EXPECT_EQ(got, (std::vector<std::string>{
                       "com.gone.app | Location: Library/HTTPStorages",
                       "com.gone.app | Location: Library/WebKit",
                       "Hidden | Location: Library/Application Support",
                       "Gopher | Location: Library/Application Support",
                       "tab\there \"q\" | Location: Library/Application Scripts",
                   }));

    setenv("TID_LANG", "zh", 1);
    auto zh = Scanner::leftoverItems();
    ASSERT_FALSE(zh.empty());
    EXPECT_EQ(zh[0].note, "位置: Library/HTTPStorages");
}

TEST(Leftovers, FlatpakFoldersOfApplicationsNoLongerInstalled)
{
    auto ids = Leftovers::flatpakIds("org.gnome.Builder\n  com.slack.Slack \r\n\n");
    EXPECT_EQ(ids, (std::unordered_set<std::string>{"org.gnome.Builder", "com.slack.Slack"}));
    EXPECT_FALSE(Leftovers::flatpakLeftover("com.slack.Slack", ids));
    EXPECT_TRUE(Leftovers::flatpakLeftover("com.Slack.slack", ids)); // ids are exact
    EXPECT_TRUE(Leftovers::flatpakLeftover("org.example.Gone", ids));
    EXPECT_FALSE(Leftovers::flatpakLeftover(".hidden", ids));
    EXPECT_FALSE(Leftovers::flatpakLeftover("io.github.TidloCleaner", ids));
}

TEST(Leftovers, ScanReportsFlatpakFoldersOfRemovedApplications)
{
    if (access("/usr/bin/flatpak", X_OK) != 0)
        GTEST_SKIP() << "needs flatpak: without it no Flatpak folder is a leftover";
    TestSupport::TestHome home;
    setenv("TID_LANG", "en", 1);
    // No Flatpak application is installed in this home (nor, on a test
    // machine, system-wide), so each application folder is left over.
    home.sizedFile(".var/app/org.example.Gone/data/blob", 3 * kMiB);
    home.sizedFile(".var/app/org.example.Small/data/blob", kMiB / 2);
    home.file(".var/app/org.example.File", "a file");
    // Other Linux folders are never examined.
    home.sizedFile(".config/gone-tool/blob", 3 * kMiB);
    home.sizedFile(".local/share/gone-tool/blob", 3 * kMiB);
    auto listed =
        Shell::runSucceeding("/usr/bin/flatpak", {"list", "--app", "--columns=application"});
    ASSERT_TRUE(listed);
    if (!listed->empty())
        GTEST_SKIP() << "this machine has Flatpak applications installed";

    std::vector<std::string> got;
    for (const auto& item : Scanner::leftoverItems())
        got.push_back(item.name + " | " + item.path.substr(home.path().size()) + " | " + item.note);
    EXPECT_EQ(got, (std::vector<std::string>{
                       "org.example.Gone | /.var/app/org.example.Gone | Location: .var/app"}));
}
