// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's applications: desktop entries read on their own, the tools'
// answers read from captured text, and a whole fixture desktop (entries,
// stand-in flatpak, snap and dpkg-query, AppImages) listed, removed and
// searched for leftovers.
#include "Apps.h"
#include "DesktopEntries.h"
#include "DesktopHome.h"
#include "Measure.h"
#include "Parsers.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using TestSupport::DesktopHome;

namespace {

std::string fixture(const std::string& name)
{
    std::ifstream in(std::filesystem::path(TIDLO_FIXTURES) / "apps" / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    EXPECT_FALSE(text.empty()) << name;
    if (!text.empty() && text.front() == '#')
        text.erase(0, text.find('\n') + 1);
    return text;
}

std::string entry(const std::string& body)
{
    return "[Desktop Entry]\nType=Application\n" + body + "\n";
}

const AppInfo* byName(const std::vector<AppInfo>& apps, const std::string& name)
{
    for (const auto& app : apps)
        if (app.name == name)
            return &app;
    return nullptr;
}

bool hasKey(const AppInfo& app, const std::string& key)
{
    return std::find(app.keys.begin(), app.keys.end(), key) != app.keys.end();
}

} // namespace

TEST(DesktopEntries, ReadsWhatTheMenusShow)
{
    const std::vector<std::string> zh{"zh_CN", "zh"};
    struct Case
    {
        std::string text;
        bool shown;
        std::string name;
    };
    const Case cases[] = {
        {entry("Name=Maps\nName[zh_CN]=地图\nName[zh]=地图(zh)"), true, "地图"},
        {entry("Name=Maps\nName[zh]=地图"), true, "地图"},
        {entry("Name=Maps\nName[de]=Karten"), true, "Maps"},
        {entry("Name=A\\sB\\\\C"), true, "A B\\C"},
        {entry("Name=Tool\nNoDisplay=true"), false, "Tool"},
        {entry("Name=Tool\nHidden=true"), false, "Tool"},
        {entry("NoName=1"), false, ""},
        {"[Desktop Entry]\nType=Link\nName=Site\n", false, "Site"},
        // Keys of another group never count.
        {entry("Name=Tool") + "[Desktop Action new]\nName=New Window\nNoDisplay=true\n", true,
         "Tool"},
    };
    for (const auto& c : cases) {
        auto parsed = DesktopEntries::parse(c.text, "x", "/x.desktop", zh);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->shown, c.shown) << c.text;
        EXPECT_EQ(parsed->name, c.name) << c.text;
    }
    EXPECT_FALSE(DesktopEntries::parse("Name=Broken\nExec=x\n", "x", "/x", zh));
    EXPECT_FALSE(DesktopEntries::parse("\x01\xff garbage", "x", "/x", zh));

    // The locales follow the language of the moment and the system's own.
    EXPECT_EQ(DesktopEntries::nameLocales("zh", {"zh_TW.UTF-8"}),
              (std::vector<std::string>{"zh_TW", "zh"}));
    EXPECT_EQ(DesktopEntries::nameLocales("zh", {"en_US.UTF-8"}),
              (std::vector<std::string>{"zh_CN", "zh"}));
    EXPECT_EQ(DesktopEntries::nameLocales("en", {"en_GB.UTF-8"}),
              (std::vector<std::string>{"en_GB", "en"}));
    EXPECT_EQ(DesktopEntries::nameLocales("en", {"zh_CN.UTF-8"}), (std::vector<std::string>{"en"}));
}

TEST(DesktopEntries, ExecNamesItsProgramFlatpakOrSnap)
{
    struct Case
    {
        std::string exec;
        std::string program, flatpak, snap;
    };
    const Case cases[] = {
        {"/usr/bin/gimp-2.10 %U", "/usr/bin/gimp-2.10", "", ""},
        {"env GTK_THEME=Adwaita LANG=C code --new-window %F", "code", "", ""},
        {"\"/opt/My App/run\" --x \"a\\\\\\\\b\"", "/opt/My App/run", "", ""},
        {"/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=maps org.gnome.Maps @@u %U "
         "@@",
         "/usr/bin/flatpak", "org.gnome.Maps", ""},
        {"env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/firefox_firefox.desktop "
         "/snap/bin/firefox %u",
         "/snap/bin/firefox", "", "firefox"},
        {"/snap/bin/gimp.tool %f", "/snap/bin/gimp.tool", "", "gimp"},
        {"snap run vlc", "snap", "", "vlc"},
        {"\"unterminated %f", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        auto parsed =
            DesktopEntries::parse(entry("Name=X\nExec=" + c.exec), "x", "/x.desktop", {"en"});
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->program, c.program) << c.exec;
        EXPECT_EQ(parsed->flatpakId, c.flatpak) << c.exec;
        EXPECT_EQ(parsed->snapName, c.snap) << c.exec;
    }
    EXPECT_EQ(DesktopEntries::execWords("a \"b c\" \"d\\\"e\\`f\\$g\" h"),
              (std::vector<std::string>{"a", "b c", "d\"e`f$g", "h"}));
}

