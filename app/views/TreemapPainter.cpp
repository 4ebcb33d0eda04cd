// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreemapPainter.h"

#include "RecordVariants.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPen>

#include <cmath>
#include <map>
#include <utility>

namespace TreemapPainter {

namespace {

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

const QColor& outlineInk()
{
    static const QColor ink = withOpacity(Qt::white, 0.45);
    return ink;
}

// Deeper containers' outline: a cosmetic pen (its width in device pixels),
// which the raster engine draws one pixel wide at 0.8 of the ink's alpha.
QPen containerPen()
{
    QPen pen(outlineInk(), 0.8);
    pen.setCosmetic(true);
    return pen;
}

// Scales each 8-bit channel of a premultiplied pixel by a / 255, rounded as
// the raster engine rounds when it blends: two channels at a time (red and
// blue, then alpha and green), each v * a + (v * a >> 8) + 128, over 256.
QRgb scaled(QRgb pixel, uint a)
{
    uint rb = (pixel & 0x00ff00ffu) * a;
    rb = ((rb + ((rb >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
    uint ag = ((pixel >> 8) & 0x00ff00ffu) * a;
    ag = (ag + ((ag >> 8) & 0x00ff00ffu) + 0x00800080u) & 0xff00ff00u;
    return ag | rb;
}

// Writes deeper containers' outlines straight into the picture. The thin pen
// lights the pixel rows and columns under floor() of the rectangle's device
// edges, each pixel once, blending the pixel the pen leaves on a transparent
// one (read back from QPainter, so it is the engine's own value) over what is
// there. Near the picture's edge the engine clips its lines and, on a
// rectangle two pixels or less across, lights a corner twice: those cases
// stay with QPainter.
class Outliner
{
public:
    Outliner(QImage& picture, const QTransform& device)
        : m_bits(picture.bits()), m_stride(picture.bytesPerLine()), m_width(picture.width()),
          m_height(picture.height()), m_device(device),
          m_usable(device.type() <= QTransform::TxScale && device.m11() > 0 && device.m22() > 0),
          m_ink(penPixel()), m_keep(255u - qAlpha(m_ink))
    {
    }

    // Draws the outline of r (logical points); false when QPainter must.
    bool draw(const TreemapLayout::Rect& r)
    {
        if (!m_usable)
            return false;
        const QPointF a = m_device.map(QPointF(r.x, r.y));
        const QPointF b = m_device.map(QPointF(r.x + r.width, r.y + r.height));
        if (!(a.x() >= 0 && a.y() >= 0 && b.x() < m_width && b.y() < m_height))
            return false;
        const int x1 = int(std::floor(a.x()));
        const int y1 = int(std::floor(a.y()));
        const int x2 = int(std::floor(b.x()));
        const int y2 = int(std::floor(b.y()));
        if (x2 - x1 < 2 || y2 - y1 < 2)
            return false;
        row(y1, x1, x2);
        row(y2, x1, x2);
        for (int y = y1 + 1; y < y2; ++y) {
            blend(pixel(x1, y));
            blend(pixel(x2, y));
        }
        return true;
    }

private:
    static QRgb penPixel()
    {
        static const QRgb ink = [] {
            QImage probe(8, 8, QImage::Format_ARGB32_Premultiplied);
            probe.fill(Qt::transparent);
            QPainter p(&probe);
            p.setPen(containerPen());
            p.drawRect(QRectF(1, 1, 5, 5));
            p.end();
            return probe.pixel(3, 1);
        }();
        return ink;
    }

    QRgb* pixel(int x, int y)
    {
        return reinterpret_cast<QRgb*>(m_bits + qsizetype(y) * m_stride) + x;
    }
    void blend(QRgb* p) { *p = m_ink + scaled(*p, m_keep); }
    void row(int y, int x1, int x2)
    {
        QRgb* p = pixel(x1, y);
        for (int x = x1; x <= x2; ++x, ++p)
            blend(p);
    }

    uchar* m_bits;
    qsizetype m_stride;
    int m_width;
    int m_height;
    QTransform m_device;
    bool m_usable;
    QRgb m_ink;
    uint m_keep;
};

// Qt's raster engine splits a call that blends about a hundred pixel runs or
// more across its thread pool and waits for it; on a busy machine that wait
// costs more than the blending. Pixels are blended one by one either way, so
// a big translucent shape is handed over in bands of rows small enough to
// stay on this thread, and each pixel comes out exactly as it would in one
// call. Bands are whole device pixels, so they are used only while logical
// points are device pixels (`aligned`); otherwise a shape goes in whole.
constexpr int kFillBandRows = 64; // one run per row
constexpr int kTileBandRows = 16; // a few runs per row on a tile's edges

// A translucent rectangle: the rows the engine itself would fill, its edges
// rounded to the nearest pixel.
void fillTranslucent(QPainter& painter, bool aligned, const QRectF& r, const QColor& color)
{
    if (!aligned) {
        painter.fillRect(r, color);
        return;
    }
    const int x1 = qRound(r.x());
    const int x2 = qRound(r.x() + r.width());
    const int y1 = qRound(r.y());
    const int y2 = qRound(r.y() + r.height());
    for (int y = y1; y < y2; y += kFillBandRows)
        painter.fillRect(QRect(x1, y, x2 - x1, std::min(kFillBandRows, y2 - y)), color);
}

// A level-0 tile (antialiased rounded rectangle, filled and outlined with the
// painter's brush and pen), drawn through a clip band at a time.
void drawTile(QPainter& painter, bool aligned, const QRectF& shape)
{
    constexpr double radius = 6;
    if (!aligned) {
        painter.drawRoundedRect(shape, radius, radius);
        return;
    }
    // The outline reaches half a pixel past the shape, its smoothing one more.
    const int left = int(std::floor(shape.left())) - 2;
    const int right = int(std::ceil(shape.right())) + 2;
    const int top = int(std::floor(shape.top())) - 2;
    const int bottom = int(std::ceil(shape.bottom())) + 2;
    for (int y = top; y < bottom; y += kTileBandRows) {
        painter.setClipRect(QRect(left, y, right - left, kTileBandRows));
        painter.drawRoundedRect(shape, radius, radius);
    }
    painter.setClipping(false);
}

// The colour a translucent fill gives over `base`, as the painter blends it.
QColor over(const QColor& fill, qreal opacity, const QColor& base)
{
    const auto mix = [opacity](float top, float bottom) {
        return bottom + (top - bottom) * float(opacity);
    };
    return QColor::fromRgbF(mix(fill.redF(), base.redF()), mix(fill.greenF(), base.greenF()),
                            mix(fill.blueF(), base.blueF()));
}

const QColor& darkInk()
{
    static const QColor ink(0x1d, 0x1d, 0x1f);
    return ink;
}

// White or the dark ink, whichever stands out more from `background`.
QColor inkOver(const QColor& background)
{
    const auto lum = [](const QColor& c) {
        return TreemapLayout::luminance(c.redF(), c.greenF(), c.blueF());
    };
    const double below = lum(background);
    return TreemapLayout::contrast(1.0, below) >= TreemapLayout::contrast(lum(darkInk()), below)
               ? QColor(Qt::white)
               : darkInk();
}

// A file's tile: its top-right corner folded.
void drawFoldedCorner(QPainter& painter, const QRectF& r, const QColor& ink)
{
    const double side = std::min({8.0, r.width() / 4, r.height() / 4});
    if (side < 3)
        return;
    const QPointF corner[] = {QPointF(r.right() - side, r.top()), QPointF(r.right(), r.top()),
                              QPointF(r.right(), r.top() + side)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(ink, 0.45));
    painter.drawPolygon(corner, 3);
}

} // namespace

QRectF rectOf(const TreemapLayout::Rect& r)
{
    return QRectF(r.x, r.y, r.width, r.height);
}

QColor fillColor(const TreemapLayout::Color& color)
{
    return QColor::fromHsvF(float(color.hue), float(color.saturation), float(color.brightness),
                            float(color.opacity));
}

int render(const TreemapLayout::Map& map, QImage& picture, const QTransform& world,
           QPainter::RenderHints hints, Route route, const QColor& backdrop)
{
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHints(hints);
    painter.setWorldTransform(world);
    const bool fast = route == Route::Fast;
    Outliner outliner(picture, painter.combinedTransform());
    const bool aligned = fast && painter.combinedTransform().type() == QTransform::TxNone;
    int leftToPainter = 0;

    const QPen levelZeroPen(outlineInk(), 1);
    const QPen thinPen = containerPen();

    // Few distinct label sizes occur in one map: keep their fonts and metrics.
    struct LabelFont
    {
        QFont font;
        double ascent;
        QFontMetricsF metrics;
    };
    std::map<std::pair<int, int>, LabelFont> fonts;
    const auto fontFor = [&fonts](double size, QFont::Weight weight) -> const LabelFont& {
        const auto key = std::make_pair(qRound(size * 4), int(weight));
        auto it = fonts.find(key);
        if (it == fonts.end()) {
            QFont font = labelFont(size, weight);
            const QFontMetricsF metrics(font);
            it = fonts.emplace(key, LabelFont{font, metrics.ascent(), metrics}).first;
        }
        return it->second;
    };

    // What each level's last container looks like where nothing covers it:
    // the ground of the cells inside it, for their labels' ink.
    std::vector<QColor> ground;
    const QBrush hatch(withOpacity(Qt::white, 0.3), Qt::BDiagPattern);

    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const TreemapLayout::Cell& cell : map.cells) {
        if (!TreemapLayout::drawn(cell))
            continue;
        const QRectF r = rectOf(cell.rect);
        const QColor fill = fillColor(cell.color);
        const size_t level = size_t(std::max(cell.level, 0));
        const QColor& base = level == 0 || level > ground.size() ? backdrop : ground[level - 1];
        QColor seen = fill;
        if (cell.level == 0) {
            seen = over(fill, 0.55, base);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(levelZeroPen);
            painter.setBrush(withOpacity(fill, 0.55));
            drawTile(painter, aligned, r.adjusted(1, 1, -1, -1));
            painter.setRenderHint(QPainter::Antialiasing, false);
        } else if (cell.isContainer) {
            seen = over(fill, 0.35, base);
            fillTranslucent(painter, aligned, r, withOpacity(fill, 0.35));
            if (!fast || !outliner.draw(cell.rect)) {
                ++leftToPainter;
                painter.setPen(thinPen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(r);
            }
        } else {
            // A darker line on its right and bottom edges keeps each tile
            // apart from the next, whatever their colours.
            painter.fillRect(r, fill.darker(135));
            painter.fillRect(r.adjusted(0, 0, -1, -1), fill);
        }
        if (cell.isContainer) {
            ground.resize(level + 1);
            ground[level] = seen;
        }
        const QColor ink = inkOver(seen);
        if (cell.kind == TreemapLayout::Kind::Files && cell.level == 0) {
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(Qt::NoPen);
            painter.setBrush(hatch);
            painter.drawRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
            painter.setRenderHint(QPainter::Antialiasing, false);
        } else if (cell.kind == TreemapLayout::Kind::Files) {
            painter.fillRect(r.adjusted(0, 0, -1, -1), hatch);
        }
        if (cell.kind == TreemapLayout::Kind::File)
            drawFoldedCorner(painter, cell.level == 0 ? r.adjusted(1, 1, -1, -1) : r, ink);

        const TreemapLayout::Labels labels = TreemapLayout::labels(cell);
        if (!labels.name)
            continue;
        // A name shows whole, or cut with an ellipsis after at least two
        // characters; a size only whole.
        const double room = r.width() - 10;
        const LabelFont& name =
            fontFor(labels.nameSize, cell.level == 0 ? QFont::Bold : QFont::DemiBold);
        QString text = displayLine(std::string(cell.node->name()));
        if (text.size() * name.metrics.maxWidth() > room) {
            const QString cut = name.metrics.elidedText(text, Qt::ElideRight, room);
            if (cut != text && cut.size() < 3)
                continue;
            text = cut;
        }
        painter.setClipRect(r.adjusted(1, 1, -1, -1));
        painter.setFont(name.font);
        painter.setPen(ink);
        painter.drawText(QPointF(r.x() + 5, r.y() + 3 + name.ascent), text);
        if (labels.size) {
            const LabelFont& small = fontFor(labels.sizeSize, QFont::Normal);
            const QString size = qs(humanSize(cell.node->size()));
            if (small.metrics.horizontalAdvance(size) <= room) {
                painter.setFont(small.font);
                painter.setPen(withOpacity(ink, 0.9));
                painter.drawText(QPointF(r.x() + 5, r.y() + 4 + labels.nameSize + small.ascent),
                                 size);
            }
        }
        painter.setClipping(false);
    }
    return leftToPainter;
}

} // namespace TreemapPainter
