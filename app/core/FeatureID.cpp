// SPDX-License-Identifier: GPL-3.0-or-later
#include "FeatureID.h"

namespace {

struct FeatureRow
{
    FeatureID feature;
    std::string_view raw;
    std::string_view page;
    std::string_view icon;
};

constexpr std::array<FeatureRow, 8> kRows{{
    {FeatureID::Overview, "overview", "overview", "square.grid.2x2"},
    {FeatureID::Clean, "clean", "clean", "sparkles"},
    {FeatureID::Map, "map", "map", "square.split.2x2"},
    {FeatureID::Files, "files", "files", "doc.on.doc"},
    {FeatureID::Dupes, "dupes", "tools", "square.on.square"},
    {FeatureID::Procs, "procs", "tools", "memorychip"},
    {FeatureID::Cli, "cli", "terminal", "terminal"},
    {FeatureID::History, "history", "history", "clock.arrow.circlepath"},
}};

const FeatureRow& row(FeatureID feature)
{
    return kRows[static_cast<size_t>(feature)];
}

} // namespace

const std::array<FeatureID, 8>& allFeatures()
{
    static const std::array<FeatureID, 8> all{
        FeatureID::Overview, FeatureID::Clean, FeatureID::Map, FeatureID::Files,
        FeatureID::Dupes,    FeatureID::Procs, FeatureID::Cli, FeatureID::History};
    return all;
}

std::string_view rawValue(FeatureID feature)
{
    return row(feature).raw;
}

std::optional<FeatureID> featureFromRaw(std::string_view raw)
{
    for (const FeatureRow& r : kRows)
        if (r.raw == raw)
            return r.feature;
    return std::nullopt;
}

std::string titleKey(FeatureID feature)
{
    return "feat." + std::string(row(feature).raw);
}

std::string_view pageOf(FeatureID feature)
{
    return row(feature).page;
}

std::string_view iconOf(FeatureID feature)
{
    return row(feature).icon;
}
