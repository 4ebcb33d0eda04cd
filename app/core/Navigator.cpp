// SPDX-License-Identifier: GPL-3.0-or-later
#include "Navigator.h"

#include "GuideScript.h"
#include "Navigation.h"
#include "RecordVariants.h"

Navigator::Navigator(QObject* parent) : QObject(parent) {}

GuideStore& Navigator::store() const
{
    return GuideStore::shared();
}

QVariantList Navigator::pages() const
{
    QVariantList out;
    for (Page p : allPages())
        out.push_back(QVariantMap{{"id", qs(rawValue(p))},
                                  {"titleKey", QString::fromStdString(titleKey(p))},
                                  {"icon", qs(iconOf(p))},
                                  {"feature", qs(rawValue(featureOf(p)))}});
    return out;
}

QString Navigator::initialPage() const
{
    return qs(rawValue(::initialPage()));
}

void Navigator::touchPage(const QString& page)
{
    if (auto p = pageFromRaw(page.toStdString()))
        store().touch(featureOf(*p));
}

void Navigator::touchFeature(const QString& feature)
{
    if (auto f = featureFromRaw(feature.toStdString()))
        store().touch(*f);
}

QVariantMap Navigator::evaluateGuide() const
{
    const GuideKind guide = decideGuide(store(), store().now());
    static const char* kinds[] = {"", "basic", "advanced", "returning"};
    QStringList features;
    for (Feature f : guide.features)
        features.push_back(qs(rawValue(f)));
    return {{"kind", QString::fromLatin1(kinds[guide.kind])}, {"features", features}};
}

double Navigator::lastUsed(const QString& feature) const
{
    auto f = featureFromRaw(feature.toStdString());
    if (!f)
        return 0;
    const auto since = store().lastUsed(*f).time_since_epoch();
    return double(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void Navigator::markBasicDone()
{
    store().markBasicDone();
}

void Navigator::markAdvancedDone()
{
    store().markAdvancedDone();
}

void Navigator::markNudged(const QStringList& features)
{
    std::vector<Feature> list;
    for (const QString& raw : features)
        if (auto f = featureFromRaw(raw.toStdString()))
            list.push_back(*f);
    store().markNudged(list);
}

void Navigator::resetGuide()
{
    store().resetGuide();
}

QString Navigator::pageOfFeature(const QString& feature) const
{
    auto f = featureFromRaw(feature.toStdString());
    return f ? qs(pageOf(*f)) : QString();
}

QVariantMap Navigator::feature(const QString& raw) const
{
    auto f = featureFromRaw(raw.toStdString());
    if (!f)
        return {};
    return {{"id", qs(rawValue(*f))},
            {"titleKey", QString::fromStdString(titleKey(*f))},
            {"icon", qs(iconOf(*f))},
            {"page", qs(pageOf(*f))}};
}

QVariantList Navigator::guidePages(const QString& which) const
{
    const auto& pages = which == "advanced" ? GuideScript::advanced() : GuideScript::basic();
    QVariantList out;
    for (const GuidePage& p : pages)
        out.push_back(QVariantMap{{"icon", QString::fromStdString(p.icon)},
                                  {"titleKey", QString::fromStdString(p.titleKey)},
                                  {"bodyKey", QString::fromStdString(p.bodyKey)}});
    return out;
}
