// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuideStore.h"

#include "Preferences.h"

namespace {

std::string useKey(Feature feature)
{
    return "tc.use." + std::string(rawValue(feature));
}

std::string nudgeKey(Feature feature)
{
    return "tc.nudge." + std::string(rawValue(feature));
}

} // namespace

GuideStore& GuideStore::shared()
{
    static GuideStore store;
    return store;
}

GuideStore::GuideStore(Now now) : m_now(std::move(now))
{
    if (!Preferences::date(kFirst))
        Preferences::setDate(kFirst, m_now());
}

Clock::time_point GuideStore::firstUse() const
{
    return Preferences::date(kFirst).value_or(m_now());
}

bool GuideStore::basicDone() const
{
    return Preferences::boolean(kBasic).value_or(false);
}

bool GuideStore::advancedDone() const
{
    return Preferences::boolean(kAdvanced).value_or(false);
}

void GuideStore::markBasicDone()
{
    Preferences::setBoolean(kBasic, true);
}

void GuideStore::markAdvancedDone()
{
    Preferences::setBoolean(kAdvanced, true);
}

void GuideStore::touch(Feature feature)
{
    Preferences::setDate(useKey(feature), m_now());
}

Clock::time_point GuideStore::lastUsed(Feature feature) const
{
    if (auto used = Preferences::date(useKey(feature)))
        return *used;
    return firstUse();
}

bool GuideStore::shouldShowAdvanced(Clock::time_point now) const
{
    if (advancedDone())
        return false;
    return now - firstUse() >= kDay;
}

std::vector<Feature> GuideStore::dormantFeatures(Clock::time_point now) const
{
    std::vector<Feature> out;
    if (!advancedDone())
        return out;
    const auto first = Preferences::date(kFirst);
    for (Feature feature : allFeatures()) {
        const auto last = Preferences::date(useKey(feature)).value_or(first.value_or(now));
        if (now - last < kTwoWeeks)
            continue;
        const auto nudged = Preferences::date(nudgeKey(feature));
        if (!nudged || now - *nudged >= kTwoWeeks)
            out.push_back(feature);
    }
    return out;
}

void GuideStore::markNudged(const std::vector<Feature>& features)
{
    const auto now = m_now();
    for (Feature feature : features)
        Preferences::setDate(nudgeKey(feature), now);
}

void GuideStore::resetGuide()
{
    Preferences::remove(kBasic);
    Preferences::remove(kAdvanced);
}
