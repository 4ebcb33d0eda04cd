// SPDX-License-Identifier: GPL-3.0-or-later
// The cache scan: the table of known caches and the sweeps of cache folders.
#include "Caches.h"

#include "Files.h"
#include "Measure.h"
#include "Platform.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>

namespace Scanner {
namespace {

struct CachePlace
{
    std::string path;
    std::string label;
    Risk risk = Risk::Safe;
    std::string note;
    // The folder the candidate was found in (the home or a base folder):
    // nothing between it and the candidate may be a link.
    std::string base;
    // Found by a sweep of a Linux folder: such a folder gives way to a row of
    // a table that lies inside it, whose label and risk say more.
    bool yieldsToTable = false;
    // A row of one of the tables.
    bool tableRow = false;
};

struct KnownCache
{
    std::string_view relativePath;
    std::string_view label;
    Risk risk;
    std::string_view note;
};

// The notes are catalogue keys, read in the language of the moment when the
// items are made.
constexpr std::array<KnownCache, 23> kKnown = {{
    {"/.npm/_cacache", "npm cache", Risk::Care, "note.npmCache"},
    {"/.npm/_npx", "npx temp packages", Risk::Safe, "note.npxTemp"},
    {"/Library/pnpm/store", "pnpm store", Risk::Care, "note.pnpmStore"},
    {"/Library/pnpm/package-manager-store", "pnpm store", Risk::Care, "note.pnpmVersions"},
    {"/.yarn/cache", "yarn cache", Risk::Safe, ""},
    {"/Library/Caches/pip", "pip cache", Risk::Safe, "note.pythonCache"},
    {"/.cache/pip", "pip cache", Risk::Safe, ""},
    {"/Library/Caches/org.swift.swiftpm", "SwiftPM cache", Risk::Safe, ""},
    {"/Library/Caches/Homebrew", "Homebrew cache", Risk::Safe, ""},
    {"/Library/Caches/typescript", "TypeScript", Risk::Safe, ""},
    {"/Library/Caches/node-gyp", "node-gyp", Risk::Safe, ""},
    {"/.gradle/caches", "Gradle cache", Risk::Care, ""},
    {"/.cargo/registry", "Cargo registry", Risk::Care, ""},
    {"/.chromium-browser-snapshots", "Puppeteer Chromium", Risk::Care, "note.automationBrowser"},
    {"/.agent-browser", "Chrome for Testing", Risk::Care, "note.automationBrowser"},
    {"/Library/Caches/ms-playwright", "Playwright browsers", Risk::Care, "note.testBrowser"},
    {"/Library/Developer/Xcode/DerivedData", "Xcode DerivedData", Risk::Safe, "note.buildOutput"},
    {"/Library/Developer/CoreSimulator/Devices", "Simulator devices", Risk::Care,
     "note.simulators"},
    {"/Movies/CapCut/User Data/Cache", "CapCut cache", Risk::Safe, "note.capcut"},
    {"/Library/Caches/com.spotify.client", "Spotify cache", Risk::Care, "note.offlineSongs"},
    {"/Library/Caches/Google/Chrome", "Chrome cache", Risk::Care, "note.browserCache"},
    {"/Library/Caches/Firefox", "Firefox cache", Risk::Care, ""},
    {"/Library/Caches/com.apple.Safari", "Safari cache", Risk::Care, ""},
}};

// The Linux homes of the same tools, below the XDG cache folder (or, for the
// pnpm store, the XDG data folder). Browser profiles (~/.mozilla,
// $XDG_CONFIG_HOME/<browser>) are never candidates: only their caches are.
enum class Base { Cache, Data };

struct XdgCache
{
    Base base;
    std::string_view relativePath;
    std::string_view label;
    Risk risk;
    std::string_view note;
};

constexpr std::array<XdgCache, 15> kXdgKnown = {{
    {Base::Cache, "/pip", "pip cache", Risk::Safe, "note.pythonCache"},
    {Base::Cache, "/yarn", "yarn cache", Risk::Safe, ""},
    {Base::Cache, "/pnpm", "pnpm cache", Risk::Safe, "note.pnpmMeta"},
    {Base::Data, "/pnpm/store", "pnpm store", Risk::Care, "note.pnpmStore"},
    {Base::Cache, "/typescript", "TypeScript", Risk::Safe, ""},
    {Base::Cache, "/node-gyp", "node-gyp", Risk::Safe, ""},
    {Base::Cache, "/ms-playwright", "Playwright browsers", Risk::Care, "note.testBrowser"},
    {Base::Cache, "/puppeteer", "Puppeteer Chromium", Risk::Care, "note.automationBrowser"},
    {Base::Cache, "/go-build", "Go build cache", Risk::Safe, "note.buildOutput"},
    {Base::Cache, "/JetBrains", "JetBrains caches", Risk::Care, "note.jetbrains"},
    {Base::Cache, "/google-chrome", "Chrome cache", Risk::Care, "note.browserCache"},
    {Base::Cache, "/chromium", "Chromium cache", Risk::Care, "note.browserCache"},
    {Base::Cache, "/spotify", "Spotify cache", Risk::Care, "note.offlineSongs"},
    {Base::Cache, "/thumbnails", "Thumbnails", Risk::Safe, "note.thumbnails"},
    {Base::Cache, "/mozilla/firefox", "Firefox cache", Risk::Care, ""},
}};

// Caches a Linux home keeps outside the XDG cache folder: below the home,
// the data folder or the settings folder. Their names are not skipped by the
// sweeps (a "logs" folder of the cache folder is another program's): none
// lies in a swept folder of a home with the usual XDG folders, and a swept
// folder that holds one of them gives way to it.
enum class LinuxBase { Home, Data, Config };

struct LinuxCache
{
    LinuxBase base;
    std::string_view relativePath;
    std::string_view label;
    Risk risk;
    std::string_view note;
};

constexpr std::array<LinuxCache, 10> kLinuxKnown = {{
    {LinuxBase::Home, "/.thumbnails", "Old thumbnails", Risk::Safe, "note.thumbnails"},
    {LinuxBase::Data, "/Steam/steamapps/shadercache", "Steam shader cache", Risk::Safe,
     "note.shaderCache"},
    // Downloaded again by the next build that needs them, which takes time
    // and a network. Go keeps its module files read-only; the folder itself
    // still moves to the Trash in one rename.
    {LinuxBase::Home, "/go/pkg/mod", "Go module cache", Risk::Care, "note.dependencies"},
    {LinuxBase::Home, "/.m2/repository", "Maven repository", Risk::Care, "note.dependencies"},
    // The X session's log; the session keeps writing to the moved file until
    // it ends, and the next one starts a new file.
    {LinuxBase::Home, "/.xsession-errors", "X session log", Risk::Safe, "note.sessionLog"},
    {LinuxBase::Home, "/.xsession-errors.old", "X session log (previous)", Risk::Safe,
     "note.sessionLog"},
    // Editors built on VS Code keep a folder of logs per start beside their
    // settings; only that folder is a candidate.
    {LinuxBase::Config, "/Code/logs", "VS Code logs", Risk::Safe, "note.editorLogs"},
    {LinuxBase::Config, "/Code - OSS/logs", "Code - OSS logs", Risk::Safe, "note.editorLogs"},
    {LinuxBase::Config, "/VSCodium/logs", "VSCodium logs", Risk::Safe, "note.editorLogs"},
    {LinuxBase::Config, "/Cursor/logs", "Cursor logs", Risk::Safe, "note.editorLogs"},
}};

// Chromium-based browsers keep their caches inside each profile of their
// folder in $XDG_CONFIG_HOME (beside $XDG_CACHE_HOME/<browser>, which the
// table holds). Only these subfolders of a profile are candidates, never the
// profile, which holds bookmarks, passwords and history.
struct Browser
{
    std::string_view folder;
    std::string_view label;
};

constexpr std::array<Browser, 5> kBrowsers = {{
    {"google-chrome", "Chrome"},
    {"chromium", "Chromium"},
    {"BraveSoftware/Brave-Browser", "Brave"},
    {"microsoft-edge", "Edge"},
    {"vivaldi", "Vivaldi"},
}};

struct ProfileCache
{
    std::string_view subfolder;
    std::string_view label;
};

constexpr std::array<ProfileCache, 4> kProfileCaches = {{
    {"Cache", "Cache"},
    {"Code Cache", "Code Cache"},
    {"GPUCache", "GPUCache"},
    {"Service Worker/CacheStorage", "Service Worker cache"},
}};

// Folders of $XDG_CACHE_HOME that the sweep finds and that hold more than a
// cache: downloaded models, project environments, downloaded browsers or
// build trees, which cost hours or gigabytes to get back. They are offered
// as careful items, never selected for the user.
struct CarefulName
{
    std::string_view name;
    std::string_view note;
};

constexpr std::array<CarefulName, 10> kCarefulSwept = {{
    {"huggingface", "note.modelsData"},
    {"torch", "note.models"},
    {"whisper", "note.speechModels"},
    {"gpt4all", "note.models"},
    {"lm-studio", "note.models"},
    {"pypoetry", "note.projectEnvs"},
    {"virtualenv", "note.virtualenvSeeds"},
    {"pre-commit", "note.preCommit"},
    {"bazel", "note.bazel"},
    {"Cypress", "note.testBrowser"},
}};

constexpr std::array<std::string_view, 4> kSkippedPrefixes = {"com.apple.", "GeoServices",
                                                              "CloudKit", "FamilyCircle"};

constexpr std::array<std::string_view, 4> kSupportSubfolders = {"Cache", "CachedData", "GPUCache",
                                                                "Code Cache"};

constexpr int64_t kMinSize = 2 * 1024 * 1024;

// Names the generic sweeps of cache folders leave alone: system caches, and
// every name a known location ends in (those are reported from the table;
// the sweeps of Linux folders also know the Linux table).
bool skippedInCaches(std::string_view name, bool linuxFolder)
{
    for (auto prefix : kSkippedPrefixes)
        if (name.substr(0, prefix.size()) == prefix)
            return true;
    for (const auto& known : kKnown)
        if (Strings::lastComponent(known.relativePath) == name)
            return true;
    if (linuxFolder)
        for (const auto& known : kXdgKnown)
            if (Strings::lastComponent(known.relativePath) == name)
                return true;
    return false;
}

// The XDG cache folder's sweep also leaves alone the folders that hold a
// known location deeper down (mozilla holds the Firefox cache, which is a
// care item: the whole folder must not come back as a safe one).
bool holdsKnownXdgCache(std::string_view name)
{
    for (const auto& known : kXdgKnown) {
        auto inner = Strings::split(known.relativePath, '/');
        if (known.base == Base::Cache && inner.size() > 1 && inner.front() == name)
            return true;
    }
    return false;
}

// A folder's entries for a sweep. Names that are not valid UTF-8 are left
// out, as the runner leaves out such lines: they cannot be shown or written
// as JSON, and one of them must not spoil the rest.
std::vector<std::string> sweepNames(const std::string& folder)
{
    auto names = Platform::listFolder(folder).value_or(std::vector<std::string>{});
    std::erase_if(names, [](const std::string& n) { return !Strings::isValidUtf8(n); });
    return names;
}

// The folders directly in folder that the generic sweep takes, labelled by
// their name: safe, except the careful names of a Linux cache folder.
void sweepCaches(const std::string& folder, const std::string& base, bool linuxFolder,
                 std::vector<CachePlace>& out)
{
    const std::string own = Platform::cacheFolder();
    for (const auto& name : sweepNames(folder)) {
        if (skippedInCaches(name, linuxFolder))
            continue;
        std::string path = folder + "/" + name;
        if (path == own || !Files::isFolder(path))
            continue;
        CachePlace place{path, name, Risk::Safe, "", base, linuxFolder};
        for (const auto& careful : kCarefulSwept)
            if (linuxFolder && careful.name == name) {
                place.risk = Risk::Care;
                place.note = careful.note;
            }
        out.push_back(std::move(place));
    }
}

// Whether folder is a browser profile: it holds the profile's own
// Preferences file (lstat: a link does not make one).
bool holdsPreferences(const std::string& folder)
{
    struct stat st = {};
    return ::lstat((folder + "/Preferences").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Whether name, in a browser's folder, is one of its profiles: "Default",
// "Profile <n>", "Guest Profile", "System Profile", or any folder that holds
// a Preferences file (a profile made by a newer browser under another name).
bool isProfile(const std::string& folder, std::string_view name)
{
    constexpr std::string_view numbered = "Profile ";
    if (name == "Default" || name == "Guest Profile" || name == "System Profile")
        return true;
    if (name.starts_with(numbered) && name.size() > numbered.size() &&
        std::all_of(name.begin() + numbered.size(), name.end(),
                    [](char c) { return c >= '0' && c <= '9'; }))
        return true;
    return holdsPreferences(folder + "/" + std::string(name));
}

// The four cache subfolders of every application folder in folder (Electron
// and Chromium applications keep them there), labelled "<A> · <S>". Only
// those subfolders are candidates, never the application folder itself, nor
// one that is a browser profile under a cache's name.
void sweepApplicationCaches(const std::string& folder, const std::string& base, bool linuxFolder,
                            std::vector<CachePlace>& out)
{
    for (const auto& app : sweepNames(folder)) {
        for (auto sub : kSupportSubfolders) {
            std::string path = folder + "/" + app + "/" + std::string(sub);
            if (Files::isFolder(path) && !holdsPreferences(path))
                out.push_back(
                    {path, app + " · " + std::string(sub), Risk::Safe, "", base, linuxFolder});
        }
    }
}

// The caches of every profile of the Chromium-based browsers in the settings
// folder configDir, labelled "<browser> · <profile> · <cache>".
void sweepBrowserProfiles(const std::string& configDir, std::vector<CachePlace>& out)
{
    for (const auto& browser : kBrowsers) {
        const std::string folder = configDir + "/" + std::string(browser.folder);
        for (const auto& profile : sweepNames(folder)) {
            if (!isProfile(folder, profile))
                continue;
            for (const auto& cache : kProfileCaches) {
                std::string path = folder + "/" + profile + "/" + std::string(cache.subfolder);
                if (Files::isFolder(path))
                    out.push_back({path,
                                   std::string(browser.label) + " · " + profile + " · " +
                                       std::string(cache.label),
                                   Risk::Safe, "note.browserCache", configDir});
            }
        }
    }
}

// The cache folder of every snap: ~/snap/<name>/common/.cache, which stays
// from one revision of the snap to the next (~/snap/<name>/current is a link,
// and never followed).
void sweepSnaps(const std::string& home, std::vector<CachePlace>& out)
{
    const std::string snaps = home + "/snap";
    for (const auto& name : sweepNames(snaps)) {
        std::string path = snaps + "/" + name + "/common/.cache";
        if (Files::isFolder(path))
            out.push_back({path, name + " · snap cache", Risk::Safe, "note.snapCache", home});
    }
}

// The Linux table below its base folders.
void linuxKnown(const std::string& home, std::vector<CachePlace>& out)
{
    for (const auto& known : kLinuxKnown) {
        const std::string base = known.base == LinuxBase::Home   ? home
                                 : known.base == LinuxBase::Data ? Platform::dataHome()
                                                                 : Platform::configDir();
        out.push_back({base + std::string(known.relativePath), std::string(known.label), known.risk,
                       std::string(known.note), base});
    }
}

// Whether outer is inner or holds it, comparing whole components.
bool holdsOrIs(std::string_view outer, std::string_view inner)
{
    return inner.starts_with(outer) && (inner.size() == outer.size() || inner[outer.size()] == '/');
}

// The folders no candidate may be or hold: the base folders, whose every
// subfolder would go with them, and the product's own folders. Each lies
// outside the others' candidates in a usual home; an XDG variable may put one
// anywhere the user owns (a cache folder at ~/go/pkg/mod).
std::vector<std::string> keptFolders()
{
    std::vector<std::string> out = {Platform::homeDir(), Platform::supportFolder(),
                                    Platform::cacheFolder()};
    if (Platform::kXdgHome)
        for (auto folder : {Platform::cacheHome(), Platform::dataHome(), Platform::configDir(),
                            Platform::desktopTrash()})
            out.push_back(std::move(folder));
    return out;
}

std::vector<CachePlace> candidates(const std::string& home)
{
    std::vector<CachePlace> out;
    for (const auto& known : kKnown)
        out.push_back({home + std::string(known.relativePath), std::string(known.label), known.risk,
                       std::string(known.note), home});
    const std::string cacheHome = Platform::cacheHome();
    if (Platform::kXdgHome) {
        const std::string dataHome = Platform::dataHome();
        for (const auto& known : kXdgKnown) {
            const std::string& base = known.base == Base::Cache ? cacheHome : dataHome;
            out.push_back({base + std::string(known.relativePath), std::string(known.label),
                           known.risk, std::string(known.note), base});
        }
        linuxKnown(home, out);
    }
    for (auto& row : out)
        row.tableRow = true;

    sweepCaches(home + "/Library/Caches", home, false, out);
    // Flatpak applications: <id>/cache and <id>/config/<A>/... in Flatpak's
    // folder of per-user data (none on macOS).
    const std::string varApp = Platform::flatpakAppsFolder();
    const auto flatpaks = varApp.empty() ? std::vector<std::string>{} : sweepNames(varApp);
    if (Platform::kXdgHome) {
        std::vector<CachePlace> xdg;
        sweepCaches(cacheHome, cacheHome, true, xdg);
        std::erase_if(xdg, [&](const CachePlace& c) { return holdsKnownXdgCache(c.label); });
        out.insert(out.end(), xdg.begin(), xdg.end());
        for (const auto& id : flatpaks) {
            std::string path = varApp + "/" + id + "/cache";
            if (!skippedInCaches(id, true) && Files::isFolder(path))
                out.push_back({path, id, Risk::Safe, "", home, true});
        }
    }

    sweepApplicationCaches(home + "/Library/Application Support", home, false, out);
    if (Platform::kXdgHome) {
        const std::string configDir = Platform::configDir();
        sweepApplicationCaches(configDir, configDir, true, out);
        for (const auto& id : flatpaks)
            sweepApplicationCaches(varApp + "/" + id + "/config", home, true, out);
        sweepBrowserProfiles(configDir, out);
        sweepSnaps(home, out);
    }
    return out;
}

} // namespace

std::vector<ScanItem> cacheItems(const CancelToken* token)
{
    if (token && token->isCancelled())
        return {};
    std::vector<CachePlace> found;
    std::unordered_set<std::string> seen;
    const auto kept = keptFolders();
    for (auto& candidate : candidates(Platform::homeDir())) {
        // A candidate that is a link, or lies below one, could lead anywhere
        // (outside the home too): it is neither listed nor measured.
        // A path refused from one base (~/.cache/pip from the home, with
        // ~/.cache a link) may still be found from its own base folder.
        if (!Files::belowWithoutLinks(candidate.base, candidate.path, false) ||
            std::any_of(kept.begin(), kept.end(),
                        [&](const std::string& k) { return holdsOrIs(candidate.path, k); }) ||
            !seen.insert(candidate.path).second)
            continue;
        found.push_back(std::move(candidate));
    }
    // Each place is listed once: a swept Linux folder that holds a row of a
    // table is left to that row.
    std::vector<std::string> rows;
    for (const auto& candidate : found)
        if (candidate.tableRow)
            rows.push_back(candidate.path);
    std::erase_if(found, [&rows](const CachePlace& c) {
        return c.yieldsToTable && std::any_of(rows.begin(), rows.end(), [&c](const std::string& r) {
                   return holdsOrIs(c.path, r);
               });
    });

    std::vector<std::string> paths;
    paths.reserve(found.size());
    for (const auto& candidate : found)
        paths.push_back(candidate.path);
    return measuredItems(
        paths, kMinSize,
        [&found](size_t i, int64_t size) {
            ScanItem item;
            item.path = found[i].path;
            item.name = found[i].label;
            item.size = size;
            item.kind = ItemKind::Cache;
            item.risk = found[i].risk;
            item.note = found[i].note.empty() ? std::string() : t(found[i].note);
            return item;
        },
        token);
}

} // namespace Scanner
