// SPDX-License-Identifier: GPL-3.0-or-later
// The items of one clean-up, as a list model for the History page's open line:
// each item's name as the lists showed it, its size, the folder it came from
// (home as "~") and where it is now (still in the Trash, put back, or gone).
// HistoryModel owns one and fills it with the open line's record; it changes
// as a whole when another line opens or the records are read again.
#pragma once

#include "Cleanups.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

#include <string>
#include <vector>

class CleanupItemModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("HistoryModel owns the open clean-up's items")

    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum class Role {
        Name = Qt::UserRole + 1,
        SizeText,
        Folder,
        // The catalogue key of where the item is now.
        StateKey,
        // Still in the Trash: it can be put back.
        InTrash,
    };
    Q_ENUM(Role)

    explicit CleanupItemModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_items.size()); }

    // Shows record's items (none for nullptr). A where shorter than the items
    // counts the rest as gone. The same clean-up shown again changes only the
    // rows whose place differs.
    void show(const Cleanups::Record* record);

signals:
    void countChanged();

private:
    std::string m_id; // the history entry shown
    std::vector<Cleanups::Item> m_items;
    std::vector<Cleanups::Where> m_where;
};
