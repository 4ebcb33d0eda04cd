// SPDX-License-Identifier: GPL-3.0-or-later
#include "Parsers.h"

#include "Strings.h"

#include <algorithm>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace Parse {
namespace {

// Lines of text without their line feeds; blank lines dropped.
std::vector<std::string_view> lines(std::string_view text)
{
    return Strings::split(text, '\n');
}

// A number that stays in range once multiplied by scale.
std::optional<int64_t> scaled(std::string_view text, int64_t scale)
{
    auto n = Strings::parseInt(Strings::trimBlanks(text));
    if (!n || scale <= 0)
        return std::nullopt;
    if (*n > INT64_MAX / scale || *n < INT64_MIN / scale)
        return std::nullopt;
    return *n * scale;
}

std::string digitsOf(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c >= '0' && c <= '9')
            out += c;
    return out;
}

} // namespace

std::vector<SizeLine> sizeLines(std::string_view text, int64_t scale,
                                const std::function<bool(const std::string&)>& exists)
{
    std::vector<SizeLine> out;
    bool open = false;   // whether the last record may still continue
    std::string pending; // lines after it that did not start a record
    for (std::string_view line : lines(text)) {
        size_t tab = line.find('\t');
        if (tab != std::string_view::npos && tab > 0) {
            std::string_view rest = line.substr(tab + 1);
            size_t slash = rest.find_first_not_of(" \t");
            auto size = scaled(line.substr(0, tab), scale);
            if (size && slash != std::string_view::npos && rest[slash] == '/') {
                out.push_back({*size, std::string(rest.substr(slash))});
                open = true;
                pending.clear();
                continue;
            }
        }
        // Odd lines are skipped, unless they are the rest of a file name with
        // line feeds in it: then the joined path names an existing item.
        if (!open || !exists)
            continue;
        pending.append("\n").append(line);
        std::string joined = out.back().path + pending;
        if (exists(joined)) {
            out.back().path = std::move(joined);
            pending.clear();
        }
    }
    return out;
}

std::vector<SizeLine> sizeRecords(std::string_view text, int64_t scale)
{
    std::vector<SizeLine> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view record = text.substr(start, end - start);
        start = end + 1;
        size_t tab = record.find('\t');
        if (tab == std::string_view::npos || tab == 0)
            continue;
        std::string_view rest = record.substr(tab + 1);
        auto size = scaled(record.substr(0, tab), scale);
        if (!size || rest.empty() || rest.front() != '/')
            continue;
        out.push_back({*size, std::string(rest)});
    }
    return out;
}

std::vector<SizeLine> toolSizes(std::string_view text, int64_t scale, RecordEnd end)
{
    if (end == RecordEnd::LineFeed)
        return sizeLines(text, scale, itemExists);
    return sizeRecords(text, scale);
}

std::vector<std::string> duArguments(std::vector<std::string> options,
                                     const std::vector<std::string>& paths, RecordEnd end)
{
    if (end == RecordEnd::Nul)
        options.emplace_back("-0");
    options.emplace_back("--");
    options.insert(options.end(), paths.begin(), paths.end());
    return options;
}

namespace {

// Already absolute and free of "." and ".." components and of repeated or
// trailing slashes: what du prints for a standard root.
bool isStandard(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return false;
    if (path.size() == 1)
        return true;
    if (path.back() == '/')
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/')
            continue;
        std::string_view rest = path.substr(i + 1);
        if (rest.empty() || rest.front() == '/' || rest == "." || rest == ".." ||
            rest.substr(0, 2) == "./" || rest.substr(0, 3) == "../")
            return false;
    }
    return true;
}

} // namespace

std::string standardPath(std::string_view path)
{
    if (isStandard(path))
        return std::string(path);
    std::string base;
    if (path.empty() || path.front() != '/') {
        char buf[PATH_MAX];
        if (getcwd(buf, sizeof buf))
            base = buf;
    }
    std::vector<std::string_view> parts;
    auto take = [&parts](std::string_view text) {
        for (std::string_view piece : Strings::split(text, '/')) {
            if (piece == ".")
                continue;
            if (piece == "..") {
                if (!parts.empty())
                    parts.pop_back();
                continue;
            }
            parts.push_back(piece);
        }
    };
    take(base);
    take(path);
    if (parts.empty())
        return "/";
    std::string out;
    for (std::string_view piece : parts) {
        out += '/';
        out += piece;
    }
    return out;
}

std::map<std::string, int64_t> duSizeMap(std::string_view text,
                                         const std::function<bool(const std::string&)>& exists)
{
    std::map<std::string, int64_t> sizes;
    for (auto& line : sizeLines(text, 1024, exists)) {
        if (isStandard(line.path))
            sizes[std::move(line.path)] = line.size;
        else
            sizes[standardPath(line.path)] = line.size;
    }
    return sizes;
}

std::map<std::string, int64_t> duSizeMap(std::vector<SizeLine> records)
{
    std::map<std::string, int64_t> sizes;
    for (auto& line : records) {
        if (isStandard(line.path))
            sizes[std::move(line.path)] = line.size;
        else
            sizes[standardPath(line.path)] = line.size;
    }
    return sizes;
}

