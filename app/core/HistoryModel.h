// SPDX-License-Identifier: GPL-3.0-or-later
// The clean-ups of the history as a list model for the History page, newest
// first, with the two totals, the items of the line the user opened
// (CleanupItemModel) and putting them back.
//
// Every disk access runs on a worker through the engine calls (Services): the
// records are read afresh each time the page comes on screen and after every
// put-back, and, while the page is on screen (watching), whenever the data
// folder changes (a clean-up from tclean or another window), a moment after
// the last change. A read answered after a newer one started is dropped.
#pragma once

#include "CleanupItemModel.h"
#include "Cleanups.h"
#include "Services.h"

#include <QAbstractListModel>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <string>
#include <vector>

class HistoryModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the history")

    Q_PROPERTY(int count READ count NOTIFY entriesChanged)
    Q_PROPERTY(qint64 totalFreed READ totalFreed NOTIFY entriesChanged)
    Q_PROPERTY(QString totalFreedText READ totalFreedText NOTIFY entriesChanged)
    // The row whose items are shown, -1 when none is open.
    Q_PROPERTY(int openRow READ openRow NOTIFY openRowChanged)
    Q_PROPERTY(CleanupItemModel* openItems READ openItems CONSTANT)
    // A put-back is under way, until the records are read again after it.
    Q_PROPERTY(bool puttingBack READ puttingBack NOTIFY puttingBackChanged)
    // The page is on screen: changes of the data folder are read at once.
    Q_PROPERTY(bool watching READ watching WRITE setWatching NOTIFY watchingChanged)

public:
    enum class Role {
        DateText = Qt::UserRole + 1,
        Items,
        Freed,
        FreedText,
        // The catalogue key of who made the clean-up ("" without a manifest).
        SourceKey,
        // Its record of items was read whole.
        Complete,
        // How many items its record lists.
        Listed,
        // How many of its items are still in the Trash.
        InTrash,
        // It is the open line.
        Open,
    };
    Q_ENUM(Role)

    explicit HistoryModel(Services& services, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_records.size()); }
    qint64 totalFreed() const;
    QString totalFreedText() const;
    int openRow() const { return m_openRow; }
    CleanupItemModel* openItems() { return &m_openItems; }
    bool puttingBack() const { return m_puttingBack; }
    bool watching() const { return m_watching; }
    void setWatching(bool on);

    // Reads the clean-ups afresh (loadCleanups, on a worker).
    Q_INVOKABLE void load();
    // Opens the line at row, or closes it when it is the open one.
    Q_INVOKABLE void toggleOpen(int row);
    // How many items putBack(item) would ask to put back: 1 for an item of
    // the open line still in the Trash, every such item for -1, else 0.
    Q_INVOKABLE int putBackCount(int item) const;
    // Puts back one item of the open line (its row in openItems) or, for -1,
    // every item of it still in the Trash; beside: one whose place is taken
    // goes beside it under a new name. putBackFinished reports, then the
    // records are read again and diskChanged is reported. Nothing while
    // another put-back is under way.
    Q_INVOKABLE void putBack(int item, bool beside);

    void setRecords(std::vector<Cleanups::Record> records);
    const std::vector<Cleanups::Record>& records() const { return m_records; }

    // A clean-up's date as the page shows it: "MM-dd HH:mm", local time.
    static QString dateText(Clock::time_point date);
    // What a put-back did, in the app's language: a line with the count put
    // back (left out when none was and there is a reason why), then one per
    // reason others were not, or went beside.
    static QStringList putBackNotes(const std::vector<Cleanups::PutBackOutcome>& outcomes);

signals:
    void entriesChanged();
    void openRowChanged();
    void puttingBackChanged();
    void watchingChanged();
    // A put-back ended; lines as putBackNotes gives them.
    void putBackFinished(const QStringList& lines);
    // These items are at their original paths again (before putBackFinished).
    void itemsPutBack(const std::vector<Cleanups::Item>& items);

private:
    void setOpen(const std::string& id);
    void setPuttingBack(bool v);
    // Watches the history's folder and the manifests' folder (or, until one
    // exists, the nearest folder above it).
    void watch();

    Services& m_services;
    std::vector<Cleanups::Record> m_records;
    CleanupItemModel m_openItems;
    std::string m_openId; // the open line's history entry
    int m_openRow = -1;
    bool m_puttingBack = false;
    quint64 m_loads = 0;       // the number of the latest read
    quint64 m_putBackRead = 0; // the read that ends the latest put-back
    bool m_watching = false;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
