#include "TreemapItem.h"

#include "ItemListModel.h"
#include "RecordVariants.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <map>
#include <utility>

namespace {

QRectF toQRect(const Treemap::Rect& r)
{
    return QRectF(r.x, r.y, r.width, r.height);
}

QColor withOpacity(QColor c, qreal opacity)
{
    c.setAlphaF(float(opacity));
    return c;
}

// Font sizes of the map are given in points of the design, which are the
// item's logical pixels.
QFont labelFont(double size, QFont::Weight weight)
{
    QFont font;
    font.setPixelSize(std::max(1, qRound(size)));
    font.setWeight(weight);
    return font;
}

} // namespace

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
    m_map.clear();
    m_tree = m_model ? m_model->mapRoot() : nullptr;
    if (m_tree)
        Treemap::build(m_tree->children, Treemap::Rect{0, 0, width(), height()}, 0,
                       m_model->mapDepth(), 0, m_map);
    emit mapBuilt();
}

QColor TreemapItem::toQColor(const Treemap::Color& color)
{
    return QColor::fromHsvF(float(color.hue), float(color.saturation), float(color.brightness),
                            float(color.opacity));
}

void TreemapItem::paint(QPainter* painter)
{
    if (m_dirty)
        rebuild();
    const QColor outline = withOpacity(Qt::white, 0.45);
    const QColor sizeInk = withOpacity(Qt::white, 0.9);
    // Thin outlines drawn as cosmetic pens take the raster engine's fast
    // line path; widths are in device pixels, which are the map's points.
    QPen levelZeroPen(outline, 1);
    QPen containerPen(outline, 0.8);
    containerPen.setCosmetic(true);

    // Few distinct label sizes occur in one map: keep their fonts and ascents.
    struct LabelFont
    {
        QFont font;
        double ascent;
    };
    std::map<std::pair<int, int>, LabelFont> fonts;
    const auto fontFor = [&fonts](double size, QFont::Weight weight) -> const LabelFont& {
        const auto key = std::make_pair(qRound(size * 4), int(weight));
        auto it = fonts.find(key);
        if (it == fonts.end()) {
            QFont font = labelFont(size, weight);
            it = fonts.emplace(key, LabelFont{font, QFontMetricsF(font).ascent()}).first;
        }
        return it->second;
    };

    painter->setRenderHint(QPainter::TextAntialiasing, true);
    for (const Treemap::Cell& cell : m_map.cells) {
        if (!Treemap::drawn(cell))
            continue;
        const QRectF r = toQRect(cell.rect);
        const QColor fill = toQColor(cell.color);
        if (cell.level == 0) {
            painter->setRenderHint(QPainter::Antialiasing, true);
            painter->setPen(levelZeroPen);
            painter->setBrush(withOpacity(fill, 0.55));
            painter->drawRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
            painter->setRenderHint(QPainter::Antialiasing, false);
        } else if (cell.isContainer) {
            // A plain fill and a brushless outline keep to the raster
            // engine's fast paths (a brushed, stroked rectangle does not).
            painter->fillRect(r, withOpacity(fill, 0.35));
            painter->setPen(containerPen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(r);
        } else {
            painter->fillRect(r, fill);
        }

        const Treemap::Labels labels = Treemap::labels(cell);
        if (!labels.name)
            continue;
        painter->setClipRect(r.adjusted(1, 1, -1, -1));
        const LabelFont& name =
            fontFor(labels.nameSize, cell.level == 0 ? QFont::Bold : QFont::DemiBold);
        painter->setFont(name.font);
        painter->setPen(Qt::white);
        painter->drawText(QPointF(r.x() + 5, r.y() + 3 + name.ascent),
                          displayLine(cell.node->name));
        if (labels.size) {
            const LabelFont& small = fontFor(labels.sizeSize, QFont::Normal);
            painter->setFont(small.font);
            painter->setPen(sizeInk);
            painter->drawText(QPointF(r.x() + 5, r.y() + 4 + labels.nameSize + small.ascent),
                              qs(humanSize(cell.node->size)));
        }
        painter->setClipping(false);
    }
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
    return c ? toQRect(c->rect) : QRectF();
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
    return c ? toQRect(c->rect) : QRectF();
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
    emit contextMenuRequested(hoveredPath(), hoveredName(), x, y);
}