TEST(LinuxApps, ReadsTheToolsAnswers)
{
    EXPECT_EQ(Parse::flatpakApps(fixture("flatpak_list.txt")),
              (std::vector<Parse::FlatpakApp>{{"org.gnome.Maps", "system"},
                                              {"com.example.Notes", "user"},
                                              {"org.example.Paint", "extra-disk"}}));
    // On a terminal flatpak prints a header and pads with blanks.
    EXPECT_EQ(Parse::flatpakApps("Application ID       Installation\norg.gnome.Maps       user\n"),
              (std::vector<Parse::FlatpakApp>{{"org.gnome.Maps", "user"}}));
    EXPECT_EQ(Parse::snapApps(fixture("snap_list.txt")),
              (std::vector<Parse::SnapApp>{{"firefox", "3600"}, {"gimp", "393"}, {"vlc", "3721"}}));
    EXPECT_EQ(
        Parse::dpkgOwners(fixture("dpkg_owners.txt")),
        (std::map<std::string, std::string>{{"/usr/share/applications/vim.desktop", "vim-common"},
                                            {"/usr/bin/vim.basic", "vim"},
                                            {"/usr/share/applications", "desktop-file-utils"},
                                            {"/lib/x86_64-linux-gnu/libc.so.6", "libc6"}}));
    EXPECT_TRUE(Parse::dpkgOwners("diversion by linux-perf from: /usr/bin/perf\n").empty());
    EXPECT_EQ(Parse::dpkgSizes(fixture("dpkg_sizes.txt")),
              (std::map<std::string, int64_t>{{"coreutils", 18062 * 1024LL},
                                              {"libc6", 13001 * 1024LL},
                                              {"vim-common", 245 * 1024LL}}));
    const auto installed = Parse::dpkgInstalled(fixture("dpkg_installed.txt"));
    EXPECT_EQ(installed.front(), "adduser");
    EXPECT_EQ(std::count(installed.begin(), installed.end(), "gone-editor"), 0);
}

namespace {

// A desktop with one application of each kind and entries that are not
// applications:
//   Viewer   a package's entry (sys), its program on PATH, owned by viewer-pkg
//   Editor   a package's entry the user overrides (~/.local/share/applications)
//   Notes    a user Flatpak and its exported entry; Maps a system Flatpak without one
//   Firefox  a snap and snapd's entry for it
//   Tool     an AppImage and the entry made for it; Script a launcher of the user's own
struct Fixture
{
    DesktopHome desk;

    Fixture()
    {
        auto& home = desk.home();
        desk.program("viewer");
        home.file("sys/applications/viewer.desktop",
                  entry("Name=Viewer\nName[zh_CN]=看图\nIcon=viewer\nExec=viewer %f"));
        home.file("sys/applications/kde/editor.desktop", entry("Name=Editor\nExec=/usr/bin/ed"));
        home.file(".local/share/applications/kde-editor.desktop",
                  entry("Name=My Editor\nExec=/usr/bin/ed\nStartupWMClass=EdWin"));
        home.file("sys/applications/hidden.desktop", entry("Name=Hidden\nExec=h"));
        home.file(".local/share/applications/hidden.desktop", entry("Name=Hidden\nHidden=true"));
        home.file("sys/applications/settings.desktop", entry("Name=Settings\nNoDisplay=true"));
        home.file("sys/applications/broken.desktop", "Name=Broken\nExec=b\n");
        home.file("sys/applications/absent.desktop",
                  entry("Name=Absent\nTryExec=absent-program\nExec=absent-program"));
        home.file("sys/applications/com.example.Notes.desktop",
                  entry("Name=Notes\nIcon=com.example.Notes\nExec=/usr/bin/flatpak run "
                        "--branch=stable com.example.Notes @@u %U @@"));
        home.file("sys/applications/org.example.Gone.desktop",
                  entry("Name=Gone\nExec=/usr/bin/flatpak run org.example.Gone"));
        home.file("sys/applications/firefox_firefox.desktop",
                  entry("Name=Firefox\nX-SnapInstanceName=firefox\nExec=env "
                        "BAMF_DESKTOP_FILE_HINT=x /snap/bin/firefox %u"));
        home.sizedFile("Applications/Tool-1.2-x86_64.AppImage", 96 * 1024);
        ::chmod(home.at("Applications/Tool-1.2-x86_64.AppImage").c_str(), 0755);
        home.file("Applications/Plain.AppImage", "not executable");
        home.file(".local/share/applications/appimagekit-tool.desktop",
                  entry("Name=Tool\nIcon=/x/tool.png\nExec=" +
                        home.at("Applications/Tool-1.2-x86_64.AppImage")));
        home.file(".local/share/applications/script.desktop",
                  entry("Name=Script\nExec=" + home.at("script.sh")));

        desk.standIn("flatpak", {{"list", "com.example.Notes\tuser\norg.gnome.Maps\tsystem\n"}});
        desk.standIn("snap", {{"list", fixture("snap_list.txt")}});
        desk.standIn("dpkg-query",
                     {{"-S", "viewer-pkg: " + desk.at("sys/applications/viewer.desktop") +
                                 "\ned: " + desk.at("sys/applications/kde/editor.desktop") + "\n"},
                      {"-W", "viewer-pkg\t300\ned\t20\n"}});
    }
};

} // namespace

