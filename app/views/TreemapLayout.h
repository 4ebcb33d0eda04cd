// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's geometry: turns a folder-size tree into a flat list of
// coloured rectangles, and answers which rectangle lies under a point and
// which labels fit in it. No Qt: the painted item (TreemapItem) only draws
// what this unit computes, and the Overview's type chart takes its colours
// from color().
//
// Data flow: build() takes the folder being shown and a drawing rectangle,
// lays each level out with the squarified method (layout()): a folder's
// sub-folders, its files large enough for a readable tile of their own, and
// the rest of its files as one "N files" tile. It folds small items into one
// "Other" remainder at levels 1 and deeper (mergeSmall()), and recurses into
// folders that have room, appending cells in pre-order to a Map. Cells point
// into the caller's tree and into the Map's own nodes for files, file groups
// and remainders; nothing of the tree is copied. The tree must outlive the
// Map.
#pragma once

#include "Records.h"

#include <deque>
#include <vector>

namespace TreemapLayout {

// A rectangle in the drawing area's own points: origin top-left, y down.
struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double area() const { return width * height; }
    // Half-open: a point on the right or bottom edge lies in the neighbour.
    bool contains(double px, double py) const
    {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
};

// Hue, saturation, brightness and opacity, each 0 to 1.
struct Color
{
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    double opacity = 1;
};

struct Placed
{
    const DiskNode* node = nullptr;
    Rect rect;
};

// What a cell stands for: a folder, one file, the rest of a folder's files
// (its node's path is that folder's), or the merged remainder of small items.
enum class Kind { Folder, File, Files, Other };

struct Cell
{
    const DiskNode* node = nullptr;
    Rect rect;
    int level = 0;
    Color color;
    bool isContainer = false; // its children are laid out inside it
    Kind kind = Kind::Folder;
};

// The cells of one drawing, in pre-order (a container before the cells inside
// it), and the merged "Other" nodes some of them stand for. A cell's identity
// is its index in `cells`.
struct Map
{
    std::vector<Cell> cells;
    std::deque<DiskNode> remainders; // stable addresses for Cell::node: the folders
                                     // laid out, files, file groups and merged
                                     // remainders

    void clear()
    {
        cells.clear();
        remainders.clear();
    }
};

// The path of a merged remainder node: no real folder has it.
inline constexpr const char* remainderPath = "other";

// Squarified layout of one level (Bruls, Huizing and van Wijk, "Squarified
// Treemaps", 2000): nodes largest first, rows along the shorter side of the
// free rectangle, a row closed as soon as adding the next node would worsen
// its worst aspect ratio (ties keep adding). Nodes of size 0 or less get no
// rectangle; a rectangle 2 points wide or high (or less) gets none at all.
// Returns (node, rectangle) pairs largest first.
std::vector<Placed> layout(std::vector<const DiskNode*> nodes, const Rect& in);

// Keeps the nodes (largest first) whose share of the total is at least
// minShare, at most maxCount of them, and folds the rest into one remainder
// node appended last, stored in `remainders` (named "cat.other", path
// "other", no children). A list whose total is below 1 comes back unchanged.
std::vector<const DiskNode*> mergeSmall(std::vector<const DiskNode*> nodes,
                                        std::deque<DiskNode>& remainders, double minShare = 0.012,
                                        int maxCount = 14);

// The smallest area of a file's own tile (72 × 28 points): a file that would
// get less is drawn in its folder's "N files" tile.
inline constexpr double kFileTileArea = 72.0 * 28.0;
// The header strip a container keeps for its name above its children.
inline constexpr double kHeaderHeight = 16;

// Lays the folder's items out in `in` at `level` and appends their cells
// (and, for containers, their children's cells) to out. A folder's items are
// its sub-folders, each of its named files whose share of the rectangle is at
// least kFileTileArea, and one "N files" node for the rest of its files (its
// path the folder's). Level 0 lists are laid out whole; deeper lists are
// merged first (level 1: share 0.01, 22 kept; deeper: share 0.025, 14 kept).
// A folder's cell is a container when level + 1 < maxLevel, it has items and
// its cell, shrunk by the level's inset and a kHeaderHeight strip on top,
// keeps more than 8 points each way; its items go there, so nothing covers
// its name. Level-0 cells take colour index = their position; deeper cells
// inherit `branch`, their top-level ancestor's index.
void build(const DiskNode& folder, const Rect& in, int level, int maxLevel, int branch, Map& out);
// The same for a list of folders without files of their own.
void build(const std::vector<DiskNode>& nodes, const Rect& in, int level, int maxLevel, int branch,
           Map& out);

// "N files" in the current language ("1 file" in English for one).
std::string filesName(int64_t count);

// The colour build() gives a cell of colour index `index` (not negative) at
// `level`: the hue table entry index % 10, saturation and brightness fading
// with depth.
Color color(int index, int level);

// The cell under a point: the deepest level wins, then the smaller area, then
// the earlier cell. -1 when no cell contains it.
int cellAt(const Map& map, double x, double y);

// Which labels a cell shows and their font sizes in points.
struct Labels
{
    bool name = false;
    bool size = false;
    double nameSize = 0;
    double sizeSize = 0;
};

// Cells 1 point or less wide or high are not drawn at all.
bool drawn(const Cell& cell);
// The name may show when the cell is taller than 18 and wider than 40; the
// size below it only on a plain tile taller than 30 and wider than 70. The
// painter draws each only where its text fits.
Labels labels(const Cell& cell);

// The relative luminance of an sRGB colour (channels 0 to 1), and the
// contrast ratio of two luminances, as WCAG 2 defines them.
double luminance(double red, double green, double blue);
double contrast(double luminanceA, double luminanceB);

} // namespace TreemapLayout
