// SPDX-License-Identifier: GPL-3.0-or-later
// Installed applications (bundles in ~/Applications of a fixture home; the
// machine's /Applications is left as it is) and their leftovers.
#include "Apps.h"
#include "Measure.h"
#include "TestHome.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <plist/plist.h>

using TestSupport::TestHome;

namespace {

std::string xmlPlist(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body +
           "\n</plist>\n";
}

std::string binaryPlistWithId(const std::string& id)
{
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "CFBundleIdentifier", plist_new_string(id.c_str()));
    char* data = nullptr;
    uint32_t length = 0;
    plist_to_bin(dict, &data, &length);
    std::string out(data, length);
    std::free(data);
    plist_free(dict);
    return out;
}

} // namespace

TEST(Apps, BundleIdentifierFromEitherEncoding)
{
    EXPECT_EQ(Apps::bundleIdentifier(xmlPlist("<dict><key>CFBundleIdentifier</key>"
                                              "<string>com.example.Foo</string></dict>")),
              "com.example.Foo");
    EXPECT_EQ(Apps::bundleIdentifier(binaryPlistWithId("org.example.bin")), "org.example.bin");
    const std::string bad[] = {
        "",
        "not a plist at all",
        xmlPlist("<dict><key>CFBundleIdentifier</key><string>trunc"),
        xmlPlist("<array><string>com.example.Foo</string></array>"),
        xmlPlist("<dict><key>CFBundleName</key><string>Foo</string></dict>"),
        xmlPlist("<dict><key>CFBundleIdentifier</key><integer>7</integer></dict>"),
    };
    for (const auto& data : bad)
        EXPECT_FALSE(Apps::bundleIdentifier(data)) << data;
}

TEST(Apps, ListsTopLevelBundlesLargestFirst)
{
    TestHome home;
    home.sizedFile("Applications/Big.app/Contents/MacOS/Big", 400 * 1024);
    home.file("Applications/Big.app/Contents/Info.plist", binaryPlistWithId("com.example.big"));
    home.sizedFile("Applications/Small Tool.app/Contents/MacOS/x", 10 * 1024);
    home.file("Applications/Small Tool.app/Contents/Info.plist",
              xmlPlist("<dict><key>CFBundleIdentifier</key><string>com.example.small</string>"
                       "</dict>"));
    home.file("Applications/Broken.app/Contents/Info.plist", "<plist><dict><key>");
    home.dir("Applications/Bare.app"); // no Info.plist at all
    home.dir("Applications/Utilities/Deep.app");
    home.dir("Applications/Shout.APP");
    home.file("Applications/readme.txt", "x");
    auto apps = Scanner::appsList();
    std::vector<AppInfo> mine;
    for (auto& a : apps)
        if (a.path.rfind(home.path(), 0) == 0)
            mine.push_back(a);
    ASSERT_EQ(mine.size(), 4u);
    EXPECT_EQ(mine[0].name, "Big");
    EXPECT_EQ(mine[0].bundleID, "com.example.big");
    EXPECT_EQ(mine[0].size, Scanner::sizeOf(home.at("Applications/Big.app")));
    EXPECT_EQ(mine[1].name, "Small Tool");
    EXPECT_EQ(mine[1].bundleID, "com.example.small");
    EXPECT_EQ(mine[2].name, "Broken");
    EXPECT_EQ(mine[2].bundleID, "");
    EXPECT_GT(mine[2].size, 0);
    EXPECT_EQ(mine[3].name, "Bare");
    EXPECT_EQ(mine[3].bundleID, "");
}

TEST(Apps, LeftoversMatchIdOrNameInAnyCaseOnce)
{
    TestHome home;
    for (const char* rel :
         {"Library/Preferences/com.apple.Safari.plist", "Library/Caches/com.apple.Safari",
          "Library/Application Support/SAFARI Extensions", "Library/Containers/unrelated",
          "Library/WebKit/com.apple.Safari.SafariTechPreview", "Library/Logs/Safari"})
        home.file(rel, "x");
    AppInfo safari{"/Applications/Safari.app", "Safari", 0, "com.apple.Safari"};
    EXPECT_EQ(
        Scanner::leftovers(safari),
        (std::vector<std::string>{home.at("Library/Application Support/SAFARI Extensions"),
                                  home.at("Library/Caches/com.apple.Safari"),
                                  home.at("Library/WebKit/com.apple.Safari.SafariTechPreview"),
                                  home.at("Library/Preferences/com.apple.Safari.plist")}));

    home.file("Library/Application Support/Smart Editor", "x");
    AppInfo art{"/Applications/Art.app", "Art", 0, ""};
    EXPECT_EQ(Scanner::leftovers(art),
              (std::vector<std::string>{home.at("Library/Application Support/Smart Editor")}));
    EXPECT_TRUE(Scanner::leftovers(AppInfo{}).empty());
}
