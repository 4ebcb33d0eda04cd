// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryModel.h"

#include "RecordVariants.h"

#include <QDateTime>
#include <chrono>
#include <limits>

HistoryModel::HistoryModel(QObject* parent) : QAbstractListModel(parent) {}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_entries.size()))
        return {};
    const HistoryEntry& e = m_entries[size_t(index.row())];
    switch (Role(role)) {
    case Role::DateText:
        return dateText(e.date);
    case Role::Items:
        return e.items;
    case Role::Freed:
        return qint64(e.freed);
    case Role::FreedText:
        return qs(humanSize(e.freed));
    }
    return {};
}

QHash<int, QByteArray> HistoryModel::roleNames() const
{
    return {{int(Role::DateText), "dateText"},
            {int(Role::Items), "items"},
            {int(Role::Freed), "freed"},
            {int(Role::FreedText), "freedText"}};
}

qint64 HistoryModel::totalFreed() const
{
    // Saturating: a damaged file cannot wrap the total round to a negative.
    qint64 sum = 0;
    for (const auto& e : m_entries) {
        if (e.freed > 0 && sum > std::numeric_limits<qint64>::max() - e.freed)
            return std::numeric_limits<qint64>::max();
        sum += std::max<int64_t>(e.freed, 0);
    }
    return sum;
}

QString HistoryModel::totalFreedText() const
{
    return qs(humanSize(totalFreed()));
}

void HistoryModel::setEntries(std::vector<HistoryEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
    emit entriesChanged();
}

QString HistoryModel::dateText(Clock::time_point date)
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(qint64(ms)).toString(QStringLiteral("MM-dd HH:mm"));
}
