// SPDX-License-Identifier: GPL-3.0-or-later
#include "Feature.h"

namespace {

struct FeatureRow
{
    Feature feature;
    std::string_view raw;
    std::string_view page;
    std::string_view icon;
};

constexpr std::array<FeatureRow, 8> kRows{{
    {Feature::Overview, "overview", "overview", "square.grid.2x2"},
    {Feature::Clean, "clean", "clean", "sparkles"},
    {Feature::Map, "map", "map", "square.split.2x2"},
    {Feature::Files, "files", "files", "doc.on.doc"},
    {Feature::Duplicates, "dupes", "tools", "square.on.square"},
    {Feature::Procs, "procs", "tools", "memorychip"},
    {Feature::Cli, "cli", "terminal", "terminal"},
    {Feature::History, "history", "history", "clock.arrow.circlepath"},
}};

const FeatureRow& row(Feature feature)
{
    return kRows[static_cast<size_t>(feature)];
}

} // namespace

const std::array<Feature, 8>& allFeatures()
{
    static const std::array<Feature, 8> all{Feature::Overview, Feature::Clean,      Feature::Map,
                                            Feature::Files,    Feature::Duplicates, Feature::Procs,
                                            Feature::Cli,      Feature::History};
    return all;
}

std::string_view rawValue(Feature feature)
{
    return row(feature).raw;
}

std::optional<Feature> featureFromRaw(std::string_view raw)
{
    for (const FeatureRow& r : kRows)
        if (r.raw == raw)
            return r.feature;
    return std::nullopt;
}

std::string titleKey(Feature feature)
{
    return "feat." + std::string(row(feature).raw);
}

std::string_view pageOf(Feature feature)
{
    return row(feature).page;
}

std::string_view iconOf(Feature feature)
{
    return row(feature).icon;
}
