// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the storage map's cells into a picture: the painted item renders its
// map once per layout into a QImage with this unit and then only copies that
// picture to the screen, so a repaint without a new layout costs one blit.
//
// Cells are drawn in list order (each container before the cells inside it):
// level-0 cells as antialiased rounded tiles, deeper containers as translucent
// frames with a thin white outline, other cells as opaque tiles with a darker
// right and bottom edge, a file with a folded corner and a folder's other
// files hatched, then the name and size labels that fit, in white or a dark
// ink, whichever stands out more from what lies under them. Most of the drawing goes through
// QPainter. The containers' outlines, thousands of one-pixel lines in a deep map, are written
// straight into the picture's pixels with the values the raster engine's own thin-pen lines would
// give; only an outline the fast route cannot reproduce exactly (one touching the picture's edge,
// or two pixels or less across) is left to QPainter.
#pragma once

#include "TreemapLayout.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QTransform>

namespace TreemapPainter {

// The fill colour of a cell before its kind's opacity.
QColor fillColor(const TreemapLayout::Color& color);

// A cell's rectangle in the item's logical points.
QRectF rectOf(const TreemapLayout::Rect& r);

// How shapes reach the pixels. Plain hands every shape to QPainter whole, the
// straightforward way; Fast takes the routes described above. Both give the
// same picture, pixel for pixel (the tests hold Fast to Plain).
enum class Route { Fast, Plain };

// Clears `picture` (premultiplied ARGB, in device pixels) and draws every cell
// of `map` into it as a painter with world transform `world` and render hints
// `hints` would draw them on a device of the picture's size and pixel ratio.
// `backdrop` is the colour the picture is shown over. Returns how many
// container outlines were left to QPainter.
int render(const TreemapLayout::Map& map, QImage& picture, const QTransform& world,
           QPainter::RenderHints hints, Route route = Route::Fast,
           const QColor& backdrop = QColor(Qt::white));

} // namespace TreemapPainter
