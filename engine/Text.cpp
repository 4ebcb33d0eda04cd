// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue lookup. On Linux the Linux words (LinuxWords.h) stand in for
// the texts that speak of another system.
#include "Text.h"

#include "LinuxWords.h"
#include "Platform.h"
#include "Preferences.h"
#include "TextTable.h"

#include <cctype>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace L {
namespace {

// Built once, on first lookup, then read-only.
const std::unordered_map<std::string_view, const Entry*>& table()
{
    static std::once_flag once;
    static std::unordered_map<std::string_view, const Entry*> map;
    std::call_once(once, [] {
        map.reserve(kEntryCount);
        for (const Entry& e : entries())
            map.emplace(e.key, &e);
    });
    return map;
}

bool startsWithZh(std::string code)
{
    for (char& c : code)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return code.rfind("zh", 0) == 0;
}

} // namespace

std::string lang()
{
    if (const char* env = std::getenv("TID_LANG"))
        return std::string_view(env) == "zh" ? "zh" : "en";
    if (auto pref = Preferences::string("tc.lang"); pref && *pref != "auto")
        return *pref == "zh" ? "zh" : "en";
    auto langs = Platform::preferredLanguages();
    return !langs.empty() && startsWithZh(langs.front()) ? "zh" : "en";
}

std::string s(std::string_view key)
{
    const auto& map = table();
    auto it = map.find(key);
    if (it == map.end())
        return std::string(key);
    const bool zh = lang() == "zh";
#ifdef __linux__
    if (const LinuxWords::Words* words = LinuxWords::find(key))
        return zh ? words->zh : words->en;
    if (zh)
        return LinuxWords::zhText(it->second->zh);
#endif
    return zh ? it->second->zh : it->second->en;
}

std::string format(std::string_view text, const std::vector<Arg>& args)
{
    std::string out;
    out.reserve(text.size() + 16);
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '%' || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        char conversion = text[i + 1];
        if (conversion == '%') {
            out += '%';
            ++i;
        } else if (conversion == 'd' || conversion == '@') {
            if (next < args.size()) {
                const Arg& a = args[next++];
                if (const auto* n = std::get_if<long long>(&a))
                    out += std::to_string(*n);
                else
                    out += std::get<std::string>(a);
            }
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string f(std::string_view key, const std::vector<Arg>& args)
{
    return format(s(key), args);
}

std::string countKey(std::string_view key, long long count)
{
    if (count == 1) {
        std::string one = std::string(key) + ".one";
        if (table().count(one) > 0)
            return one;
    }
    return std::string(key);
}

std::string fCount(std::string_view key, long long count, const std::vector<Arg>& more)
{
    std::vector<Arg> args;
    args.reserve(more.size() + 1);
    args.emplace_back(count);
    args.insert(args.end(), more.begin(), more.end());
    return f(countKey(key, count), args);
}

std::vector<std::string> keys()
{
    std::vector<std::string> out;
    out.reserve(kEntryCount);
    for (const Entry& e : entries())
        out.emplace_back(e.key);
    return out;
}

} // namespace L

std::string title(ItemKind kind)
{
    return L::s("kind." + std::string(rawValue(kind)));
}

std::string title(Risk risk)
{
    return L::s("risk." + std::string(rawValue(risk)));
}
