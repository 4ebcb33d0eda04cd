// SPDX-License-Identifier: GPL-3.0-or-later
#include "TreemapLayout.h"

#include "Text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace TreemapLayout {

namespace {

constexpr std::array<double, 10> hues{0.47, 0.55, 0.34, 0.09, 0.42, 0.50, 0.20, 0.02, 0.38, 0.13};

void sortLargestFirst(std::vector<const DiskNode*>& nodes)
{
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const DiskNode* a, const DiskNode* b) { return a->size() > b->size(); });
}

// The worst aspect ratio of a row of total area `sum`, smallest area `lo` and
// largest area `hi` laid along a side of length `side`.
double worst(double sum, double lo, double hi, double side)
{
    if (sum <= 0 || side <= 0 || lo <= 0)
        return std::numeric_limits<double>::infinity();
    const double s2 = side * side;
    return std::max(s2 * hi / (sum * sum), (sum * sum) / (s2 * lo));
}

double saturationAt(int level)
{
    return std::max(0.52 - 0.05 * level, 0.28);
}
double brightnessAt(int level)
{
    return std::max(0.82 - 0.1 * level, 0.42);
}
double insetAt(int level)
{
    return std::max(5 - 1.5 * level, 2.0);
}

// One item to lay out and what it stands for.
using Kinds = std::unordered_map<const DiskNode*, Kind>;

// Whether a folder has anything to lay out inside it.
bool hasItems(const DiskNode& folder)
{
    return !folder.children().empty() || folder.fileCount() > 0;
}

// Adds the folder's files to `nodes`: those whose share of `in` reaches a
// readable tile on their own, then one node for the rest.
void addFiles(const DiskNode& folder, const Rect& in, std::vector<const DiskNode*>& nodes,
              Kinds& kinds, Map& out)
{
    if (folder.fileCount() <= 0)
        return;
    double total = static_cast<double>(std::max<int64_t>(folder.fileBytes(), 0));
    for (const DiskNode child : folder.children())
        total += static_cast<double>(std::max<int64_t>(child.size(), 0));
    if (total <= 0)
        return;
    const double perByte = in.area() / total;
    int64_t shownCount = 0;
    int64_t shownBytes = 0;
    const std::string path = folder.path();
    const std::string prefix = path.ends_with('/') ? path : path + "/";
    for (const auto& file : folder.files()) {
        if (static_cast<double>(file.size) * perByte < kFileTileArea)
            break; // largest first
        DiskNode& n = out.remainders.emplace_back(
            FolderDraft{.name = file.name, .path = prefix + file.name, .size = file.size});
        kinds[&n] = Kind::File;
        nodes.push_back(&n);
        ++shownCount;
        shownBytes += file.size;
    }
    const int64_t restCount = folder.fileCount() - shownCount;
    const int64_t restBytes = folder.fileBytes() - shownBytes;
    if (restCount > 0 && restBytes > 0) {
        DiskNode& n = out.remainders.emplace_back(
            FolderDraft{.name = filesName(restCount), .path = path, .size = restBytes});
        kinds[&n] = Kind::Files;
        nodes.push_back(&n);
    }
}

Kind kindOf(const DiskNode* node, const Kinds& kinds)
{
    if (auto it = kinds.find(node); it != kinds.end())
        return it->second;
    return node->path() == remainderPath ? Kind::Other : Kind::Folder;
}

void buildLevel(const std::vector<const DiskNode*>& folders, const DiskNode* filesOf,
                const Rect& in, int level, int maxLevel, int branch, Map& out)
{
    std::vector<const DiskNode*> nodes = folders;
    Kinds kinds;
    if (filesOf)
        addFiles(*filesOf, in, nodes, kinds, out);
    if (level == 1)
        nodes = mergeSmall(std::move(nodes), out.remainders, 0.01, 22);
    else if (level >= 2)
        nodes = mergeSmall(std::move(nodes), out.remainders, 0.025, 14);
    const auto placed = layout(std::move(nodes), in);
    const double inset = insetAt(level);
    for (size_t i = 0; i < placed.size(); ++i) {
        const auto& [node, rect] = placed[i];
        const int index = level == 0 ? static_cast<int>(i) : branch;
        const Kind kind = kindOf(node, kinds);
        const Rect inner{rect.x + inset, rect.y + inset + kHeaderHeight, rect.width - 2 * inset,
                         rect.height - 2 * inset - kHeaderHeight};
        const bool container = kind == Kind::Folder && level + 1 < maxLevel && hasItems(*node) &&
                               inner.width > 8 && inner.height > 8;
        out.cells.push_back(Cell{node, rect, level, color(index, level), container, kind});
        if (!container)
            continue;
        std::vector<const DiskNode*> children;
        const auto inside = node->children();
        children.reserve(inside.size());
        for (DiskNode child : inside)
            children.push_back(&out.remainders.emplace_back(std::move(child)));
        buildLevel(children, node, inner, level + 1, maxLevel, index, out);
    }
}

} // namespace