TEST(LinuxApps, OneApplicationPerThing)
{
    Fixture f;
    const auto apps = Scanner::appsList();
    std::vector<std::string> names;
    for (const auto& app : apps)
        names.push_back(app.name);
    // Largest first: the packages by their Installed-Size, the AppImage by
    // its file; what has no size here (deployments outside the home) last.
    ASSERT_EQ(names, (std::vector<std::string>{"Viewer", "Tool", "My Editor", "Script", "Notes",
                                               "org.gnome.Maps", "Firefox"}));

    const AppInfo& viewer = *byName(apps, "Viewer");
    EXPECT_EQ(viewer.source, AppSource::Package);
    EXPECT_EQ(viewer.package, "viewer-pkg");
    EXPECT_EQ(viewer.size, 300 * 1024);
    EXPECT_EQ(viewer.icon, "viewer");
    EXPECT_TRUE(viewer.systemWide);
    EXPECT_EQ(viewer.path, f.desk.at("sys/applications/viewer.desktop"));

    // The user's own copy of a package's entry still belongs to the package.
    const AppInfo& editor = *byName(apps, "My Editor");
    EXPECT_EQ(editor.source, AppSource::Package);
    EXPECT_EQ(editor.package, "ed");
    EXPECT_EQ(editor.bundleID, "kde-editor");
    EXPECT_TRUE(hasKey(editor, "edwin"));

    const AppInfo& notes = *byName(apps, "Notes");
    EXPECT_EQ(notes.source, AppSource::Flatpak);
    EXPECT_FALSE(notes.systemWide);
    EXPECT_EQ(notes.path, f.desk.at(".local/share/flatpak/app/com.example.Notes"));
    EXPECT_EQ(notes.icon, "com.example.Notes");
    EXPECT_TRUE(hasKey(notes, "comexamplenotes") && hasKey(notes, "notes"));
    EXPECT_TRUE(byName(apps, "org.gnome.Maps")->systemWide);

    const AppInfo& firefox = *byName(apps, "Firefox");
    EXPECT_EQ(firefox.source, AppSource::Snap);
    EXPECT_EQ(firefox.path, "/snap/firefox/3600");

    const AppInfo& tool = *byName(apps, "Tool");
    EXPECT_EQ(tool.source, AppSource::AppImage);
    EXPECT_EQ(tool.path, f.desk.at("Applications/Tool-1.2-x86_64.AppImage"));
    EXPECT_EQ(tool.size, 96 * 1024);
    EXPECT_EQ(tool.icon, "/x/tool.png");
    EXPECT_TRUE(hasKey(tool, "tool"));

    EXPECT_EQ(byName(apps, "Script")->source, AppSource::UserEntry);

    // One run of each tool: dpkg-query asked once for owners, once for sizes.
    const std::string dpkg = f.desk.calls("dpkg-query");
    EXPECT_EQ(dpkg.rfind("-S ", 0), 0u) << dpkg;
    EXPECT_EQ(dpkg.find("\n-S "), std::string::npos) << dpkg;
    EXPECT_TRUE(dpkg.ends_with("\n-W -f=${Package}\t${Installed-Size}\n ed viewer-pkg\n")) << dpkg;
    EXPECT_EQ(f.desk.calls("flatpak"), "list --app --columns=application,installation\n");

    setenv("TID_LANG", "zh", 1);
    EXPECT_TRUE(byName(Scanner::appsList(), "看图"));
}

TEST(LinuxApps, AbsentToolsMeanNoneOfTheirKind)
{
    Fixture f;
    for (const char* tool : {"flatpak", "snap", "dpkg-query"})
        std::filesystem::remove(f.desk.at(std::string("bin/") + tool));
    std::vector<std::string> names;
    for (const auto& app : Scanner::appsList())
        names.push_back(app.name + (app.package.empty() ? "" : " " + app.package));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"My Editor", "Script", "Tool", "Viewer"}));
}

