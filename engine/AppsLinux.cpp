// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's applications on Linux: desktop entries, Flatpaks, snaps and
// AppImages merged into one application per thing, with their keys and, when
// asked, their sizes and owning Debian packages.
#include "Apps.h"

#include "DesktopEntries.h"
#include "Files.h"
#include "Measure.h"
#include "Platform.h"
#include "Runner.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace Apps {
namespace {

// Programs that start another one: their names say nothing of the application.
bool wrapperProgram(std::string_view base)
{
    constexpr std::string_view kWrappers[] = {"sh",     "bash",    "dash",    "zsh",  "env",
                                              "python", "python3", "perl",    "java", "wine",
                                              "pkexec", "sudo",    "flatpak", "snap"};
    return std::find(std::begin(kWrappers), std::end(kWrappers), base) != std::end(kWrappers);
}

std::string lastDotComponent(const std::string& id)
{
    const size_t dot = id.rfind('.');
    return dot == std::string::npos ? id : id.substr(dot + 1);
}

bool endsWithNoCase(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() &&
           Strings::lowercased(text.substr(text.size() - tail.size())) == tail;
}

void addKey(AppInfo& app, std::string_view raw)
{
    std::string key = normalizedKey(raw);
    // Keys of one or two letters would claim unrelated folders.
    if (Strings::characterCount(key) < 3)
        return;
    if (std::find(app.keys.begin(), app.keys.end(), key) == app.keys.end())
        app.keys.push_back(std::move(key));
}

// The keys an entry gives the application it belongs to.
void addEntryKeys(AppInfo& app, const DesktopEntries::Entry& entry)
{
    addKey(app, entry.id);
    // A reverse-domain id ("org.gnome.Maps") names its data by its last part.
    if (std::count(entry.id.begin(), entry.id.end(), '.') >= 2)
        addKey(app, lastDotComponent(entry.id));
    addKey(app, entry.wmClass);
    const std::string base = Strings::lastComponent(entry.program);
    if (!wrapperProgram(base))
        addKey(app, base);
    addKey(app, entry.plainName);
    addKey(app, entry.name);
}

// Name and icon of an entry for an application that has none yet.
void takeLooks(AppInfo& app, const DesktopEntries::Entry& entry)
{
    if (app.icon.empty())
        app.icon = entry.icon;
    // The first entry names it: until then a Flatpak or snap is called by its
    // id (its bundleID) and an AppImage, which has none yet, by its file.
    if (app.name.empty() || app.bundleID.empty() || app.name == app.bundleID)
        app.name = entry.name;
}

// Whether a TryExec program is there ("" asks for none): an absolute path
// that can be run, or a name on PATH.
bool runnable(const std::string& program)
{
    if (program.empty())
        return true;
    if (program.front() == '/')
        return ::access(program.c_str(), X_OK) == 0;
    return !Shell::onPath(program).empty();
}

struct Listing
{
    std::vector<AppInfo> flatpaks, snaps, appImages, entries;
};

void listFlatpaks(Listing& out, const CancelToken* token)
{
    const std::string tool = Shell::onPath("flatpak");
    if (tool.empty())
        return;
    auto text =
        Shell::runSucceeding(tool, {"list", "--app", "--columns=application,installation"}, token);
    for (const auto& flatpak : Parse::flatpakApps(text.value_or(""))) {
        AppInfo app;
        app.systemWide = flatpak.installation != "user";
        app.path =
            (app.systemWide ? std::string("/var/lib/flatpak") : Platform::dataHome() + "/flatpak") +
            "/app/" + flatpak.id;
        app.name = flatpak.id;
        app.bundleID = flatpak.id;
        app.package = flatpak.id;
        app.source = AppSource::Flatpak;
        addKey(app, flatpak.id);
        addKey(app, lastDotComponent(flatpak.id));
        out.flatpaks.push_back(std::move(app));
    }
}

void listSnaps(Listing& out, const CancelToken* token)
{
    const std::string tool = Shell::onPath("snap");
    if (tool.empty())
        return;
    auto text = Shell::runSucceeding(tool, {"list"}, token);
    for (const auto& snap : Parse::snapApps(text.value_or(""))) {
        AppInfo app;
        app.path = "/snap/" + snap.name + "/" + snap.revision;
        app.name = snap.name;
        app.bundleID = snap.name;
        app.package = snap.name;
        app.source = AppSource::Snap;
        app.systemWide = true;
        addKey(app, snap.name);
        addKey(app, lastDotComponent(snap.name));
        out.snaps.push_back(std::move(app));
    }
}

void listAppImages(Listing& out)
{
    for (const auto& folder : appImageFolders(Platform::homeDir()))
        for (const auto& name :
             Platform::listFolderSorted(folder).value_or(std::vector<std::string>{})) {
            if (!Strings::isValidUtf8(name) || !endsWithNoCase(name, ".appimage") ||
                name.size() == 9)
                continue;
            const std::string path = folder + "/" + name;
            struct stat st;
            if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !(st.st_mode & S_IXUSR))
                continue;
            AppInfo app;
            app.path = path;
            app.name = name.substr(0, name.size() - 9);
            app.source = AppSource::AppImage;
            app.size = st.st_size;
            addKey(app, app.name);
            // "Foo-1.2-x86_64" keeps its data as "Foo": the part before the version.
            addKey(app, app.name.substr(0, app.name.find_first_of("-_ ")));
            out.appImages.push_back(std::move(app));
        }
}

