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
        CachePlace place{path, name, Risk::Safe, "", base};
        for (const auto& careful : kCarefulSwept)
            if (linuxFolder && careful.name == name) {
                place.risk = Risk::Care;
                place.note = careful.note;
            }
        out.push_back(std::move(place));
    }
}

// The four cache subfolders of every application folder in folder (Electron
// and Chromium applications keep them there), labelled "<A> · <S>". Only
// those subfolders are candidates, never the application folder itself.
void sweepApplicationCaches(const std::string& folder, const std::string& base,
                            std::vector<CachePlace>& out)
{
    for (const auto& app : sweepNames(folder)) {
        for (auto sub : kSupportSubfolders) {
            std::string path = folder + "/" + app + "/" + std::string(sub);
            if (Files::isFolder(path))
                out.push_back({path, app + " · " + std::string(sub), Risk::Safe, "", base});
        }
    }
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
    }

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
                out.push_back({path, id, Risk::Safe, "", home});
        }
    }

    sweepApplicationCaches(home + "/Library/Application Support", home, out);
    if (Platform::kXdgHome) {
        const std::string configDir = Platform::configDir();
        sweepApplicationCaches(configDir, configDir, out);
        for (const auto& id : flatpaks)
            sweepApplicationCaches(varApp + "/" + id + "/config", home, out);
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
    for (auto& candidate : candidates(Platform::homeDir())) {
        // A candidate that is a link, or lies below one, could lead anywhere
        // (outside the home too): it is neither listed nor measured.
        // A path refused from one base (~/.cache/pip from the home, with
        // ~/.cache a link) may still be found from its own base folder.
        if (!Files::belowWithoutLinks(candidate.base, candidate.path, false) ||
            !seen.insert(candidate.path).second)
            continue;
        found.push_back(std::move(candidate));
    }

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
