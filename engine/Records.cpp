#include "Records.h"

#include "Strings.h"
#include "Text.h"

#include <cstdio>
#include <random>
#include <set>

std::string_view rawValue(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Cache:
        return "cache";
    case ItemKind::Orphan:
        return "orphan";
    case ItemKind::Large:
        return "large";
    }
    return "cache";
}

std::string_view rawValue(Risk risk)
{
    switch (risk) {
    case Risk::Safe:
        return "safe";
    case Risk::Care:
        return "care";
    case Risk::Data:
        return "data";
    }
    return "safe";
}

std::string_view rawValue(DupKind kind)
{
    return kind == DupKind::Content ? "content" : "name";
}

std::optional<ItemKind> itemKindFromRaw(std::string_view raw)
{
    for (ItemKind k : {ItemKind::Cache, ItemKind::Orphan, ItemKind::Large})
        if (rawValue(k) == raw)
            return k;
    return std::nullopt;
}

std::optional<Risk> riskFromRaw(std::string_view raw)
{
    for (Risk r : {Risk::Safe, Risk::Care, Risk::Data})
        if (rawValue(r) == raw)
            return r;
    return std::nullopt;
}

std::optional<DupKind> dupKindFromRaw(std::string_view raw)
{
    for (DupKind k : {DupKind::Content, DupKind::Name})
        if (rawValue(k) == raw)
            return k;
    return std::nullopt;
}

std::string title(ItemKind kind)
{
    return L::s("kind." + std::string(rawValue(kind)));
}

std::string title(Risk risk)
{
    return L::s("risk." + std::string(rawValue(risk)));
}

std::string newUuid()
{
    // Every folder of a measured tree gets one, so this is written out by hand
    // rather than through printf.
    thread_local std::mt19937_64 rng{std::random_device{}()};
    uint64_t hi = rng();
    uint64_t lo = rng();
    hi = (hi & 0xFFFFFFFFFFFF0FFFULL) | 0x0000000000004000ULL; // version 4
    lo = (lo & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL; // RFC 4122 variant
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out(36, '-');
    int pos = 0;
    for (int nibble = 0; nibble < 32; ++nibble) {
        if (pos == 8 || pos == 13 || pos == 18 || pos == 23)
            ++pos;
        uint64_t word = nibble < 16 ? hi : lo;
        out[pos++] = hex[(word >> (60 - 4 * (nibble % 16))) & 0xF];
    }
    return out;
}

std::string DupGroup::id() const
{
    return std::string(rawValue(kind)) + "-" + (files.empty() ? newUuid() : files.front());
}

int64_t DupGroup::wasted() const
{
    if (kind != DupKind::Content || files.empty())
        return 0;
    return size * static_cast<int64_t>(files.size() - 1);
}

bool DupGroup::sameName() const
{
    std::set<std::string> names;
    for (const auto& f : files) {
        auto slash = f.find_last_of('/');
        names.insert(Strings::lowercased(slash == std::string::npos ? f : f.substr(slash + 1)));
    }
    return names.size() == 1;
}

std::string humanSize(int64_t bytes)
{
    static const char* units[] = {"B", "KB", "MB", "GB", "TB"};
    char buf[64];
    if (bytes < 1024) {
        std::snprintf(buf, sizeof buf, "%.0f %s", static_cast<double>(bytes), units[0]);
        return buf;
    }
    double value = static_cast<double>(bytes) / 1024.0;
    int unit = 1;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    std::snprintf(buf, sizeof buf, value < 100.0 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return buf;
}
