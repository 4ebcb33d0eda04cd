// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreemapCells.h"

#include "RecordVariants.h"
#include "TreemapPainter.h"

QString TreemapCells::kindName(TreemapLayout::Kind kind)
{
    switch (kind) {
    case TreemapLayout::Kind::File:
        return QStringLiteral("file");
    case TreemapLayout::Kind::Files:
        return QStringLiteral("files");
    case TreemapLayout::Kind::Other:
        return QStringLiteral("other");
    case TreemapLayout::Kind::Folder:
        break;
    }
    return QStringLiteral("folder");
}

void TreemapCells::reset(const TreemapLayout::Map& map)
{
    beginResetModel();
    m_rows.clear();
    for (size_t i = 0; i < map.cells.size(); ++i) {
        const TreemapLayout::Cell& c = map.cells[i];
        if (c.level != 0 || !TreemapLayout::drawn(c))
            continue;
        m_rows.push_back(Row{static_cast<int>(i), TreemapPainter::rectOf(c.rect),
                             displayLine(std::string(c.node->name())),
                             qs(humanSize(c.node->size())), kindName(c.kind)});
    }
    endResetModel();
}

int TreemapCells::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant TreemapCells::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || size_t(index.row()) >= m_rows.size())
        return {};
    const Row& r = m_rows[size_t(index.row())];
    switch (role) {
    case CellRole:
        return r.cell;
    case RectRole:
        return r.rect;
    case Qt::DisplayRole:
    case NameRole:
        return r.name;
    case SizeTextRole:
        return r.sizeText;
    case KindRole:
        return r.kind;
    default:
        return {};
    }
}

QHash<int, QByteArray> TreemapCells::roleNames() const
{
    return {{CellRole, "cell"},
            {RectRole, "rect"},
            {NameRole, "name"},
            {SizeTextRole, "sizeText"},
            {KindRole, "kind"}};
}
