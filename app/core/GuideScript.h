// SPDX-License-Identifier: GPL-3.0-or-later
// The content of the two guides: the basic onboarding shown on first use and
// the advanced guide shown from the second day on. Each page names a symbol and
// two catalogue keys; the overlay translates them when it draws.
#pragma once

#include <string>
#include <vector>

struct GuidePage
{
    std::string icon;
    std::string titleKey;
    std::string bodyKey;
};

namespace GuideScript {

// The four onboarding pages, in the order they are shown.
const std::vector<GuidePage>& basic();
// The four pages of the advanced guide, in the order they are shown.
const std::vector<GuidePage>& advanced();

} // namespace GuideScript
