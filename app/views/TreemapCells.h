// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's top cells as a list for the page: each gives a screen
// reader an element to read (name and size) and press, and keyboard focus a
// place to move to. The painted item fills it each time it lays the map out.
#pragma once

#include "TreemapLayout.h"

#include <QAbstractListModel>
#include <QRectF>
#include <QtQml/qqmlregistration.h>

#include <vector>

class TreemapCells : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS

public:
    enum Role {
        CellRole = Qt::UserRole + 1, // the index in the item's map
        RectRole,
        NameRole,
        SizeTextRole,
        KindRole, // "folder", "file", "files" or "other"
    };
    Q_ENUM(Role)

    using QAbstractListModel::QAbstractListModel;

    // What a cell stands for, as the list's kind role names it.
    static QString kindName(TreemapLayout::Kind kind);

    // The map's level-0 cells that are drawn, in the map's order.
    void reset(const TreemapLayout::Map& map);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Row
    {
        int cell;
        QRectF rect;
        QString name;
        QString sizeText;
        QString kind;
    };
    std::vector<Row> m_rows;
};
