// SPDX-License-Identifier: GPL-3.0-or-later
// The application's memory of how far the user has come: first use, which guide
// has been finished, when each feature was last opened and last reminded of.
// Everything lives in the per-user preferences store under "tc." keys and is read
// afresh on every call, so the store keeps no cache. The clock is injectable so
// the time rules can be checked without waiting days.
#pragma once

#include "Feature.h"
#include "Records.h"

#include <functional>
#include <vector>

class GuideStore
{
public:
    using Now = std::function<Clock::time_point()>;

    static constexpr auto kDay = std::chrono::seconds(86'400);
    static constexpr auto kTwoWeeks = std::chrono::seconds(1'209'600);

    // The one instance of the running application, created on first use.
    static GuideStore& shared();

    // A store over the preferences of the current HOME/XDG_CONFIG_HOME. Creation
    // writes now() to "tc.firstUse" when that key holds no date yet.
    explicit GuideStore(Now now = &Clock::now);

    // The date at "tc.firstUse", or now() when absent or not a date.
    Clock::time_point firstUse() const;
    bool basicDone() const;
    bool advancedDone() const;
    void markBasicDone();
    void markAdvancedDone();

    // Records now() as the last use of the feature.
    void touch(Feature feature);
    // The last use, or firstUse() when the feature was never recorded.
    Clock::time_point lastUsed(Feature feature) const;

    // True from a full day after first use on, until the advanced guide is done.
    bool shouldShowAdvanced(Clock::time_point now) const;
    bool shouldShowAdvanced() const { return shouldShowAdvanced(m_now()); }

    // Features neither opened nor reminded of for two weeks, in allFeatures()
    // order; always empty before the advanced guide is done.
    std::vector<Feature> dormantFeatures(Clock::time_point now) const;
    std::vector<Feature> dormantFeatures() const { return dormantFeatures(m_now()); }

    // Records now() as the last reminder of each listed feature.
    void markNudged(const std::vector<Feature>& features);

    // Forgets both "done" flags; first use, usage and reminder dates stay.
    void resetGuide();

    Clock::time_point now() const { return m_now(); }

    static constexpr const char* kFirst = "tc.firstUse";
    static constexpr const char* kBasic = "tc.guide.basicDone";
    static constexpr const char* kAdvanced = "tc.guide.advancedDone";

private:
    Now m_now;
};