TEST(LinuxApps, RemovalByKind)
{
    struct Case
    {
        AppSource source;
        bool systemWide;
        std::string package;
        Apps::Removal removal;
        std::string command;
    };
    const Case cases[] = {
        {AppSource::AppImage, false, "", Apps::Removal::Trash, ""},
        {AppSource::UserEntry, false, "", Apps::Removal::Trash, ""},
        {AppSource::Bundle, false, "", Apps::Removal::Trash, ""},
        {AppSource::Flatpak, false, "org.a.B", Apps::Removal::FlatpakUser, ""},
        {AppSource::Flatpak, true, "org.a.B", Apps::Removal::Command,
         "flatpak uninstall --system org.a.B"},
        {AppSource::Package, true, "libreoffice-calc", Apps::Removal::Command,
         "sudo apt remove libreoffice-calc"},
        {AppSource::Package, true, "", Apps::Removal::Command, ""},
        {AppSource::Package, true, "x; rm -rf ~", Apps::Removal::Command,
         "sudo apt remove 'x; rm -rf ~'"},
        {AppSource::Snap, true, "firefox", Apps::Removal::Command, "sudo snap remove firefox"},
        {AppSource::Snap, true, "-it's", Apps::Removal::Command, "sudo snap remove '-it'\\''s'"},
    };
    for (const auto& c : cases) {
        AppInfo app;
        app.source = c.source;
        app.systemWide = c.systemWide;
        app.package = c.package;
        EXPECT_EQ(Apps::removal(app), c.removal) << c.package;
        EXPECT_EQ(Apps::removalCommand(app), c.command) << c.package;
    }
}

TEST(LinuxApps, UninstallMovesOnlyWhatIsTheApplicationsOwn)
{
    Fixture f;
    const auto apps = Scanner::appsList();
    EXPECT_EQ(Scanner::uninstallPaths(*byName(apps, "Tool")),
              (std::vector<std::string>{
                  f.desk.at("Applications/Tool-1.2-x86_64.AppImage"),
                  f.desk.at(".local/share/applications/appimagekit-tool.desktop")}));
    EXPECT_EQ(Scanner::uninstallPaths(*byName(apps, "Script")),
              (std::vector<std::string>{f.desk.at(".local/share/applications/script.desktop")}));
    for (const char* other : {"Viewer", "My Editor", "Notes", "Firefox"})
        EXPECT_TRUE(Scanner::uninstallPaths(*byName(apps, other)).empty()) << other;

    // Only a user Flatpak is uninstalled, and exactly so.
    EXPECT_FALSE(Scanner::uninstallFlatpak(*byName(apps, "org.gnome.Maps")));
    EXPECT_FALSE(Scanner::uninstallFlatpak(*byName(apps, "Viewer")));
    EXPECT_TRUE(Scanner::uninstallFlatpak(*byName(apps, "Notes")));
    EXPECT_EQ(f.desk.calls("flatpak"), "list --app --columns=application,installation\n"
                                       "uninstall --user --noninteractive com.example.Notes\n");
    f.desk.standIn("flatpak", {}, 1);
    EXPECT_FALSE(Scanner::uninstallFlatpak(*byName(apps, "Notes")));
}

TEST(LinuxApps, LeftoversAreFoldersNamedByAKey)
{
    DesktopHome desk;
    auto& home = desk.home();
    for (const char* rel :
         {".config/Notes/settings", ".cache/com.example.notes/blob", ".local/share/notes-data/x",
          ".var/app/com.example.Notes/data/x", "snap/notes/common/x", ".config/other/x",
          ".config/TidloCleaner/x", "elsewhere/notes/x"})
        home.file(rel, "data");
    home.file(".local/share/notes", "a file, not a folder");
    std::filesystem::create_directory_symlink(home.at("elsewhere/notes"), home.at(".cache/notes"));
    AppInfo app;
    app.keys = {"notes", "comexamplenotes", "tidlocleaner"};
    std::vector<std::string> got;
    for (const auto& item : Scanner::appLeftovers(app)) {
        got.push_back(item.path.substr(home.path().size() + 1) + " | " + item.note);
        EXPECT_EQ(item.kind, ItemKind::Leftover);
        EXPECT_EQ(item.risk, Risk::Care);
        EXPECT_GT(item.size, 0);
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{".cache/com.example.notes | Location: .cache",
                                             ".config/Notes | Location: .config",
                                             ".var/app/com.example.Notes | Location: .var/app",
                                             "snap/notes | Location: snap"}));

    // A base folder is never one, even when its name is a key.
    setenv("XDG_CACHE_HOME", home.at(".config/Notes").c_str(), 1);
    for (const auto& item : Scanner::appLeftovers(app))
        EXPECT_NE(item.path, home.at(".config/Notes"));
    EXPECT_TRUE(Scanner::appLeftovers(AppInfo{}).empty());
}
