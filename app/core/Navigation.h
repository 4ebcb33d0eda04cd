// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's navigation: its eight pages, the page it opens on, and the
// guide overlay it shows at start-up. The start-up decisions read the
// environment overrides (TID_PAGE, TID_NOGUIDE, TID_GUIDE) and the guide memory
// of GuideStore; the window applies the answers.
#pragma once

#include "Feature.h"
#include "GuideStore.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class Page { Overview, Clean, Map, Files, Tools, Terminal, History, About };

// Every page, in sidebar order.
const std::array<Page, 8>& allPages();

std::string_view rawValue(Page page);
std::optional<Page> pageFromRaw(std::string_view raw);
// "nav." + raw value.
std::string titleKey(Page page);
// SF Symbol name of the page's sidebar icon.
std::string_view iconOf(Page page);
// The feature recorded when the page is visited (About counts as Overview).
Feature featureOf(Page page);

// The page named by TID_PAGE when it names one, else Overview.
Page initialPage();

// Which overlay the window shows at start-up.
struct GuideKind
{
    enum Kind { None, Basic, Advanced, Returning };
    Kind kind = None;
    std::vector<Feature> features; // only for Returning

    bool operator==(const GuideKind&) const = default;
};

// TID_NOGUIDE=1 shows nothing; TID_GUIDE ("basic", "advanced", "return") forces
// an overlay; otherwise the basic guide until it is done, then the advanced
// guide from a day after first use, then the reminder of dormant features.
GuideKind decideGuide(const GuideStore& store, Clock::time_point now);
