#include "toolpaths/optimize_toolpaths.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::toolpaths {

namespace {

constexpr double noneYet = 1e99;

struct Point {
    double x, y;
};

// The lower-left corner of the bounding boxes of every segment, as stored.
Point startPoint(const TRegionArray& regions)
{
    bool first = true;
    Point p{0, 0};
    for (std::size_t i = 1; i < regions.size(); ++i)
        for (const TMyEntity& s : regions[i].entities) {
            p.x = first ? s.minX : std::min(p.x, s.minX);
            p.y = first ? s.minY : std::min(p.y, s.minY);
            first = false;
        }
    return p;
}

struct Box {
    double minX, minY, maxX, maxY;
};

// From the end points: the stored box of a segment scaled after slicing is stale.
Box boxOf(const TMyEntity& s)
{
    return {std::min(s.x1, s.x2), std::min(s.y1, s.y2), std::max(s.x1, s.x2), std::max(s.y1, s.y2)};
}

Box unite(const Box& a, const Box& b)
{
    return {std::min(a.minX, b.minX), std::min(a.minY, b.minY), std::max(a.maxX, b.maxX),
            std::max(a.maxY, b.maxY)};
}

// No segment in the box can lie nearer to P than this (squared).
double lowerBound(const Box& b, Point p)
{
    const double dx = std::max({b.minX - p.x, 0.0, p.x - b.maxX});
    const double dy = std::max({b.minY - p.y, 0.0, p.y - b.maxY});
    return dx * dx + dy * dy;
}

// A bounding-volume tree over the regions' first segments, with a count of the regions
// still to be taken below each node so that emptied branches are passed over.
class FirstSegmentTree {
public:
    explicit FirstSegmentTree(const TRegionArray& regions) : regions_(regions)
    {
        for (std::size_t i = 1; i < regions.size(); ++i)
            if (!regions[i].entities.empty())
                items_.push_back(i);
        leafOf_.assign(regions.size(), -1);
        taken_.assign(regions.size(), false);
        if (!items_.empty())
            build(0, items_.size(), -1);
    }

    std::size_t size() const { return items_.size(); }

    // The region to cut next from P, or 0 when none is left. Branches are passed over only
    // when their bound exceeds the best distance by more than `margin`.
    std::size_t nearest(Point p, double margin) const
    {
        Best best;
        if (!nodes_.empty())
            search(0, p, margin, best);
        return best.region;
    }

    void take(std::size_t region)
    {
        for (int n = leafOf_[region]; n >= 0; n = nodes_[std::size_t(n)].parent)
            --nodes_[std::size_t(n)].alive;
        taken_[region] = true;
    }

    Box sceneBox() const { return nodes_.empty() ? Box{0, 0, 0, 0} : nodes_[0].box; }

private:
    struct Node {
        Box box;
        int parent;
        int left = -1, right = -1; // children, or -1 for a leaf
        std::size_t begin, end;    // the leaf's items
        std::size_t alive;
    };
    struct Best {
        double distance = noneYet;
        std::size_t region = 0;
    };

    int build(std::size_t begin, std::size_t end, int parent)
    {
        const int index = int(nodes_.size());
        nodes_.push_back({});
        Box box = boxOf(regions_[items_[begin]].entities[0]);
        for (std::size_t k = begin + 1; k < end; ++k)
            box = unite(box, boxOf(regions_[items_[k]].entities[0]));
        {
            Node& node = nodes_.back();
            node.box = box;
            node.parent = parent;
            node.begin = begin;
            node.end = end;
            node.alive = end - begin;
        }
        if (end - begin <= 4) {
            for (std::size_t k = begin; k < end; ++k)
                leafOf_[items_[k]] = index;
            return index;
        }
        const bool alongX = box.maxX - box.minX >= box.maxY - box.minY;
        const std::size_t middle = begin + (end - begin) / 2;
        auto centre = [&](std::size_t region) {
            const Box b = boxOf(regions_[region].entities[0]);
            return alongX ? b.minX + b.maxX : b.minY + b.maxY;
        };
        std::nth_element(items_.begin() + std::ptrdiff_t(begin),
                         items_.begin() + std::ptrdiff_t(middle),
                         items_.begin() + std::ptrdiff_t(end),
                         [&](std::size_t a, std::size_t b) { return centre(a) < centre(b); });
        const int left = build(begin, middle, index);
        const int right = build(middle, end, index);
        nodes_[std::size_t(index)].left = left;
        nodes_[std::size_t(index)].right = right;
        return index;
    }