std::vector<Placed> layout(std::vector<const DiskNode*> nodes, const Rect& in)
{
    std::vector<Placed> out;
    if (nodes.empty() || in.width <= 2 || in.height <= 2)
        return out;
    sortLargestFirst(nodes);
    std::erase_if(nodes, [](const DiskNode* n) { return n->size() <= 0; });
    double total = 0;
    for (const auto* n : nodes)
        total += static_cast<double>(n->size());
    if (nodes.empty() || total <= 0)
        return out;

    std::vector<double> areas;
    areas.reserve(nodes.size());
    for (const auto* n : nodes)
        areas.push_back(in.width * in.height / total * static_cast<double>(n->size()));

    out.reserve(nodes.size());
    Rect free = in;
    size_t next = 0;
    while (next < nodes.size()) {
        const double side = std::min(free.width, free.height);
        // Sorted largest first, so the row's largest area is its first and its
        // smallest its last.
        size_t end = next + 1;
        double sum = areas[next];
        double current = worst(sum, areas[next], areas[next], side);
        while (end < nodes.size()) {
            const double trial = worst(sum + areas[end], areas[end], areas[next], side);
            if (current < trial)
                break;
            sum += areas[end];
            current = trial;
            ++end;
        }

        const double thickness = sum / std::max(side, 1.0);
        if (free.height >= free.width) {
            double x = free.x;
            for (size_t i = next; i < end; ++i) {
                const double room = std::max(free.x + free.width - x, 0.0);
                const double length = thickness > 0 ? std::min(areas[i] / thickness, room) : 0;
                out.push_back({nodes[i], Rect{x, free.y, length, thickness}});
                x += length;
            }
            free.y += thickness;
            free.height = std::max(free.height - thickness, 0.0);
        } else {
            double y = free.y;
            for (size_t i = next; i < end; ++i) {
                const double room = std::max(free.y + free.height - y, 0.0);
                const double length = thickness > 0 ? std::min(areas[i] / thickness, room) : 0;
                out.push_back({nodes[i], Rect{free.x, y, thickness, length}});
                y += length;
            }
            free.x += thickness;
            free.width = std::max(free.width - thickness, 0.0);
        }
        next = end;
    }
    return out;
}

std::vector<const DiskNode*> mergeSmall(std::vector<const DiskNode*> nodes,
                                        std::deque<DiskNode>& remainders, double minShare,
                                        int maxCount)
{
    double total = 0;
    for (const auto* n : nodes)
        total += static_cast<double>(n->size());
    if (nodes.empty() || total < 1)
        return nodes;
    sortLargestFirst(nodes);

    std::vector<const DiskNode*> kept;
    int64_t rest = 0;
    for (const auto* n : nodes) {
        if (static_cast<double>(n->size()) / total >= minShare &&
            static_cast<int>(kept.size()) < maxCount)
            kept.push_back(n);
        else
            rest += n->size();
    }
    if (rest > 0) {
        DiskNode& other = remainders.emplace_back(
            FolderDraft{.name = L::s("cat.other"), .path = remainderPath, .size = rest});
        kept.push_back(&other);
    }
    return kept;
}

void build(const DiskNode& folder, const Rect& in, int level, int maxLevel, int branch, Map& out)
{
    std::vector<const DiskNode*> list;
    const auto children = folder.children();
    list.reserve(children.size());
    for (DiskNode n : children)
        list.push_back(&out.remainders.emplace_back(std::move(n)));
    buildLevel(list, &folder, in, level, maxLevel, branch, out);
}

void build(const std::vector<DiskNode>& nodes, const Rect& in, int level, int maxLevel, int branch,
           Map& out)
{
    std::vector<const DiskNode*> list;
    list.reserve(nodes.size());
    for (const auto& n : nodes)
        list.push_back(&n);
    buildLevel(list, nullptr, in, level, maxLevel, branch, out);
}

std::string filesName(int64_t count)
{
    return L::fCount("map.files", static_cast<long long>(count));
}

Color color(int index, int level)
{
    return Color{hues[static_cast<size_t>(index) % hues.size()], saturationAt(level),
                 brightnessAt(level), 1.0};
}

int cellAt(const Map& map, double x, double y)
{
    int best = -1;
    for (size_t i = 0; i < map.cells.size(); ++i) {
        const Cell& c = map.cells[i];
        if (!c.rect.contains(x, y))
            continue;
        if (best < 0) {
            best = static_cast<int>(i);
            continue;
        }
        const Cell& b = map.cells[static_cast<size_t>(best)];
        if (c.level > b.level || (c.level == b.level && c.rect.area() < b.rect.area()))
            best = static_cast<int>(i);
    }
    return best;
}

bool drawn(const Cell& cell)
{
    return cell.rect.width > 1 && cell.rect.height > 1;
}

Labels labels(const Cell& cell)
{
    Labels out;
    const auto& r = cell.rect;
    if (!drawn(cell) || r.height <= 18 || r.width <= 40)
        return out;
    out.name = true;
    out.nameSize = std::min(std::max(r.width / 12, 8.0), 11.5);
    if (!cell.isContainer && r.height > 30 && r.width > 70) {
        out.size = true;
        out.sizeSize = std::max(out.nameSize - 1.5, 7.5);
    }
    return out;
}

double luminance(double red, double green, double blue)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue);
}

double contrast(double luminanceA, double luminanceB)
{
    const double hi = std::max(luminanceA, luminanceB);
    const double lo = std::min(luminanceA, luminanceB);
    return (hi + 0.05) / (lo + 0.05);
}

} // namespace TreemapLayout