AppInfo* findBy(std::vector<AppInfo>& apps, std::string AppInfo::*field, const std::string& value)
{
    if (value.empty())
        return nullptr;
    for (auto& app : apps)
        if (app.*field == value)
            return &app;
    return nullptr;
}

// The snap a desktop entry of snapd's ("firefox_firefox") belongs to.
AppInfo* snapOfEntry(Listing& listing, const DesktopEntries::Entry& entry)
{
    if (auto* app = findBy(listing.snaps, &AppInfo::bundleID, entry.snapName))
        return app;
    const size_t bar = entry.id.find('_');
    if (bar == std::string::npos)
        return nullptr;
    return findBy(listing.snaps, &AppInfo::bundleID, entry.id.substr(0, bar));
}

// The owning packages and their sizes: one dpkg-query -S over every path, one
// dpkg-query -W over every package found.
void readPackages(std::vector<AppInfo>& entries, const std::vector<std::string>& entryFiles,
                  const std::vector<std::string>& programs, const CancelToken* token)
{
    const std::string dpkg = Shell::onPath("dpkg-query");
    std::vector<std::string> args{"-S"};
    for (size_t i = 0; i < entries.size(); ++i) {
        for (const auto* path : {&entryFiles[i], &programs[i]})
            if (!path->empty() && std::find(args.begin(), args.end(), *path) == args.end())
                args.push_back(*path);
    }
    std::map<std::string, std::string> owners;
    if (!dpkg.empty() && args.size() > 1)
        owners = Parse::dpkgOwners(Shell::run(dpkg, args, token));
    std::set<std::string> packages;
    for (size_t i = 0; i < entries.size(); ++i) {
        auto& app = entries[i];
        // The entry file's owner first: a program such as python3 may be
        // owned by a package that is not the application's.
        std::string owner;
        for (const auto* path : {&entryFiles[i], &programs[i]}) {
            auto it = owners.find(*path);
            if (owner.empty() && it != owners.end())
                owner = it->second;
        }
        if (app.source == AppSource::UserEntry && owner.empty())
            continue;
        app.source = AppSource::Package;
        app.systemWide = true;
        app.package = owner;
        if (!owner.empty())
            packages.insert(owner);
    }
    if (packages.empty())
        return;
    std::vector<std::string> query{"-W", "-f=${Package}\t${Installed-Size}\n"};
    query.insert(query.end(), packages.begin(), packages.end());
    const auto sizes = Parse::dpkgSizes(Shell::run(dpkg, query, token));
    for (auto& app : entries) {
        auto it = sizes.find(app.package);
        if (app.source == AppSource::Package && it != sizes.end())
            app.size = it->second;
    }
}

} // namespace

