// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's geometry: squarified rows, merging, nesting, colours,
// hit-testing and label rules, on small hand-built trees.
#include "TreemapLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace TreemapLayout;

namespace {

FolderDraft draftOf(const DiskNode& n)
{
    FolderDraft d;
    d.name = n.name();
    d.path = n.path();
    d.size = n.size();
    d.fileCount = n.fileCount();
    d.fileBytes = n.fileBytes();
    d.files = n.files();
    for (const DiskNode c : n.children())
        d.children.push_back(draftOf(c));
    return d;
}

FolderDraft draft(const std::string& name, int64_t size, const std::vector<DiskNode>& children = {})
{
    FolderDraft n;
    n.name = name;
    n.path = "/h/" + name;
    n.size = size;
    for (const DiskNode& c : children)
        n.children.push_back(draftOf(c));
    return n;
}

DiskNode node(const std::string& name, int64_t size, const std::vector<DiskNode>& children = {})
{
    return DiskNode(draft(name, size, children));
}

std::vector<const DiskNode*> pointers(const std::vector<DiskNode>& nodes)
{
    std::vector<const DiskNode*> out;
    for (const auto& n : nodes)
        out.push_back(&n);
    return out;
}

void expectRect(const Rect& r, double x, double y, double w, double h)
{
    EXPECT_DOUBLE_EQ(r.x, x);
    EXPECT_DOUBLE_EQ(r.y, y);
    EXPECT_DOUBLE_EQ(r.width, w);
    EXPECT_DOUBLE_EQ(r.height, h);
}

Cell cellOf(double w, double h, bool container)
{
    return Cell{nullptr, Rect{0, 0, w, h}, 1, color(0, 1), container};
}

} // namespace

TEST(TreemapLayout, NothingForThinRectanglesOrEmptySizes)
{
    const std::vector<DiskNode> some{node("a", 10), node("b", 5)};
    EXPECT_TRUE(layout(pointers(some), Rect{0, 0, 2, 100}).empty());
    EXPECT_TRUE(layout(pointers(some), Rect{0, 0, 100, 2}).empty());
    EXPECT_EQ(layout(pointers(some), Rect{0, 0, 3, 3}).size(), 2u);

    const std::vector<DiskNode> zeros{node("a", 0), node("b", 0), node("c", -4)};
    EXPECT_TRUE(layout(pointers(zeros), Rect{0, 0, 100, 100}).empty());
    EXPECT_TRUE(layout({}, Rect{0, 0, 100, 100}).empty());

    const std::vector<DiskNode> mixed{node("zero", 0), node("small", 1), node("big", 3)};
    const auto placed = layout(pointers(mixed), Rect{0, 0, 40, 10});
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].node->name(), "big");
    EXPECT_EQ(placed[1].node->name(), "small");
}

TEST(TreemapLayout, SquarifiedRowsInASquare)
{
    // Two equal halves of a square tie on the worst ratio (2 either way): a
    // tie does not close the row, so they stand side by side.
    const std::vector<DiskNode> two{node("a", 7), node("b", 7)};
    const auto halves = layout(pointers(two), Rect{0, 0, 100, 100});
    ASSERT_EQ(halves.size(), 2u);
    expectRect(halves[0].rect, 0, 0, 50, 100);
    expectRect(halves[1].rect, 50, 0, 50, 100);

    // Three equal thirds: the third would worsen the row (4/3 to 3), so two
    // share a top strip and the third fills the rest, laid along its short side.
    const std::vector<DiskNode> three{node("a", 1), node("b", 1), node("c", 1)};
    const auto thirds = layout(pointers(three), Rect{10, 20, 90, 90});
    ASSERT_EQ(thirds.size(), 3u);
    expectRect(thirds[0].rect, 10, 20, 45, 60);
    expectRect(thirds[1].rect, 55, 20, 45, 60);
    expectRect(thirds[2].rect, 10, 80, 90, 30);

    // A wide rectangle starts with a vertical strip at its left.
    const std::vector<DiskNode> wide{node("a", 3), node("b", 1)};
    const auto strips = layout(pointers(wide), Rect{0, 0, 200, 100});
    ASSERT_EQ(strips.size(), 2u);
    expectRect(strips[0].rect, 0, 0, 150, 100);
    expectRect(strips[1].rect, 150, 0, 50, 100);
}