std::string extensionOf(std::string_view path)
{
    std::string name = Strings::lastComponent(path);
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return "";
    return name.substr(dot + 1);
}

std::vector<ProcInfo> processLines(std::string_view text, bool shortNames)
{
    std::vector<ProcInfo> out;
    for (std::string_view line : lines(text)) {
        auto pieces = Strings::split(line, ' ');
        if (pieces.size() < 3)
            continue;
        auto pid = Strings::parseInt(pieces[0]);
        auto kib = scaled(pieces[1], 1024);
        if (!pid || !kib || *pid < INT_MIN || *pid > INT_MAX)
            continue;
        ProcInfo p;
        p.pid = static_cast<int>(*pid);
        p.rss = *kib;
        for (size_t i = 2; i < pieces.size(); ++i) {
            if (i > 2)
                p.path += ' ';
            p.path += pieces[i];
        }
        p.name = shortNames ? p.path : Strings::lastComponent(p.path);
        if (p.name.empty())
            p.name = p.path;
        out.push_back(std::move(p));
    }
    return out;
}

std::string fullProgramName(std::string_view comm, std::string_view cmdline,
                            std::string_view exeTarget)
{
    auto extends = [comm](std::string_view name) {
        return name.size() > comm.size() && name.starts_with(comm);
    };
    if (comm.size() != kCommBytes)
        return std::string(comm);
    if (auto argv0 = Strings::lastComponent(cmdline.substr(0, cmdline.find('\0'))); extends(argv0))
        return argv0;
    std::string_view exe = exeTarget;
    if (exe.ends_with(" (deleted)"))
        exe.remove_suffix(10);
    if (auto name = Strings::lastComponent(exe); extends(name))
        return name;
    return std::string(comm);
}

std::vector<ProcInfo> largestProcesses(std::vector<ProcInfo> procs, int limit)
{
    std::stable_sort(procs.begin(), procs.end(),
                     [](const ProcInfo& a, const ProcInfo& b) { return a.rss > b.rss; });
    size_t keep = limit > 0 ? static_cast<size_t>(limit) : 0;
    if (procs.size() > keep)
        procs.resize(keep);
    return procs;
}

int64_t ownRss(std::string_view text)
{
    size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos)
        return 0;
    size_t e = text.find_last_not_of(" \t\r\n");
    return scaled(text.substr(b, e - b + 1), 1024).value_or(0);
}

int64_t vmStatFree(std::string_view text)
{
    int64_t pageSize = 4096;
    constexpr std::string_view phrase = "page size of ";
    size_t at = text.find(phrase);
    if (at != std::string_view::npos) {
        size_t from = at + phrase.size();
        size_t to = from;
        while (to < text.size() && text[to] >= '0' && text[to] <= '9')
            ++to;
        auto n = Strings::parseInt(text.substr(from, to - from));
        if (n && *n > 0)
            pageSize = *n;
    }
    auto pages = [&](std::string_view key) -> int64_t {
        for (std::string_view line : lines(text)) {
            if (line.find(key) == std::string_view::npos)
                continue;
            if (auto bytes = scaled(digitsOf(line), pageSize))
                return *bytes;
        }
        return 0;
    };
    int64_t sum = 0;
    for (std::string_view key : {"Pages free", "Pages inactive", "Pages speculative"}) {
        int64_t v = pages(key);
        sum = v > INT64_MAX - sum ? INT64_MAX : sum + v;
    }
    return sum;
}

std::optional<int64_t> meminfoAvailable(std::string_view text)
{
    for (std::string_view line : lines(text)) {
        constexpr std::string_view key = "MemAvailable:";
        if (line.substr(0, key.size()) != key)
            continue;
        auto pieces = Strings::split(line.substr(key.size()), ' ');
        if (pieces.empty())
            return std::nullopt;
        return scaled(pieces.front(), 1024);
    }
    return std::nullopt;
}

std::vector<std::string> snapshotLines(std::string_view text)
{
    std::vector<std::string> out;
    for (std::string_view line : lines(text)) {
        std::string_view trimmed = Strings::trimBlanks(line);
        if (trimmed.find("com.apple.TimeMachine") != std::string_view::npos)
            out.emplace_back(trimmed);
    }
    return out;
}

DesktopEntry desktopEntry(std::string_view text)
{
    DesktopEntry out;
    bool inMain = false;
    for (std::string_view line : lines(text)) {
        line = Strings::trimBlanks(line);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inMain = line == "[Desktop Entry]";
            continue;
        }
        const size_t eq = line.find('=');
        if (!inMain || eq == std::string_view::npos)
            continue;
        const std::string_view key = Strings::trimBlanks(line.substr(0, eq));
        const std::string_view value = Strings::trimBlanks(line.substr(eq + 1));
        if (key == "Name")
            out.name = std::string(value);
        else if (key == "Hidden")
            out.hidden = value == "true";
        else if (key == "X-GNOME-Autostart-enabled")
            out.disabled = value == "false";
    }
    return out;
}

