// SPDX-License-Identifier: GPL-3.0-or-later
#include "Navigation.h"

#include <cstdlib>

namespace {

struct PageRow
{
    Page page;
    std::string_view raw;
    std::string_view icon;
    Feature feature;
};

constexpr std::array<PageRow, 8> kRows{{
    {Page::Overview, "overview", "square.grid.2x2", Feature::Overview},
    {Page::Clean, "clean", "sparkles", Feature::Clean},
    {Page::Map, "map", "square.split.2x2", Feature::Map},
    {Page::Files, "files", "doc.on.doc", Feature::Files},
    {Page::Tools, "tools", "wrench.and.screwdriver", Feature::Duplicates},
    {Page::Terminal, "terminal", "terminal", Feature::Cli},
    {Page::History, "history", "clock.arrow.circlepath", Feature::History},
    {Page::About, "about", "info.circle", Feature::Overview},
}};

const PageRow& row(Page page)
{
    return kRows[static_cast<size_t>(page)];
}

std::string_view env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string_view(v) : std::string_view();
}

} // namespace

const std::array<Page, 8>& allPages()
{
    static const std::array<Page, 8> all{Page::Overview, Page::Clean, Page::Map,
                                         Page::Files,    Page::Tools, Page::Terminal,
                                         Page::History,  Page::About};
    return all;
}

std::string_view rawValue(Page page)
{
    return row(page).raw;
}

std::optional<Page> pageFromRaw(std::string_view raw)
{
    for (const PageRow& r : kRows)
        if (r.raw == raw)
            return r.page;
    return std::nullopt;
}

std::string titleKey(Page page)
{
    return "nav." + std::string(row(page).raw);
}

std::string_view iconOf(Page page)
{
    return row(page).icon;
}

Feature featureOf(Page page)
{
    return row(page).feature;
}

Page initialPage()
{
    return pageFromRaw(env("TID_PAGE")).value_or(Page::Overview);
}

GuideKind decideGuide(const GuideStore& store, Clock::time_point now)
{
    if (env("TID_NOGUIDE") == "1")
        return {};
    if (std::getenv("TID_GUIDE")) {
        const std::string_view forced = env("TID_GUIDE");
        if (forced == "basic")
            return {GuideKind::Basic, {}};
        if (forced == "advanced")
            return {GuideKind::Advanced, {}};
        if (forced == "return")
            return {GuideKind::Returning, {Feature::Map, Feature::Duplicates, Feature::Cli}};
    }
    if (!store.basicDone())
        return {GuideKind::Basic, {}};
    if (store.shouldShowAdvanced(now))
        return {GuideKind::Advanced, {}};
    auto dormant = store.dormantFeatures(now);
    if (dormant.empty())
        return {};
    return {GuideKind::Returning, std::move(dormant)};
}
