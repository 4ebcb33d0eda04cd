// SPDX-License-Identifier: GPL-3.0-or-later
// The leftover scan: installed applications first (two folder levels of every
// application folder, one Info.plist read per bundle), then every entry of
// eight ~/Library folders that no installed application claims, and on Linux
// every ~/.var/app/<id> of a Flatpak application no longer installed, each
// measured on its own and kept above 1 MiB, largest first.
#include "Leftovers.h"

#include "Files.h"
#include "Measure.h"
#include "Platform.h"
#include "Plists.h"
#include "Runner.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace Leftovers {
namespace {

constexpr std::array<std::string_view, 12> kSystemNames = {"Animoji",
                                                           "PassKit",
                                                           "SharedImageCache",
                                                           "mbuseragent",
                                                           "networkserviceproxy",
                                                           "familycircled",
                                                           "GeoServices",
                                                           "Biome",
                                                           "DiagnosticReports",
                                                           "Metadata",
                                                           "CloudKit",
                                                           "iOS DeviceSupport"};

constexpr std::array<std::string_view, 9> kVendorPrefixes = {
    "com.apple.", "group.com.apple", "CloudDocs", "MobileSync",    "Adobe",
    "Microsoft",  "com.google.",     "Google",    "com.microsoft."};

constexpr std::array<std::string_view, 4> kOwnWords = {"tidlo", "vemo", "mituan", "kvq"};

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

std::optional<BundleInfo> readInfoPlist(std::string_view bytes)
{
    plist_t root = Plists::parse(bytes);
    if (!root)
        return std::nullopt;
    std::optional<BundleInfo> info;
    if (plist_get_node_type(root) == PLIST_DICT) {
        info.emplace();
        info->identifier = Plists::stringValue(root, "CFBundleIdentifier");
        if (info->identifier && info->identifier->empty())
            info->identifier.reset();
        info->displayName = Plists::stringValue(root, "CFBundleDisplayName");
    }
    plist_free(root);
    return info;
}

void addBundle(const std::string& bundleName, const std::optional<BundleInfo>& info,
               Installed& installed)
{
    installed.names.insert(Strings::lowercased(Strings::replaceAll(bundleName, ".app", "")));
    if (!info)
        return;
    if (info->identifier)
        installed.identifiers.insert(Strings::lowercased(*info->identifier));
    if (info->displayName)
        installed.names.insert(Strings::lowercased(*info->displayName));
}

bool skippedEntry(std::string_view name)
{
    if (startsWith(name, "."))
        return true;
    for (auto system : kSystemNames)
        if (name == system)
            return true;
    for (auto prefix : kVendorPrefixes)
        if (startsWith(name, prefix))
            return true;
    std::string lower = Strings::lowercased(name);
    for (auto word : kOwnWords)
        if (lower.find(word) != std::string::npos)
            return true;
    return false;
}

std::string entryKey(std::string_view name)
{
    std::string key = Strings::lowercased(name);
    constexpr std::string_view suffix = ".plist";
    if (key.size() >= suffix.size() &&
        key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0)
        key.resize(key.size() - suffix.size());
    return key;
}

bool belongsToInstalled(const std::string& key, const Installed& installed)
{
    if (installed.identifiers.count(key) || installed.names.count(key))
        return true;
    for (const auto& id : installed.identifiers)
        if (key.find(id) != std::string::npos)
            return true;
    for (const auto& name : installed.names) {
        if (Strings::characterCount(name) < 3)
            continue;
        if (key.find(name) != std::string::npos || name.find(key) != std::string::npos)
            return true;
    }
    return false;
}

std::unordered_set<std::string> flatpakIds(std::string_view output)
{
    std::unordered_set<std::string> ids;
    for (std::string_view line : Strings::split(output, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Strings::trimBlanks(line);
        if (!line.empty())
            ids.emplace(line);
    }
    return ids;
}

bool productOwn(std::string_view name)
{
    std::string lower = Strings::lowercased(name);
    for (auto word : kOwnWords)
        if (lower.find(word) != std::string::npos)
            return true;
    return false;
}

bool flatpakLeftover(std::string_view name, const std::unordered_set<std::string>& installedIds)
{
    return !name.empty() && name.front() != '.' && !installedIds.count(std::string(name)) &&
           !productOwn(name);
}

} // namespace Leftovers

namespace Scanner {
namespace {

using Leftovers::Installed;

// The folders the leftover scan examines. Apps::leftoverFolders, what one
// application left, differs on purpose: Preferences instead of Logs, and
// HTTPStorages before Saved Application State.
constexpr std::array<std::string_view, 8> kLibraryFolders = {
    "Application Support",     "Caches",       "Containers", "Application Scripts",
    "Saved Application State", "HTTPStorages", "WebKit",     "Logs"};

constexpr int64_t kMinSize = 1024 * 1024;

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void addBundleAt(const std::string& bundle, Installed& installed)
{
    std::optional<Leftovers::BundleInfo> info;
    if (auto bytes = Plists::infoPlistBytes(bundle))
        info = Leftovers::readInfoPlist(*bytes);
    Leftovers::addBundle(Strings::lastComponent(bundle), info, installed);
}

Installed installedApplications(const std::string& home)
{
    Installed installed;
    const std::string folders[] = {"/Applications", home + "/Applications", "/System/Applications",
                                   "/System/Applications/Utilities", "/Applications/Utilities"};
    for (const auto& folder : folders) {
        auto entries = Platform::listFolder(folder);
        if (!entries)
            continue;
        for (const auto& entry : *entries) {
            std::string path = folder + "/" + entry;
            if (endsWith(entry, ".app")) {
                addBundleAt(path, installed);
                continue;
            }
            auto inner = Platform::listFolder(path);
            if (!inner)
                continue;
            for (const auto& sub : *inner)
                if (endsWith(sub, ".app"))
                    addBundleAt(path + "/" + sub, installed);
        }
    }
    return installed;
}

struct Candidate
{
    std::string path;
    std::string name;
    std::string folder; // below the home folder, for the note
};

constexpr std::string_view kFlatpakFolder = ".var/app";

} // namespace

std::vector<ScanItem> leftoverItems(const CancelToken* token)
{
    if (token && token->isCancelled())
        return {};
    const std::string home = Platform::homeDir();
    const Installed installed = installedApplications(home);

    std::vector<Candidate> candidates;
    for (auto folder : kLibraryFolders) {
        std::string dir = home + "/Library/" + std::string(folder);
        auto entries = Platform::listFolder(dir);
        if (!entries)
            continue;
        for (const auto& name : *entries) {
            // A name that is not UTF-8 cannot be shown; like the runner's
            // dropped lines it is left out rather than spoil the scan.
            if (!Strings::isValidUtf8(name) || Leftovers::skippedEntry(name))
                continue;
            if (Leftovers::belongsToInstalled(Leftovers::entryKey(name), installed))
                continue;
            std::string path = dir + "/" + name;
            if (!Files::belowWithoutLinks(home, path))
                continue;
            candidates.push_back({path, name, "Library/" + std::string(folder)});
        }
    }

    // Flatpak keeps each application's data in ~/.var/app/<id>. Only a
    // list that Flatpak really gave counts: without it (no flatpak, or a
    // failed run) every such folder would look left over.
    // Flatpak is asked only when there is a folder to judge: starting it
    // costs a good part of a second.
    const std::string varApp = Platform::flatpakAppsFolder();
    const auto appFolders = Platform::listFolder(varApp); // none where "" (macOS)
    if (appFolders && !appFolders->empty()) {
        const std::string flatpak = Shell::onPath("flatpak");
        auto listed =
            flatpak.empty()
                ? std::nullopt
                : Shell::runSucceeding(flatpak, {"list", "--app", "--columns=application"}, token);
        const auto ids = Leftovers::flatpakIds(listed.value_or(""));
        for (const auto& name : listed ? *appFolders : std::vector<std::string>{}) {
            if (!Strings::isValidUtf8(name) || !Leftovers::flatpakLeftover(name, ids))
                continue;
            std::string path = varApp + "/" + name;
            // Neither the leftover nor a folder above it may be a link,
            // which could lead outside the home.
            if (Files::belowWithoutLinks(home, path))
                candidates.push_back({path, name, std::string(kFlatpakFolder)});
        }
    }

    std::vector<std::string> paths;
    paths.reserve(candidates.size());
    for (const auto& c : candidates)
        paths.push_back(c.path);
    const std::string location = t("common.path") + ": ";
    auto items = measuredItems(
        paths, kMinSize,
        [&](size_t i, int64_t size) {
            ScanItem item;
            item.path = candidates[i].path;
            item.name = candidates[i].name;
            item.size = size;
            item.kind = ItemKind::Leftover;
            item.risk = Risk::Data;
            item.note = location + candidates[i].folder;
            return item;
        },
        token);
    if (token && token->isCancelled())
        return {};
    auto unclaimed = Leftovers::unclaimedFolders(token);
    if (token && token->isCancelled())
        return {};
    std::move(unclaimed.begin(), unclaimed.end(), std::back_inserter(items));
    std::stable_sort(items.begin(), items.end(),
                     [](const ScanItem& a, const ScanItem& b) { return a.size > b.size; });
    return items;
}

} // namespace Scanner