TEST(TreemapLayout, AreasFollowSizesAndStayInside)
{
    std::vector<DiskNode> many;
    for (int i = 1; i <= 40; ++i)
        many.push_back(node("n" + std::to_string(i), i * i));
    const Rect in{3, 4, 1072, 560};
    const auto placed = layout(pointers(many), in);
    ASSERT_EQ(placed.size(), many.size());
    double total = 0;
    for (const auto& n : many)
        total += static_cast<double>(n.size());
    for (size_t i = 0; i < placed.size(); ++i) {
        const auto& r = placed[i].rect;
        if (i > 0) {
            EXPECT_GE(placed[i - 1].node->size(), placed[i].node->size());
        }
        EXPECT_NEAR(r.area(), in.area() * static_cast<double>(placed[i].node->size()) / total,
                    1e-6);
        EXPECT_GE(r.x, in.x - 1e-9);
        EXPECT_GE(r.y, in.y - 1e-9);
        EXPECT_LE(r.x + r.width, in.x + in.width + 1e-6);
        EXPECT_LE(r.y + r.height, in.y + in.height + 1e-6);
    }
}

TEST(TreemapMerge, FoldsSmallNodesIntoOneRemainder)
{
    std::deque<DiskNode> remainders;

    std::vector<DiskNode> thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back(node("n" + std::to_string(i), 100));
    const auto kept = mergeSmall(pointers(thirty), remainders, 0.01, 22);
    ASSERT_EQ(kept.size(), 23u);
    EXPECT_EQ(kept[0], &thirty[0]); // stable: equal sizes keep their order
    EXPECT_EQ(kept[21], &thirty[21]);
    EXPECT_EQ(kept[22]->path(), remainderPath);
    EXPECT_EQ(kept[22]->size(), 800);
    EXPECT_TRUE(kept[22]->children().empty());
    EXPECT_EQ(remainders.size(), 1u);

    // Shares below the threshold go to the remainder whatever the count.
    const std::vector<DiskNode> skewed{node("tiny", 1), node("big", 1000), node("small", 11)};
    const auto merged = mergeSmall(pointers(skewed), remainders, 0.012, 14);
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0]->name(), "big");
    EXPECT_EQ(merged[1]->size(), 12);

    // Nothing to merge: no remainder node.
    const std::vector<DiskNode> even{node("a", 5), node("b", 5)};
    EXPECT_EQ(mergeSmall(pointers(even), remainders).size(), 2u);

    // A total below 1 comes back unchanged, unsorted.
    const std::vector<DiskNode> empty{node("a", 0), node("b", 0)};
    EXPECT_EQ(mergeSmall(pointers(empty), remainders), pointers(empty));
    EXPECT_TRUE(mergeSmall({}, remainders).empty());
    EXPECT_EQ(remainders.size(), 2u);
}

TEST(TreemapBuild, ThirtyEqualChildrenAtLevelOneLayTheRemainderFirst)
{
    std::vector<DiskNode> thirty;
    for (int i = 0; i < 30; ++i)
        thirty.push_back(node("n" + std::to_string(i), 100));
    Map map;
    build(thirty, Rect{0, 0, 600, 400}, 1, 3, 4, map);
    ASSERT_EQ(map.cells.size(), 23u);
    EXPECT_EQ(map.cells[0].node->path(), remainderPath);
    EXPECT_EQ(map.cells[0].node->size(), 800);
    for (const auto& cell : map.cells) {
        EXPECT_EQ(cell.level, 1);
        EXPECT_DOUBLE_EQ(cell.color.hue, color(4, 1).hue); // the branch's colour
    }
}

TEST(TreemapBuild, ContainersFollowMaxLevel)
{
    const std::vector<DiskNode> tree{
        node("a", 60, {node("a1", 30, {node("a11", 20)}), node("a2", 20)}),
        node("b", 40), // no children: never a container
    };
    const Rect in{0, 0, 400, 300};

    Map one;
    build(tree, in, 0, 1, 0, one);
    ASSERT_EQ(one.cells.size(), 2u);
    EXPECT_FALSE(one.cells[0].isContainer);
    EXPECT_FALSE(one.cells[1].isContainer);

    Map two;
    build(tree, in, 0, 2, 0, two);
    ASSERT_EQ(two.cells.size(), 4u); // a, a1, a2, b in pre-order
    EXPECT_EQ(two.cells[0].node->name(), "a");
    EXPECT_TRUE(two.cells[0].isContainer);
    EXPECT_EQ(two.cells[1].node->name(), "a1");
    EXPECT_FALSE(two.cells[1].isContainer); // has a child, but level 2 is not drawn
    EXPECT_EQ(two.cells[2].node->name(), "a2");
    EXPECT_EQ(two.cells[3].node->name(), "b");
    EXPECT_FALSE(two.cells[3].isContainer);

    Map three;
    build(tree, in, 0, 3, 0, three);
    ASSERT_EQ(three.cells.size(), 5u);
    EXPECT_TRUE(three.cells[1].isContainer);
    EXPECT_EQ(three.cells[2].node->name(), "a11");
    EXPECT_EQ(three.cells[2].level, 2);
    // Every descendant carries its top-level ancestor's colour index (0); the
    // second top-level folder takes index 1.
    EXPECT_DOUBLE_EQ(three.cells[2].color.hue, 0.47);
    EXPECT_DOUBLE_EQ(three.cells[4].color.hue, 0.55);
}

