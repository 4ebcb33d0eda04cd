// SPDX-License-Identifier: GPL-3.0-or-later
// Desktop entries: their folders, ids and [Desktop Entry] groups.
#include "DesktopEntries.h"

#include "Files.h"
#include "Platform.h"
#include "Strings.h"

#include <cstdint>
#include <cstdlib>
#include <sys/stat.h>
#include <unordered_map>

namespace DesktopEntries {
namespace {

constexpr size_t kMaxEntryBytes = 64 * 1024;
constexpr int kFolderDepth = 3;

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The part of a locale name the Desktop Entry lookup uses: "zh_TW.UTF-8@x"
// gives language "zh", country "TW".
std::pair<std::string, std::string> languageAndCountry(std::string_view locale)
{
    locale = locale.substr(0, locale.find_first_of(".@"));
    const size_t bar = locale.find('_');
    if (bar == std::string_view::npos)
        return {std::string(locale), ""};
    return {std::string(locale.substr(0, bar)), std::string(locale.substr(bar + 1))};
}

// The program an Exec's words start, with what it says of a Flatpak or snap.
void readExec(const std::vector<std::string>& words, Entry& entry)
{
    size_t i = 0;
    if (i < words.size() && Strings::lastComponent(words[i]) == "env") {
        ++i;
        while (i < words.size() && (words[i].find('=') != std::string::npos ||
                                    (!words[i].empty() && words[i].front() == '-')))
            ++i;
    }
    if (i >= words.size())
        return;
    entry.program = words[i];
    const std::string base = Strings::lastComponent(words[i]);
    // The first word after "run" that is no option names what runs.
    auto runTarget = [&]() -> std::string {
        if (i + 1 >= words.size() || words[i + 1] != "run")
            return "";
        for (size_t k = i + 2; k < words.size(); ++k)
            if (!words[k].empty() && words[k].front() != '-')
                return words[k];
        return "";
    };
    if (base == "flatpak" && entry.flatpakId.empty())
        entry.flatpakId = runTarget();
    if (entry.snapName.empty()) {
        std::string snap;
        if (entry.program.rfind("/snap/bin/", 0) == 0)
            snap = base;
        else if (base == "snap")
            snap = runTarget();
        entry.snapName = snap.substr(0, snap.find('.'));
    }
}

} // namespace

std::vector<std::string> nameLocales(std::string_view language,
                                     const std::vector<std::string>& preferred)
{
    std::vector<std::string> out;
    if (!preferred.empty()) {
        auto [lang, country] = languageAndCountry(preferred.front());
        if (lang == language) {
            if (!country.empty())
                out.push_back(lang + "_" + country);
            out.push_back(lang);
            return out;
        }
    }
    if (language == "zh")
        return {"zh_CN", "zh"};
    return {std::string(language)};
}

std::string unescapeValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\';
            out += next;
        }
    }
    return out;
}

std::vector<std::string> execWords(std::string_view exec)
{
    std::vector<std::string> out;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size() &&
                       std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
                word += exec[++i];
            } else {
                word += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                out.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted)
        return {};
    if (inWord)
        out.push_back(std::move(word));
    return out;
}

std::optional<Entry> parse(std::string_view text, const std::string& id, const std::string& path,
                           const std::vector<std::string>& locales)
{
    bool inMain = false;
    bool sawMain = false;
    bool application = false;
    bool hidden = false;
    std::vector<std::string> localized(locales.size());
    std::string exec;
    Entry entry;
    entry.id = id;
    entry.path = path;
    for (std::string_view line : Strings::split(text, '\n')) {
        line = Strings::trimBlanks(line);
        if (!line.empty() && line.back() == '\r')
            line = Strings::trimBlanks(line.substr(0, line.size() - 1));
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inMain = line == "[Desktop Entry]";
            sawMain = sawMain || inMain;
            continue;
        }
        const size_t eq = line.find('=');
        if (!inMain || eq == std::string_view::npos)
            continue;
        const std::string_view key = Strings::trimBlanks(line.substr(0, eq));
        const std::string value = unescapeValue(Strings::trimBlanks(line.substr(eq + 1)));
        if (key == "Type")
            application = value == "Application";
        else if (key == "Name")
            entry.plainName = value;
        else if (key == "Hidden" || key == "NoDisplay")
            hidden = hidden || value == "true";
        else if (key == "Icon")
            entry.icon = value;
        else if (key == "StartupWMClass")
            entry.wmClass = value;
        else if (key == "Exec")
            exec = value;
        else if (key == "TryExec")
            entry.tryExec = value;
        else if (key == "X-Flatpak")
            entry.flatpakId = value;
        else if (key == "X-SnapInstanceName")
            entry.snapName = value;
        else if (key.substr(0, 5) == "Name[" && key.back() == ']')
            for (size_t i = 0; i < locales.size(); ++i)
                if (key.substr(5, key.size() - 6) == locales[i])
                    localized[i] = value;
    }
    if (!sawMain)
        return std::nullopt;
    readExec(execWords(exec), entry);
    entry.name = entry.plainName;
    for (const auto& name : localized)
        if (!name.empty()) {
            entry.name = name;
            break;
        }
    entry.shown = application && !hidden && !entry.plainName.empty();
    return entry;
}

std::vector<std::string> applicationFolders()
{
    std::vector<std::string> out{Platform::dataHome() + "/applications"};
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
    for (std::string_view dir : Strings::split(list, ':')) {
        if (dir.front() != '/')
            continue;
        while (dir.size() > 1 && dir.back() == '/')
            dir.remove_suffix(1);
        std::string folder = std::string(dir) + "/applications";
        bool seen = false;
        for (const auto& f : out)
            seen = seen || f == folder;
        if (!seen)
            out.push_back(std::move(folder));
    }
    return out;
}

namespace {

void readFolder(const std::string& folder, const std::string& prefix, int depth,
                const std::vector<std::string>& locales,
                std::unordered_map<std::string, size_t>& ids, std::vector<Entry>& out)
{
    for (const auto& name :
         Platform::listFolderSorted(folder).value_or(std::vector<std::string>{})) {
        if (!Strings::isValidUtf8(name))
            continue;
        const std::string path = folder + "/" + name;
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (depth > 0 && name.front() != '.')
                readFolder(path, prefix + name + "-", depth - 1, locales, ids, out);
            continue;
        }
        if (!endsWith(name, ".desktop") || name.size() == 8)
            continue;
        std::string id = prefix + name.substr(0, name.size() - 8);
        if (auto seen = ids.find(id); seen != ids.end()) {
            if (seen->second < out.size() && out[seen->second].shadowed.empty())
                out[seen->second].shadowed = path;
            continue;
        }
        auto text = Files::read(path, kMaxEntryBytes);
        if (!text)
            continue;
        auto entry = parse(*text, id, path, locales);
        ids.emplace(id, entry ? out.size() : SIZE_MAX);
        if (entry)
            out.push_back(std::move(*entry));
    }
}

} // namespace

std::vector<Entry> readAll(const std::vector<std::string>& folders,
                           const std::vector<std::string>& locales)
{
    std::vector<Entry> out;
    std::unordered_map<std::string, size_t> ids;
    for (const auto& folder : folders)
        readFolder(folder, "", kFolderDepth, locales, ids, out);
    return out;
}

} // namespace DesktopEntries
