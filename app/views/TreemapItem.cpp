// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreemapItem.h"

#include "ItemListModel.h"
#include "RecordVariants.h"
#include "TreemapPainter.h"

#include <QPainter>

#include <filesystem>

TreemapItem::TreemapItem(QQuickItem* parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

void TreemapItem::setModel(AppModel* model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &AppModel::mapRootChanged, this, &TreemapItem::invalidate);
        connect(m_model, &AppModel::mapDepthChanged, this, &TreemapItem::invalidate);
    }
    invalidate();
    emit modelChanged();
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
    m_tree = m_model ? m_model->mapRoot() : nullptr;
    if (m_tree)
        Treemap::build(m_tree->children, Treemap::Rect{0, 0, width(), height()}, 0,
                       m_model->mapDepth(), 0, m_map);
    emit mapBuilt();
}

QColor TreemapItem::toQColor(const Treemap::Color& color)
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
        TreemapPainter::render(m_map, m_picture, m_pictureTransform, painter->renderHints());
        m_pictureValid = true;
    }
    painter->save();
    painter->resetTransform();
    painter->drawImage(QPointF(0, 0), m_picture);
    painter->restore();
    ++m_paintCount;
    emit painted();
}

const Treemap::Cell* TreemapItem::cell(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_map.cells.size())
        return nullptr;
    return &m_map.cells[static_cast<size_t>(index)];
}

int TreemapItem::cellAt(qreal x, qreal y)
{
    if (m_dirty)
        rebuild();
    return Treemap::cellAt(m_map, x, y);
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
    return c ? displayLine(c->node->name) : QString();
}

qint64 TreemapItem::hoveredSize() const
{
    const auto* c = cell(m_hovered);
    return c ? c->node->size : 0;
}

QColor TreemapItem::hoveredColor() const
{
    const auto* c = cell(m_hovered);
    return c ? toQColor(c->color) : QColor();
}

QString TreemapItem::hoveredPath() const
{
    const auto* c = cell(m_hovered);
    return c ? qPath(c->node->path) : QString();
}

void TreemapItem::hoverAt(qreal x, qreal y)
{
    setHovered(cellAt(x, y));
}

void TreemapItem::clickAt(qreal x, qreal y)
{
    const auto* c = cell(cellAt(x, y));
    if (!c || !m_model)
        return;
    bool opens = c->isContainer || !c->node->children.empty();
    if (!opens && c->node->path != Treemap::remainderPath) {
        // A leaf at the depth limit opens (and is measured) when it is still
        // a folder; the merged "Other" cell names no folder.
        std::error_code error;
        const std::filesystem::path path(c->node->path);
        opens = path.is_absolute() && std::filesystem::is_directory(path, error);
    }
    if (!opens)
        return;
    m_model->drill(*c->node);
    setHovered(-1);
}

void TreemapItem::contextAt(qreal x, qreal y)
{
    hoverAt(x, y);
    // The merged "Other" cell names no real item: nothing to reveal or copy.
    const auto* c = cell(m_hovered);
    const bool real = c && c->node->path != Treemap::remainderPath;
    emit contextMenuRequested(real ? hoveredPath() : QString(), hoveredName(), x, y);
}
