// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's colours for QML (singleton `Treemap`): the Overview's
// type chart colours its buckets with the map's own rule, read from here
// rather than from a second copy of the hue table.
#pragma once

#include "TreemapItem.h"

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

class TreemapColors : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(Treemap)
    QML_SINGLETON

public:
    using QObject::QObject;

    // The colour of colour index `index` (negative counts as 0) at `level`.
    Q_INVOKABLE QColor color(int index, int level) const
    {
        return TreemapItem::toQColor(TreemapLayout::color(std::max(index, 0), std::max(level, 0)));
    }
};
