// SPDX-License-Identifier: GPL-3.0-or-later
// The processes holding the most memory, as a list model for the Toolbox's
// processes pane. AppModel owns it and hands it each fresh reading; the pane
// redraws that reading every 3 seconds while it is shown, so a reading changes
// the list as little as it can: rows are kept by position, a row whose values
// are unchanged emits nothing, and a changed row emits dataChanged for just the
// roles that differ (a process whose memory moved changes its bar and perhaps
// its size text, not its name). Only a change in the number of processes
// inserts or removes rows, at the end.
//
// Each row carries what a process row shows: the name as one line, the
// memory as text, the bar's share of the largest process's memory and whether
// the process is the app itself.
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <vector>

class ProcessModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the process list")

    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum class Role {
        Pid = Qt::UserRole + 1,
        Name,
        DisplayName,
        Rss,
        RssText,
        // rss over the first row's rss (taken as 1 when below 2).
        Share,
        // The name contains "TidloCleaner": the app's own process.
        Own,
    };
    Q_ENUM(Role)

    explicit ProcessModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_procs.size()); }
    const std::vector<ProcInfo>& procs() const { return m_procs; }

    // Shows this reading (largest first) in place of the last one.
    void setProcs(std::vector<ProcInfo> procs);

signals:
    void countChanged();

private:
    // A row as drawn, kept to tell which roles a new reading changes.
    struct Shown
    {
        QString displayName;
        QString rssText;
        double share = 0;
        bool own = false;
    };
    static std::vector<Shown> shownRows(const std::vector<ProcInfo>& procs);

    std::vector<ProcInfo> m_procs;
    std::vector<Shown> m_shown;
};