std::vector<std::string> appImageFolders(const std::string& home)
{
    std::vector<std::string> out{home + "/Applications", home + "/.local/bin"};
    std::string downloads = Platform::userFolder(Platform::UserFolder::Downloads);
    if (!downloads.empty() && std::find(out.begin(), out.end(), downloads) == out.end())
        out.push_back(downloads);
    return out;
}

std::vector<AppInfo> desktopApps(Detail detail, const CancelToken* token)
{
    if constexpr (!Platform::kXdgHome)
        return {};
    Listing listing;
    listFlatpaks(listing, token);
    listSnaps(listing, token);
    listAppImages(listing);

    const auto locales = DesktopEntries::nameLocales(L::lang(), Platform::preferredLanguages());
    auto folders = DesktopEntries::applicationFolders();
    const std::string userFolder = folders.front();
    // Flatpak's exports, where the session's XDG_DATA_DIRS leaves them out.
    for (std::string exports : {Platform::dataHome() + "/flatpak/exports/share/applications",
                                std::string("/var/lib/flatpak/exports/share/applications")})
        if (std::find(folders.begin(), folders.end(), exports) == folders.end())
            folders.push_back(exports);

    std::vector<std::string> entryFiles, programs;
    std::set<std::string> snapsShown;
    for (const auto& entry : DesktopEntries::readAll(folders, locales)) {
        if (!entry.shown || !runnable(entry.tryExec))
            continue;
        AppInfo* owner = nullptr;
        if (!entry.flatpakId.empty()) {
            owner = findBy(listing.flatpaks, &AppInfo::bundleID, entry.flatpakId);
            if (!owner)
                continue; // a Flatpak no longer installed
        } else if (!entry.snapName.empty() ||
                   entry.path.find("/snapd/desktop/") != std::string::npos) {
            owner = snapOfEntry(listing, entry);
            if (!owner)
                continue;
        } else if (!entry.program.empty() && entry.program.front() == '/') {
            owner = findBy(listing.appImages, &AppInfo::path, entry.program);
        }
        if (owner) {
            if (owner->source == AppSource::Snap)
                snapsShown.insert(owner->bundleID);
            takeLooks(*owner, entry);
            if (owner->source == AppSource::AppImage && owner->bundleID.empty())
                owner->bundleID = entry.id;
            addEntryKeys(*owner, entry);
            continue;
        }
        AppInfo app;
        app.path = entry.path;
        app.name = entry.name;
        app.bundleID = entry.id;
        app.icon = entry.icon;
        const bool mine = entry.path.rfind(userFolder + "/", 0) == 0;
        app.source = mine ? AppSource::UserEntry : AppSource::Package;
        app.systemWide = !mine;
        app.size = mine ? Files::ownSize(entry.path) : 0;
        addEntryKeys(app, entry);
        std::string program = entry.program;
        if (detail == Detail::KeysOnly || wrapperProgram(Strings::lastComponent(program)))
            program.clear();
        else if (!program.empty() && program.front() != '/')
            program = Shell::onPath(program);
        entryFiles.push_back(mine ? entry.shadowed : entry.path);
        // A user's launcher of a system program is still the user's own.
        programs.push_back(mine ? "" : program);
        listing.entries.push_back(std::move(app));
    }

    // Snaps that only serve others (themes, runtimes) have neither an entry
    // nor a command.
    std::erase_if(listing.snaps, [&](const AppInfo& app) {
        return !snapsShown.count(app.bundleID) && !Parse::itemExists("/snap/bin/" + app.bundleID);
    });

    if (detail == Detail::Sizes) {
        readPackages(listing.entries, entryFiles, programs, token);
        std::vector<std::string> deployments;
        for (const auto* group : {&listing.flatpaks, &listing.snaps})
            for (const auto& app : *group)
                deployments.push_back(app.path);
        const auto sizes = Scanner::sizesOf(deployments, Scanner::kMeasureWorkers, token);
        size_t i = 0;
        for (auto* group : {&listing.flatpaks, &listing.snaps})
            for (auto& app : *group)
                app.size = sizes[i++];
    }

    std::vector<AppInfo> out;
    for (auto* group : {&listing.flatpaks, &listing.snaps, &listing.appImages, &listing.entries})
        std::move(group->begin(), group->end(), std::back_inserter(out));
    return out;
}

} // namespace Apps