std::vector<std::string> enabledUnits(std::string_view text)
{
    std::vector<std::string> out;
    for (std::string_view line : lines(text)) {
        std::vector<std::string_view> words;
        for (std::string_view word : Strings::split(line, ' '))
            if (!Strings::trimBlanks(word).empty())
                words.push_back(Strings::trimBlanks(word));
        if (words.size() >= 2 && words[1] == "enabled")
            out.emplace_back(words[0]);
    }
    return out;
}

namespace {

std::string elementText(std::string_view xml, std::string_view tag)
{
    const std::string open = "<" + std::string(tag) + ">";
    const std::string close = "</" + std::string(tag) + ">";
    const size_t start = xml.find(open);
    if (start == std::string_view::npos)
        return "";
    const size_t from = start + open.size();
    const size_t end = xml.find(close, from);
    if (end == std::string_view::npos)
        return "";
    std::string raw(Strings::trimBlanks(xml.substr(from, end - from)));
    static const std::pair<std::string_view, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        bool replaced = false;
        if (raw[i] == '&') {
            for (const auto& [entity, c] : kEntities)
                if (std::string_view(raw).substr(i).starts_with(entity)) {
                    out += c;
                    i += entity.size() - 1;
                    replaced = true;
                    break;
                }
        }
        if (!replaced)
            out += raw[i];
    }
    return out;
}

} // namespace

std::pair<std::string, std::string> snapperInfo(std::string_view xml)
{
    return {elementText(xml, "date"), elementText(xml, "description")};
}

std::vector<std::pair<std::string, std::string>> btrfsSnapshots(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (std::string_view line : lines(text)) {
        const size_t otime = line.find(" otime ");
        const size_t path = line.find(" path ");
        if (otime == std::string_view::npos || path == std::string_view::npos || path < otime)
            continue;
        std::string_view when = Strings::trimBlanks(line.substr(otime + 7, path - otime - 7));
        std::string_view where = line.substr(path + 6);
        if (when.empty() || where.empty())
            continue;
        out.emplace_back(std::string(when), std::string(where));
    }
    return out;
}

bool itemExists(const std::string& path)
{
    struct stat st = {};
    return ::lstat(path.c_str(), &st) == 0;
}

namespace {

// The words of a line split at blanks and tabs.
std::vector<std::string_view> words(std::string_view line)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

} // namespace

std::vector<FlatpakApp> flatpakApps(std::string_view text)
{
    std::vector<FlatpakApp> out;
    for (std::string_view line : lines(text)) {
        const auto parts = words(line);
        if (parts.size() < 2 || parts[0] == "Application")
            continue;
        // The installation's name is the last column; an id holds no blank.
        FlatpakApp app{std::string(parts[0]), std::string(parts.back())};
        if (std::none_of(out.begin(), out.end(),
                         [&](const FlatpakApp& seen) { return seen.id == app.id; }))
            out.push_back(std::move(app));
    }
    return out;
}

std::vector<SnapApp> snapApps(std::string_view text)
{
    std::vector<SnapApp> out;
    for (std::string_view line : lines(text)) {
        const auto parts = words(line);
        if (parts.size() < 3 || parts[0] == "Name" || !Strings::parseInt(parts[2]))
            continue;
        bool system = false;
        if (parts.size() >= 6)
            for (std::string_view note : Strings::split(parts[5], ','))
                system = system || note == "base" || note == "core" || note == "snapd" ||
                         note == "kernel" || note == "gadget";
        if (!system)
            out.push_back({std::string(parts[0]), std::string(parts[2])});
    }
    return out;
}

std::map<std::string, std::string> dpkgOwners(std::string_view text)
{
    std::map<std::string, std::string> out;
    for (std::string_view line : lines(text)) {
        const size_t sep = line.find(": /");
        if (sep == std::string_view::npos || line.rfind("diversion by ", 0) == 0)
            continue;
        std::string_view first = Strings::trimBlanks(line.substr(0, line.find(',')));
        if (first.size() > sep)
            first = line.substr(0, sep);
        first = first.substr(0, first.find(':'));
        if (!first.empty())
            out.emplace(std::string(line.substr(sep + 2)), std::string(first));
    }
    return out;
}

std::map<std::string, int64_t> dpkgSizes(std::string_view text)
{
    std::map<std::string, int64_t> out;
    for (std::string_view line : lines(text)) {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        auto name = Strings::trimBlanks(line.substr(0, tab));
        auto size = scaled(line.substr(tab + 1), 1024);
        if (!name.empty() && size && *size >= 0)
            out[std::string(name.substr(0, name.find(':')))] = *size;
    }
    return out;
}

std::vector<std::string> dpkgInstalled(std::string_view text)
{
    std::vector<std::string> out;
    for (std::string_view line : lines(text)) {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos ||
            Strings::trimBlanks(line.substr(0, tab)) != "installed")
            continue;
        auto name = Strings::trimBlanks(line.substr(tab + 1));
        if (!name.empty())
            out.emplace_back(name.substr(0, name.find(':')));
    }
    return out;
}

} // namespace Parse
