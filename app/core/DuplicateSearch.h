// SPDX-License-Identifier: GPL-3.0-or-later
// The Toolbox's duplicate search: the content groups and the name groups,
// the running search's state, and keep-the-first. The model owns it (QML:
// app.duplicates).
#pragma once

#include "DuplicateGroupModel.h"
#include "Runner.h"
#include "Services.h"

#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <memory>

class SystemActivity;

class DuplicateSearch : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the duplicate search")

    Q_PROPERTY(DuplicateGroupModel* content READ content CONSTANT)
    Q_PROPERTY(DuplicateGroupModel* names READ names CONSTANT)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(bool scanned READ scanned NOTIFY scannedChanged)
    // The latest search was cancelled: the lists still show the search before it.
    Q_PROPERTY(bool cancelled READ cancelled NOTIFY cancelledChanged)

public:
    // Searches run through services; each search holds the shared activity slot.
    DuplicateSearch(Services& services, SystemActivity& activity, QObject* parent = nullptr);

    // Starts a search (content groups, then name groups, on the utility
    // queue) unless one is running. A search cancelled earlier may still be
    // finishing: it is superseded and its result is dropped.
    Q_INVOKABLE void load();
    // Cancels the running search: what it finds while it winds down in the
    // background is dropped, and the lists, and whether a search delivered
    // them, stay as they were before it started.
    Q_INVOKABLE void cancel();
    // Moves every file of the group but the first (of the ascending list) into
    // the Trash as one clean-up of the Toolbox's (its history entry and record
    // let the History page put them back), on a worker, and removes the group
    // from both lists at once, with any group that lists exactly the same files.
    Q_INVOKABLE void keepFirst(const QString& groupId);
    // What keepFirst(groupId) would move: every path of the group but the
    // first, as shown (home as "~"); empty for a group no longer listed.
    Q_INVOKABLE QStringList keepFirstMoves(const QString& groupId) const;
    // Tells the running search's finders to stop early (the model's shutdown).
    void stopFinders();

    DuplicateGroupModel* content() { return &m_content; }
    DuplicateGroupModel* names() { return &m_names; }
    bool loading() const { return m_loading; }
    bool scanned() const { return m_scanned; }
    bool cancelled() const { return m_cancelled; }

signals:
    void loadingChanged();
    void scannedChanged();
    void cancelledChanged();

private:
    void setLoading(bool v);
    void setScanned(bool v);
    void setCancelled(bool v);

    Services& m_services;
    SystemActivity& m_activity;
    DuplicateGroupModel m_content;
    DuplicateGroupModel m_names;
    bool m_loading = false;
    bool m_scanned = false;
    bool m_scannedBefore = false; // scanned when the running search began
    bool m_cancelled = false;
    // The running search's token and the number of the latest search (an
    // older one's result is dropped).
    std::shared_ptr<CancelToken> m_token;
    quint64 m_run = 0;
};