TEST(TreemapBuild, ContainersKeepTheirHeaderOrStayPlain)
{
    const std::vector<DiskNode> tree{node("a", 10, {node("a1", 10)})};
    struct Case
    {
        double height;
        size_t cells;
        double childY;
        double childHeight;
    };
    // Level-0 inset is 5; the header strip always takes 16 more off the top,
    // and a cell without room below it is a plain tile, its name uncovered.
    for (const Case c :
         {Case{52, 2, 21, 26}, Case{53, 2, 21, 27}, Case{35, 2, 21, 9}, Case{34, 1, 0, 0}}) {
        Map map;
        build(tree, Rect{0, 0, 100, c.height}, 0, 2, 0, map);
        ASSERT_EQ(map.cells.size(), c.cells) << c.height;
        if (c.cells == 2) {
            expectRect(map.cells[1].rect, 5, c.childY, 90, c.childHeight);
            EXPECT_EQ(map.cells[1].level, 1);
        }
    }
    // Deeper levels use a smaller inset: 3.5 at level 1, at least 2 below.
    const std::vector<DiskNode> deep{
        node("a", 10, {node("b", 10, {node("c", 10, {node("d", 10)})})})};
    Map map;
    build(deep, Rect{0, 0, 200, 200}, 0, 4, 0, map);
    ASSERT_EQ(map.cells.size(), 4u);
    expectRect(map.cells[2].rect, 8.5, 40.5, 183, 151);
    expectRect(map.cells[3].rect, 10.5, 58.5, 179, 131);
}

// A folder's files: those large enough for a readable tile get their own,
// the rest share one "N files" tile whose path is the folder's.
TEST(TreemapBuild, FilesGetTilesWhenReadableAndTheRestOneTile)
{
    FolderDraft folderDraft = draft("f", 0, {node("sub", 400)});
    folderDraft.files = {{"movie.mkv", 500}, {"notes.txt", 2}};
    folderDraft.fileCount = 7;
    folderDraft.fileBytes = 600;
    folderDraft.size = 1000;
    const DiskNode folder(folderDraft);
    Map map;
    build(folder, Rect{0, 0, 400, 100}, 0, 1, 0, map);
    ASSERT_EQ(map.cells.size(), 3u);
    const auto find = [&](Kind kind) -> const Cell* {
        for (const auto& c : map.cells)
            if (c.kind == kind)
                return &c;
        return nullptr;
    };
    const Cell* movie = find(Kind::File);
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie->node->name(), "movie.mkv");
    EXPECT_EQ(movie->node->path(), "/h/f/movie.mkv");
    EXPECT_FALSE(movie->isContainer);
    const Cell* rest = find(Kind::Files);
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->node->path(), "/h/f");
    EXPECT_EQ(rest->node->size(), 100);
    EXPECT_EQ(find(Kind::Folder)->node->name(), "sub");

    // In a smaller rectangle the same file falls below a readable tile.
    Map small;
    build(folder, Rect{0, 0, 60, 60}, 0, 1, 0, small);
    ASSERT_EQ(small.cells.size(), 2u);
    for (const auto& c : small.cells)
        EXPECT_NE(c.kind, Kind::File);

    // A folder holding only files is a container of them one level down.
    FolderDraft downloads = draft("Downloads", 1000);
    downloads.fileCount = 1;
    downloads.fileBytes = 1000;
    downloads.files = {{"big.iso", 1000}};
    DiskNode home = node("home", 1000, {DiskNode(downloads)});
    Map nested;
    build(home, Rect{0, 0, 400, 300}, 0, 2, 0, nested);
    ASSERT_EQ(nested.cells.size(), 2u);
    EXPECT_TRUE(nested.cells[0].isContainer);
    EXPECT_EQ(nested.cells[1].kind, Kind::File);
    EXPECT_EQ(nested.cells[1].level, 1);
}

