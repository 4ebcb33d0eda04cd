// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreemapItem.h"

#include "RecordVariants.h"
#include "TreemapPainter.h"

#include <QPainter>

#include <filesystem>

TreemapItem::TreemapItem(QQuickItem* parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void TreemapItem::setMapState(MapState* state)
{
    if (m_state == state)
        return;
    if (m_state)
        disconnect(m_state, nullptr, this, nullptr);
    m_state = state;
    if (m_state) {
        connect(m_state, &MapState::rootChanged, this, &TreemapItem::invalidate);
        connect(m_state, &MapState::depthChanged, this, &TreemapItem::invalidate);
    }
    invalidate();
    emit mapStateChanged();
}

void TreemapItem::setBackdrop(const QColor& backdrop)
{
    if (m_backdrop == backdrop)
        return;
    m_backdrop = backdrop;
    m_pictureValid = false;
    update();
    emit backdropChanged();
}

void TreemapItem::setLanguage(const QString& language)
{
    if (m_language == language)
        return;
    m_language = language;
    invalidate();
    emit languageChanged();
}

void TreemapItem::invalidate()
{
    m_dirty = true;
    setHovered(-1);
    polish();
    update();
}

void TreemapItem::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        invalidate();
}

void TreemapItem::updatePolish()
{
    if (m_dirty)
        rebuild();
}

void TreemapItem::rebuild()
{
    m_dirty = false;
    m_pictureValid = false;
    m_map.clear();
    m_tree = m_state ? m_state->root() : nullptr;
    if (m_tree)
        TreemapLayout::build(*m_tree, TreemapLayout::Rect{0, 0, width(), height()}, 0,
                             m_state->depth(), 0, m_map);
    m_cells.reset(m_map);
    setFocusedIndex(-1);
    emit mapBuilt();
}

QColor TreemapItem::toQColor(const TreemapLayout::Color& color)
{
    return TreemapPainter::fillColor(color);
}

void TreemapItem::paint(QPainter* painter)
{
    if (m_dirty)
        rebuild();
    // The picture is drawn once per layout, in the device's own pixels and
    // through the painter's transform, so copying it is the same as drawing
    // the cells here.
    const QPaintDevice* device = painter->device();
    const QSize pixels(device->width(), device->height());
    if (!m_pictureValid || m_picture.size() != pixels ||
        m_picture.devicePixelRatio() != device->devicePixelRatio() ||
        m_pictureTransform != painter->worldTransform()) {
        if (m_picture.size() != pixels)
            m_picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(device->devicePixelRatio());
        m_pictureTransform = painter->worldTransform();
        TreemapPainter::render(m_map, m_picture, m_pictureTransform, painter->renderHints(),
                               TreemapPainter::Route::Fast, m_backdrop);
        m_pictureValid = true;
    }
    painter->save();
    painter->resetTransform();
    painter->drawImage(QPointF(0, 0), m_picture);
    painter->restore();
    ++m_paintCount;
    emit painted();
}

const TreemapLayout::Cell* TreemapItem::cell(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_map.cells.size())
        return nullptr;
    return &m_map.cells[static_cast<size_t>(index)];
}

int TreemapItem::cellAt(qreal x, qreal y)
{
    if (m_dirty)
        rebuild();
    return TreemapLayout::cellAt(m_map, x, y);
}

QRectF TreemapItem::cellRect(int index)
{
    if (m_dirty)
        rebuild();
    const auto* c = cell(index);
    return c ? TreemapPainter::rectOf(c->rect) : QRectF();
}

bool TreemapItem::isContainer(int index)
{
    if (m_dirty)
        rebuild();
    const auto* c = cell(index);
    return c && c->isContainer;
}

QString TreemapItem::cellKind(int index)
{
    if (m_dirty)
        rebuild();
    const auto* c = cell(index);
    return c ? TreemapCells::kindName(c->kind) : QString();
}

void TreemapItem::setHovered(int index)
{
    if (m_hovered == index)
        return;
    m_hovered = index;
    emit hoveredChanged();
}

QRectF TreemapItem::hoveredRect() const
{
    const auto* c = cell(m_hovered);
    return c ? TreemapPainter::rectOf(c->rect) : QRectF();
}