    void search(int index, Point p, double margin, Best& best) const
    {
        const Node& node = nodes_[std::size_t(index)];
        if (node.alive == 0 || lowerBound(node.box, p) > best.distance + margin)
            return;
        if (node.left < 0) {
            for (std::size_t k = node.begin; k < node.end; ++k) {
                const std::size_t region = items_[k];
                if (taken_[region])
                    continue;
                const double d = segmentDistance(p.x, p.y, regions_[region].entities[0]);
                if (d < best.distance ||
                    (d == best.distance && best.region != 0 && region < best.region)) {
                    best.distance = d;
                    best.region = region;
                }
            }
            return;
        }
        const Node& left = nodes_[std::size_t(node.left)];
        const Node& right = nodes_[std::size_t(node.right)];
        if (lowerBound(left.box, p) <= lowerBound(right.box, p)) {
            search(node.left, p, margin, best);
            search(node.right, p, margin, best);
        } else {
            search(node.right, p, margin, best);
            search(node.left, p, margin, best);
        }
    }

    const TRegionArray& regions_;
    std::vector<std::size_t> items_;
    std::vector<Node> nodes_;
    std::vector<int> leafOf_;
    std::vector<bool> taken_;
};

} // namespace

double segmentDistance(double px, double py, const TMyEntity& s)
{
    const double l = (px - s.x1) * (s.x2 - s.x1) + (py - s.y1) * (s.y2 - s.y1);
    const double toStart = (s.x1 - px) * (s.x1 - px) + (s.y1 - py) * (s.y1 - py);
    double d = toStart;
    if (l > 0) {
        const double L = (s.x2 - s.x1) * (s.x2 - s.x1) + (s.y2 - s.y1) * (s.y2 - s.y1);
        const double t = l / L;
        if (t < 1) {
            const double q = t * t * L;
            d = toStart - q >= 0 ? toStart - q : 0;
        }
    }
    return d;
}

int NearestRegion(const TRegionArray& work, double px, double py, bool onlyMarked,
                  std::size_t& owner)
{
    double best = noneYet;
    int result = -1;
    for (std::size_t i = 1; i < work.size(); ++i) {
        if (onlyMarked && !work[i].marked)
            continue;
        for (std::size_t k = 0; k < work[i].entities.size(); ++k) {
            const double d = segmentDistance(px, py, work[i].entities[k]);
            if (d < best) {
                best = d;
                owner = i;
                result = int(k);
            }
        }
    }
    return result;
}

std::vector<std::size_t> OptimizeToolpathsDirect(const TRegionArray& regions)
{
    std::vector<std::size_t> order;
    if (regions.size() < 2)
        return order;
    Point p = startPoint(regions);
    TRegionArray work(regions.size());
    for (std::size_t i = 1; i < regions.size(); ++i) {
        work[i].marked = true;
        if (!regions[i].entities.empty())
            work[i].entities.push_back(regions[i].entities[0]);
    }
    for (std::size_t k = 1; k < regions.size(); ++k) {
        std::size_t owner = 0;
        if (NearestRegion(work, p.x, p.y, true, owner) < 0)
            break;
        work[owner].marked = false;
        order.push_back(owner);
        p = {regions[owner].entities[0].x1, regions[owner].entities[0].y1};
    }
    return order;
}

std::vector<std::size_t> OptimizeToolpaths(const TRegionArray& regions)
{
    std::vector<std::size_t> order;
    if (regions.size() < 2)
        return order;
    Point p = startPoint(regions);
    FirstSegmentTree tree(regions);
    // Computed distances differ from the exact ones by a few units in the last place of the
    // largest squared coordinate difference; a margin far above that keeps every branch
    // that could hold the winner, ties included.
    const Box scene = unite(tree.sceneBox(), {p.x, p.y, p.x, p.y});
    const double diagonal2 = (scene.maxX - scene.minX) * (scene.maxX - scene.minX) +
                             (scene.maxY - scene.minY) * (scene.maxY - scene.minY);
    const double margin = 1e-9 * diagonal2;
    order.reserve(tree.size());
    for (std::size_t k = 0; k < tree.size(); ++k) {
        const std::size_t region = tree.nearest(p, margin);
        if (region == 0)
            break;
        tree.take(region);
        order.push_back(region);
        p = {regions[region].entities[0].x1, regions[region].entities[0].y1};
    }
    return order;
}

} // namespace corvane::toolpaths
