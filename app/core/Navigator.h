// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's bridge to its navigation and guide memory: the page table
// for the sidebar, the start-up page and guide decisions, and the feature
// visits the guides remember. Works on GuideStore::shared().
#pragma once

#include "GuideStore.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

class Navigator : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit Navigator(QObject* parent = nullptr);

    // The eight pages in sidebar order: {id, titleKey, icon, feature}.
    Q_INVOKABLE QVariantList pages() const;
    // The page the window opens on (TID_PAGE, else "overview").
    Q_INVOKABLE QString initialPage() const;
    // Records a visit of the page's feature.
    Q_INVOKABLE void touchPage(const QString& page);
    // Records the use of a feature (by raw value).
    Q_INVOKABLE void touchFeature(const QString& feature);
    // The overlay to show now: {kind: "" | "basic" | "advanced" | "returning",
    // features: [raw values]}.
    Q_INVOKABLE QVariantMap evaluateGuide() const;
    // When the feature was last opened, in milliseconds since 1970 (first use
    // when never; 0 for an unknown feature).
    Q_INVOKABLE double lastUsed(const QString& feature) const;
    Q_INVOKABLE void markBasicDone();
    Q_INVOKABLE void markAdvancedDone();
    Q_INVOKABLE void markNudged(const QStringList& features);
    Q_INVOKABLE void resetGuide();
    // The page hosting a feature, "" for an unknown feature.
    Q_INVOKABLE QString pageOfFeature(const QString& feature) const;
    // A feature's {id, titleKey, icon, page}.
    Q_INVOKABLE QVariantMap feature(const QString& raw) const;
    // The guide pages: {icon, titleKey, bodyKey} each.
    Q_INVOKABLE QVariantList guidePages(const QString& which) const;

private:
    GuideStore& store() const;
};
