// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's painted item: draws the cells TreemapLayout::build computes for
// the map state's current folder and reports the cell under the pointer. The map
// is built again whenever the item's size, the folder or the depth changes,
// and drawn once per build into a picture (TreemapPainter) that every paint
// then copies to the screen; hovering moves only the outline and the chip,
// which the page draws over this item from the hover properties. The page's
// pointer layer reports hover, clicks and right clicks here.
#pragma once

#include "MapState.h"
#include "TreemapCells.h"
#include "TreemapLayout.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QRectF>
#include <QTransform>
#include <QtQml/qqmlregistration.h>

#include <memory>

class TreemapItem : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(MapState* mapState READ mapState WRITE setMapState NOTIFY mapStateChanged)
    // The language of the map's own texts (merged cells are named "Other" in
    // it when the map is laid out): the page binds it to the app's language,
    // and a change lays the map out and draws it again.
    Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)
    // The colour the map is shown over: labels take the ink that stands out
    // from their cell as it looks over it.
    Q_PROPERTY(QColor backdrop READ backdrop WRITE setBackdrop NOTIFY backdropChanged)
    Q_PROPERTY(int cellCount READ cellCount NOTIFY mapBuilt)
    Q_PROPERTY(int paintCount READ paintCount NOTIFY painted)
    Q_PROPERTY(int hoveredIndex READ hoveredIndex NOTIFY hoveredChanged)
    Q_PROPERTY(QRectF hoveredRect READ hoveredRect NOTIFY hoveredChanged)
    Q_PROPERTY(QString hoveredName READ hoveredName NOTIFY hoveredChanged)
    Q_PROPERTY(qint64 hoveredSize READ hoveredSize NOTIFY hoveredChanged)
    Q_PROPERTY(QColor hoveredColor READ hoveredColor NOTIFY hoveredChanged)
    Q_PROPERTY(QString hoveredPath READ hoveredPath NOTIFY hoveredChanged)
    // The top cells as a list, for screen readers and keyboard focus.
    Q_PROPERTY(TreemapCells* cells READ cells CONSTANT)
    // The top cell keyboard focus is on (-1: none); a new layout clears it.
    Q_PROPERTY(int focusedIndex READ focusedIndex WRITE setFocusedIndex NOTIFY focusedChanged)

public:
    explicit TreemapItem(QQuickItem* parent = nullptr);

    MapState* mapState() const { return m_state; }
    void setMapState(MapState* state);
    QString language() const { return m_language; }
    void setLanguage(const QString& language);
    QColor backdrop() const { return m_backdrop; }
    void setBackdrop(const QColor& backdrop);

    int cellCount() const { return static_cast<int>(m_map.cells.size()); }
    TreemapCells* cells() { return &m_cells; }
    int focusedIndex() const { return m_focused; }
    void setFocusedIndex(int index);
    int paintCount() const { return m_paintCount; }
    int hoveredIndex() const { return m_hovered; }
    QRectF hoveredRect() const;
    QString hoveredName() const;
    qint64 hoveredSize() const;
    QColor hoveredColor() const;
    QString hoveredPath() const;

    // The cell under a point of the item (-1: none), as hover and click see it.
    Q_INVOKABLE int cellAt(qreal x, qreal y);
    Q_INVOKABLE QRectF cellRect(int index);
    Q_INVOKABLE bool isContainer(int index);
    // "folder", "file", "files" (a folder's other files) or "other".
    Q_INVOKABLE QString cellKind(int index);
    // Hover, click and right click at a point: the page's pointer layer
    // calls these.
    Q_INVOKABLE void hoverAt(qreal x, qreal y);
    Q_INVOKABLE void clearHover() { setHovered(-1); }
    Q_INVOKABLE void clickAt(qreal x, qreal y);
    Q_INVOKABLE void contextAt(qreal x, qreal y);
    // What a click on cell `index` does: opens a folder; nothing for files,
    // a folder's other files and the merged "Other" cell.
    Q_INVOKABLE void activate(int index);
    // The top cell next to `index` towards Qt::Key_Left, _Right, _Up or
    // _Down: the nearest one beyond its edge, those beside it first; the
    // first top cell when index is none; index itself at the map's edge.
    Q_INVOKABLE int neighbour(int index, int key);

    const TreemapLayout::Map& map() const { return m_map; }
    // Lays the current tree out now (the next paint would), for benchmarks.
    void rebuild();
    // The fill colour of a cell as painted (before its kind's opacity).
    static QColor toQColor(const TreemapLayout::Color& color);

    void paint(QPainter* painter) override;

protected:
    void updatePolish() override;

signals:
    void mapStateChanged();
    void languageChanged();
    void backdropChanged();
    void mapBuilt();
    void painted();
    void hoveredChanged();
    void focusedChanged();
    // A right click: the hovered folder's path and name, empty when the
    // pointer is over no cell (the menu then has no entries).
    void contextMenuRequested(const QString& path, const QString& name, qreal x, qreal y);

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    void invalidate();
    void setHovered(int index);
    const TreemapLayout::Cell* cell(int index) const;

    QPointer<MapState> m_state;
    QString m_language;
    QColor m_backdrop = Qt::white;
    std::shared_ptr<const DiskNode> m_tree; // what m_map points into
    TreemapLayout::Map m_map;
    bool m_dirty = true;
    QImage m_picture; // the cells as drawn for the current layout
    QTransform m_pictureTransform;
    bool m_pictureValid = false;
    int m_hovered = -1;
    int m_focused = -1;
    TreemapCells m_cells;
    int m_paintCount = 0;
};
