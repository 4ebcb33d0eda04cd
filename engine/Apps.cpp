// SPDX-License-Identifier: GPL-3.0-or-later
#include "Apps.h"

#include "DesktopEntries.h"
#include "Files.h"
#include "Measure.h"
#include "Platform.h"
#include "Plists.h"
#include "Runner.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace Apps {
namespace {

bool endsWith(const std::string& text, std::string_view tail)
{
    return text.size() >= tail.size() &&
           std::string_view(text).substr(text.size() - tail.size()) == tail;
}

} // namespace

std::vector<std::string> appFolders(const std::string& home)
{
    return {"/Applications", home + "/Applications"};
}

std::vector<std::string> leftoverFolders(const std::string& home)
{
    std::vector<std::string> out;
    for (const char* name : {"Application Support", "Caches", "Containers", "Application Scripts",
                             "HTTPStorages", "Saved Application State", "WebKit", "Preferences"})
        out.push_back(home + "/Library/" + name);
    return out;
}

std::optional<std::string> bundleIdentifier(std::string_view plistData)
{
    plist_t root = Plists::parse(plistData);
    if (!root)
        return std::nullopt;
    std::optional<std::string> out;
    if (plist_get_node_type(root) == PLIST_DICT)
        out = Plists::stringValue(root, "CFBundleIdentifier");
    plist_free(root);
    return out;
}

int matchingKey(const std::string& entry, const std::vector<std::string>& keys)
{
    std::string lower = Strings::lowercased(entry);
    for (size_t i = 0; i < keys.size(); ++i)
        if (!keys[i].empty() && lower.find(Strings::lowercased(keys[i])) != std::string::npos)
            return int(i);
    return -1;
}

Removal removal(const AppInfo& app)
{
    switch (app.source) {
    case AppSource::Bundle:
    case AppSource::AppImage:
    case AppSource::UserEntry:
        return Removal::Trash;
    case AppSource::Flatpak:
        return app.systemWide ? Removal::Command : Removal::FlatpakUser;
    case AppSource::Package:
    case AppSource::Snap:
        break;
    }
    return Removal::Command;
}

namespace {

// A word the shell takes as it is, else the word in single quotes.
std::string shellWord(const std::string& word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '+' || c == '-' || c == '_' || c == ':';
    });
    if (plain && word.front() != '-')
        return word;
    return "'" + Strings::replaceAll(word, "'", "'\\''") + "'";
}

} // namespace

std::string removalCommand(const AppInfo& app)
{
    if (removal(app) != Removal::Command || app.package.empty())
        return "";
    switch (app.source) {
    case AppSource::Package:
        return "sudo apt remove " + shellWord(app.package);
    case AppSource::Flatpak:
        return "flatpak uninstall --system " + shellWord(app.package);
    case AppSource::Snap:
        return "sudo snap remove " + shellWord(app.package);
    default:
        return "";
    }
}

Guarded guarded()
{
    Guarded out;
    const std::string home = Platform::homeDir();
    for (auto base : {home, Platform::configDir(), Platform::dataHome(), Platform::cacheHome(),
                      Platform::flatpakAppsFolder(), home + "/snap"})
        if (!base.empty())
            out.bases.push_back(std::move(base));
    out.own = {Platform::supportFolder(), Platform::cacheFolder(),
               Platform::configDir() + "/TidloCleaner"};
    return out;
}

bool mayBeLeftover(const std::string& path, const Guarded& guarded)
{
    for (const auto& base : guarded.bases)
        if (base == path || base.rfind(path + "/", 0) == 0)
            return false;
    for (const auto& own : guarded.own)
        if (own == path || own.rfind(path + "/", 0) == 0 || path.rfind(own + "/", 0) == 0)
            return false;
    return true;
}

std::string normalizedKey(std::string_view name)
{
    std::string out;
    for (char c : Strings::lowercased(name))
        if (c != '-' && c != '_' && c != '.' && c != ' ' && c != '\t')
            out += c;
    return out;
}

} // namespace Apps

