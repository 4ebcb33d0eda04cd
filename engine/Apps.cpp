// SPDX-License-Identifier: GPL-3.0-or-later
#include "Apps.h"

#include "Measure.h"
#include "Platform.h"
#include "Plists.h"
#include "Runner.h"
#include "Strings.h"

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
    if (bundles.empty())
        return {};

    // As one du run over all bundles: a file linked from two bundles counts in
    // the first.
    const auto sizes = Platform::sizesTogether(bundles);

    std::vector<AppInfo> apps;
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

} // namespace Scanner