TEST(TreemapBuild, FilesNameSaysOneInTheSingular)
{
    setenv("TID_LANG", "en", 1);
    EXPECT_EQ(filesName(1), "1 file");
    EXPECT_EQ(filesName(2), "2 files");
    setenv("TID_LANG", "zh", 1);
    EXPECT_EQ(filesName(3), "3 个文件");
    unsetenv("TID_LANG");
}

TEST(TreemapLabels, InkContrastFollowsWcag)
{
    EXPECT_NEAR(contrast(luminance(1, 1, 1), luminance(0, 0, 0)), 21.0, 1e-9);
    EXPECT_NEAR(luminance(0.5, 0.5, 0.5), 0.2140, 1e-4);
    EXPECT_DOUBLE_EQ(contrast(0.3, 0.3), 1.0);
}

TEST(TreemapColor, HueTableWithFadingDepth)
{
    struct Case
    {
        int index;
        int level;
        double hue;
        double saturation;
        double brightness;
    };
    for (const Case c : {Case{0, 0, 0.47, 0.52, 0.82}, Case{12, 0, 0.34, 0.52, 0.82},
                         Case{9, 1, 0.13, 0.47, 0.72}, Case{3, 3, 0.09, 0.37, 0.52},
                         Case{7, 5, 0.02, 0.28, 0.42}, Case{1, 9, 0.55, 0.28, 0.42}}) {
        const Color got = color(c.index, c.level);
        EXPECT_DOUBLE_EQ(got.hue, c.hue) << c.index << "/" << c.level;
        EXPECT_NEAR(got.saturation, c.saturation, 1e-12) << c.index << "/" << c.level;
        EXPECT_NEAR(got.brightness, c.brightness, 1e-12) << c.index << "/" << c.level;
        EXPECT_DOUBLE_EQ(got.opacity, 1.0);
    }
}

TEST(TreemapHit, DeepestThenSmallestThenFirst)
{
    const std::vector<DiskNode> tree{node("a", 10, {node("a1", 6), node("a2", 4)})};
    Map map;
    build(tree, Rect{0, 0, 200, 100}, 0, 2, 0, map);
    ASSERT_EQ(map.cells.size(), 3u);
    const Rect child = map.cells[1].rect;
    // Over a child: the child, not its container.
    EXPECT_EQ(cellAt(map, child.x + 1, child.y + 1), 1);
    // In the header strip, where no child lies: the container.
    EXPECT_EQ(cellAt(map, 50, 10), 0);
    // Outside every cell.
    EXPECT_EQ(cellAt(map, 250, 10), -1);
    EXPECT_EQ(cellAt(map, -1, -1), -1);

    // Overlapping cells of one level: the smaller one, then the first listed.
    DiskNode n = node("x", 1);
    Map manual;
    manual.cells = {
        Cell{&n, Rect{0, 0, 100, 100}, 1, {}, false}, Cell{&n, Rect{10, 10, 20, 20}, 1, {}, false},
        Cell{&n, Rect{10, 10, 20, 20}, 1, {}, false}, Cell{&n, Rect{0, 0, 300, 300}, 0, {}, true}};
    EXPECT_EQ(cellAt(manual, 15, 15), 1);
    EXPECT_EQ(cellAt(manual, 50, 50), 0);
    EXPECT_EQ(cellAt(manual, 200, 200), 3);
}

TEST(TreemapLabels, SizeThresholds)
{
    struct Case
    {
        double width;
        double height;
        bool container;
        bool name;
        bool size;
        double nameSize;
    };
    for (const Case c : {
             Case{40, 100, false, false, false, 0},
             Case{41, 19, false, true, false, 8},
             Case{41, 18, false, false, false, 0},
             Case{71, 31, false, true, true, 8},
             Case{70, 31, false, true, false, 8},
             Case{71, 30, false, true, false, 8},
             Case{300, 200, true, true, false, 11.5},
             Case{120, 40, false, true, true, 10},
         }) {
        const Labels l = labels(cellOf(c.width, c.height, c.container));
        EXPECT_EQ(l.name, c.name) << c.width << "x" << c.height;
        EXPECT_EQ(l.size, c.size) << c.width << "x" << c.height;
        if (l.name) {
            EXPECT_DOUBLE_EQ(l.nameSize, c.nameSize) << c.width << "x" << c.height;
        }
        if (l.size) {
            EXPECT_DOUBLE_EQ(l.sizeSize, std::max(c.nameSize - 1.5, 7.5));
        }
    }
    EXPECT_FALSE(drawn(cellOf(1, 50, false)));
    EXPECT_FALSE(drawn(cellOf(50, 1, false)));
    EXPECT_TRUE(drawn(cellOf(1.5, 1.5, false)));
}