namespace Scanner {

std::vector<AppInfo> appsList()
{
    std::vector<std::string> bundles;
    for (const auto& folder : Apps::appFolders(Platform::homeDir()))
        for (const auto& name :
             Platform::listFolderSorted(folder).value_or(std::vector<std::string>{}))
            if (Apps::endsWith(name, ".app"))
                bundles.push_back(folder + "/" + name);
    std::vector<AppInfo> apps = Apps::desktopApps(Apps::Detail::Sizes);
    if (bundles.empty() && apps.empty())
        return {};

    // As one du run over all bundles: a file linked from two bundles counts in
    // the first.
    const auto sizes =
        bundles.empty() ? std::map<std::string, int64_t>{} : Platform::sizesTogether(bundles);

    for (const auto& path : bundles) {
        AppInfo app;
        app.path = path;
        std::string last = Strings::lastComponent(path);
        app.name = last.substr(0, last.size() - 4);
        if (auto data = Plists::infoPlistBytes(path))
            app.bundleID = Apps::bundleIdentifier(*data).value_or("");
        auto it = sizes.find(path);
        app.size = it != sizes.end() ? it->second : Scanner::sizeOf(path);
        apps.push_back(std::move(app));
    }
    std::stable_sort(apps.begin(), apps.end(),
                     [](const AppInfo& a, const AppInfo& b) { return a.size > b.size; });
    return apps;
}

std::vector<std::string> leftovers(const AppInfo& app)
{
    std::vector<std::string> keys;
    for (const auto& key : {app.bundleID, app.name})
        if (!key.empty())
            keys.push_back(key);
    std::vector<std::string> found;
    for (const auto& folder : Apps::leftoverFolders(Platform::homeDir()))
        for (const auto& name :
             Platform::listFolderSorted(folder).value_or(std::vector<std::string>{}))
            if (Apps::matchingKey(name, keys) >= 0)
                found.push_back(folder + "/" + name);
    return found;
}

std::vector<ScanItem> appLeftovers(const AppInfo& app)
{
    if (app.keys.empty())
        return {};
    const std::string home = Platform::homeDir();
    const std::string bases[] = {Platform::configDir(), Platform::dataHome(), Platform::cacheHome(),
                                 Platform::flatpakAppsFolder(), home + "/snap"};
    const Apps::Guarded kept = Apps::guarded();
    std::vector<std::string> paths;
    std::vector<std::string> places;
    for (const auto& base : bases) {
        if (base.empty())
            continue;
        for (const auto& name :
             Platform::listFolderSorted(base).value_or(std::vector<std::string>{})) {
            if (!Strings::isValidUtf8(name))
                continue;
            const std::string key = Apps::normalizedKey(name);
            if (std::find(app.keys.begin(), app.keys.end(), key) == app.keys.end())
                continue;
            std::string path = base + "/" + name;
            if (!Apps::mayBeLeftover(path, kept) ||
                std::find(paths.begin(), paths.end(), path) != paths.end() ||
                !Files::belowWithoutLinks(base, path))
                continue;
            paths.push_back(std::move(path));
            places.push_back(base.rfind(home + "/", 0) == 0 ? base.substr(home.size() + 1) : base);
        }
    }
    const std::string location = t("common.path") + ": ";
    return measuredItems(
        paths, -1,
        [&](size_t i, int64_t size) {
            ScanItem item;
            item.path = paths[i];
            item.name = Strings::lastComponent(paths[i]);
            item.size = size;
            item.kind = ItemKind::Leftover;
            item.risk = Risk::Care;
            item.note = location + places[i];
            return item;
        },
        nullptr);
}

std::vector<std::string> uninstallPaths(const AppInfo& app)
{
    if (Apps::removal(app) != Apps::Removal::Trash || app.path.empty())
        return {};
    std::vector<std::string> out{app.path};
    if (app.source != AppSource::AppImage)
        return out;
    const std::string folder = Platform::dataHome() + "/applications";
    for (const auto& entry : DesktopEntries::readAll({folder}, {}))
        if (entry.program == app.path && Files::belowWithoutLinks(folder, entry.path, false))
            out.push_back(entry.path);
    return out;
}

bool uninstallFlatpak(const AppInfo& app)
{
    const std::string& id = app.package.empty() ? app.bundleID : app.package;
    if (Apps::removal(app) != Apps::Removal::FlatpakUser || id.empty() || id.front() == '-')
        return false;
    const std::string tool = Shell::onPath("flatpak");
    if (tool.empty())
        return false;
    return Shell::runSucceeding(tool, {"uninstall", "--user", "--noninteractive", id}).has_value();
}

} // namespace Scanner
