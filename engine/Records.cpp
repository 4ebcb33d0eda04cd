// SPDX-License-Identifier: GPL-3.0-or-later
#include "Records.h"

#include "Strings.h"

#include <array>
#include <cstdio>
#include <random>
#include <set>

std::string_view rawValue(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Cache:
        return "cache";
    case ItemKind::Leftover:
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

std::string_view rawValue(DuplicateKind kind)
{
    return kind == DuplicateKind::Content ? "content" : "name";
}

std::optional<ItemKind> itemKindFromRaw(std::string_view raw)
{
    for (ItemKind k : {ItemKind::Cache, ItemKind::Leftover, ItemKind::Large})
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

std::optional<DuplicateKind> duplicateKindFromRaw(std::string_view raw)
{
    for (DuplicateKind k : {DuplicateKind::Content, DuplicateKind::Name})
        if (rawValue(k) == raw)
            return k;
    return std::nullopt;
}

std::string newUuid()
{
    // Every folder of a measured tree gets one, so this is written out by hand,
    // bytes turned into hex digits through a table.
    thread_local std::mt19937_64 rng{std::random_device{}()};
    static constexpr auto kHex = [] {
        std::array<char, 512> table{};
        const char* digits = "0123456789ABCDEF";
        for (int b = 0; b < 256; ++b) {
            table[size_t(2 * b)] = digits[b >> 4];
            table[size_t(2 * b + 1)] = digits[b & 15];
        }
        return table;
    }();
    uint64_t hi = rng();
    uint64_t lo = rng();
    hi = (hi & 0xFFFFFFFFFFFF0FFFULL) | 0x0000000000004000ULL; // version 4
    lo = (lo & 0x3FFFFFFFFFFFFFFFULL) | 0x8000000000000000ULL; // RFC 4122 variant
    std::string out(36, '-');
    // Byte i of the 16 goes to these positions (the hyphens stay).
    static constexpr int kAt[16] = {0, 2, 4, 6, 9, 11, 14, 16, 19, 21, 24, 26, 28, 30, 32, 34};
    for (int i = 0; i < 16; ++i) {
        unsigned byte = unsigned(((i < 8 ? hi : lo) >> (56 - 8 * (i % 8))) & 0xFF);
        out[size_t(kAt[i])] = kHex[2 * byte];
        out[size_t(kAt[i]) + 1] = kHex[2 * byte + 1];
    }
    return out;
}

std::string DuplicateGroup::id() const
{
    return std::string(rawValue(kind)) + "-" + (files.empty() ? newUuid() : files.front());
}

int64_t DuplicateGroup::wasted() const
{
    if (kind != DuplicateKind::Content || files.empty())
        return 0;
    return size * static_cast<int64_t>(files.size() - 1);
}

bool DuplicateGroup::sameName() const
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