QString TreemapItem::hoveredName() const
{
    const auto* c = cell(m_hovered);
    return c ? displayLine(std::string(c->node->name())) : QString();
}

qint64 TreemapItem::hoveredSize() const
{
    const auto* c = cell(m_hovered);
    return c ? c->node->size() : 0;
}

QColor TreemapItem::hoveredColor() const
{
    const auto* c = cell(m_hovered);
    return c ? toQColor(c->color) : QColor();
}

QString TreemapItem::hoveredPath() const
{
    const auto* c = cell(m_hovered);
    return c ? qPath(c->node->path()) : QString();
}

void TreemapItem::hoverAt(qreal x, qreal y)
{
    setHovered(cellAt(x, y));
}

void TreemapItem::clickAt(qreal x, qreal y)
{
    activate(cellAt(x, y));
}

void TreemapItem::activate(int index)
{
    if (m_dirty)
        rebuild();
    const auto* c = cell(index);
    if (!c || !m_state || c->kind != TreemapLayout::Kind::Folder)
        return;
    bool opens = c->isContainer || !c->node->children().empty();
    if (!opens) {
        // A leaf at the depth limit opens (and is measured) when it is still
        // a folder; files, a folder's other files and the merged "Other"
        // cell open nothing.
        std::error_code error;
        const std::filesystem::path path(c->node->path());
        opens = path.is_absolute() && std::filesystem::is_directory(path, error);
    }
    if (!opens)
        return;
    m_state->drill(*c->node);
    setHovered(-1);
}

void TreemapItem::setFocusedIndex(int index)
{
    const auto* c = cell(index);
    if (!c || c->level != 0)
        index = -1;
    if (m_focused == index)
        return;
    m_focused = index;
    emit focusedChanged();
}

int TreemapItem::neighbour(int index, int key)
{
    if (m_dirty)
        rebuild();
    const auto* from = cell(index);
    if (!from || from->level != 0) {
        for (size_t i = 0; i < m_map.cells.size(); ++i)
            if (m_map.cells[i].level == 0 && TreemapLayout::drawn(m_map.cells[i]))
                return static_cast<int>(i);
        return -1;
    }
    const TreemapLayout::Rect& a = from->rect;
    const bool across = key == Qt::Key_Left || key == Qt::Key_Right;
    if (!across && key != Qt::Key_Up && key != Qt::Key_Down)
        return index;
    int best = index;
    double bestScore = 0;
    for (size_t i = 0; i < m_map.cells.size(); ++i) {
        const TreemapLayout::Cell& c = m_map.cells[i];
        if (c.level != 0 || !TreemapLayout::drawn(c) || static_cast<int>(i) == index)
            continue;
        const TreemapLayout::Rect& b = c.rect;
        // How far beyond a's edge b starts, and whether they share a band
        // across that direction.
        double gap = 0;
        switch (key) {
        case Qt::Key_Right:
            gap = b.x - (a.x + a.width);
            break;
        case Qt::Key_Left:
            gap = a.x - (b.x + b.width);
            break;
        case Qt::Key_Down:
            gap = b.y - (a.y + a.height);
            break;
        default:
            gap = a.y - (b.y + b.height);
            break;
        }
        if (gap < -0.5)
            continue;
        const double offset = across ? std::abs((b.y + b.height / 2) - (a.y + a.height / 2))
                                     : std::abs((b.x + b.width / 2) - (a.x + a.width / 2));
        const bool beside = across ? b.y < a.y + a.height && a.y < b.y + b.height
                                   : b.x < a.x + a.width && a.x < b.x + b.width;
        const double score = std::max(gap, 0.0) + (beside ? 0 : 1e6) + offset / 1e3;
        if (best == index || score < bestScore) {
            best = static_cast<int>(i);
            bestScore = score;
        }
    }
    return best;
}

void TreemapItem::contextAt(qreal x, qreal y)
{
    hoverAt(x, y);
    // The merged "Other" cell names no real item: nothing to reveal or copy.
    // A folder's other files are revealed as that folder.
    const auto* c = cell(m_hovered);
    const bool real = c && c->kind != TreemapLayout::Kind::Other;
    emit contextMenuRequested(real ? hoveredPath() : QString(), hoveredName(), x, y);
}
