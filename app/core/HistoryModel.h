// SPDX-License-Identifier: GPL-3.0-or-later
// The clean-up history as a list model for the History page, newest first,
// with its two totals. AppModel owns it and loads it afresh each time the page
// comes on screen (on a worker: a damaged history file never stalls a frame).
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

#include <vector>

class HistoryModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the history")

    Q_PROPERTY(int count READ count NOTIFY entriesChanged)
    Q_PROPERTY(qint64 totalFreed READ totalFreed NOTIFY entriesChanged)
    Q_PROPERTY(QString totalFreedText READ totalFreedText NOTIFY entriesChanged)

public:
    enum class Role { DateText = Qt::UserRole + 1, Items, Freed, FreedText };
    Q_ENUM(Role)

    explicit HistoryModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_entries.size()); }
    qint64 totalFreed() const;
    QString totalFreedText() const;

    void setEntries(std::vector<HistoryEntry> entries);
    const std::vector<HistoryEntry>& entries() const { return m_entries; }

    // A clean-up's date as the page shows it: "MM-dd HH:mm", local time.
    static QString dateText(Clock::time_point date);

signals:
    void entriesChanged();

private:
    std::vector<HistoryEntry> m_entries;
};
