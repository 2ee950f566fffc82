#include "toolpaths/optimize_toolpaths.h"

#include "common/error.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace corvane::toolpaths {

namespace {

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

// Regions with the same first segment (bit for bit) lie at the same distance from every
// point, so of them only the lowest index still to be taken can ever win a search: they
// share one entry, which hands out its regions in ascending order.
struct SameStart {
    std::vector<std::size_t> regions; // ascending
    std::size_t next = 0;             // regions[next] is the next to cut

    bool empty() const { return next == regions.size(); }
    std::size_t front() const { return regions[next]; }
};

std::array<std::uint64_t, 4> startKey(const TMyEntity& s)
{
    return {std::bit_cast<std::uint64_t>(s.x1), std::bit_cast<std::uint64_t>(s.y1),
            std::bit_cast<std::uint64_t>(s.x2), std::bit_cast<std::uint64_t>(s.y2)};
}

std::vector<SameStart> groupSameStarts(const TRegionArray& regions)
{
    std::vector<std::size_t> indices;
    for (std::size_t i = 1; i < regions.size(); ++i)
        if (!regions[i].entities.empty())
            indices.push_back(i);
    std::stable_sort(indices.begin(), indices.end(), [&](std::size_t a, std::size_t b) {
        return startKey(regions[a].entities[0]) < startKey(regions[b].entities[0]);
    });
    std::vector<SameStart> groups;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        if (k == 0 || startKey(regions[indices[k]].entities[0]) !=
                          startKey(regions[indices[k - 1]].entities[0]))
            groups.emplace_back();
        groups.back().regions.push_back(indices[k]); // ascending: the sort was stable
    }
    return groups;
}

// A bounding-volume tree over the groups' first segments, with a count of the groups still
// holding a region to be taken below each node so that emptied branches are passed over.
class FirstSegmentTree {
public:
    explicit FirstSegmentTree(const TRegionArray& regions)
        : regions_(regions), groups_(groupSameStarts(regions))
    {
        for (std::size_t g = 0; g < groups_.size(); ++g) {
            items_.push_back(g);
            count_ += groups_[g].regions.size();
        }
        leafOf_.assign(groups_.size(), -1);
        groupOf_.assign(regions.size(), 0);
        for (std::size_t g = 0; g < groups_.size(); ++g)
            for (std::size_t region : groups_[g].regions)
                groupOf_[region] = g;
        if (!items_.empty())
            build(0, items_.size(), -1);
    }

    // The regions with a first segment.
    std::size_t size() const { return count_; }

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
        SameStart& group = groups_[groupOf_[region]];
        ++group.next;
        if (!group.empty())
            return;
        for (int n = leafOf_[groupOf_[region]]; n >= 0; n = nodes_[std::size_t(n)].parent)
            --nodes_[std::size_t(n)].alive;
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
        double distance = std::numeric_limits<double>::infinity();
        std::size_t region = 0; // 0: nothing found yet
    };

    const TMyEntity& firstSegment(std::size_t group) const
    {
        return regions_[groups_[group].regions[0]].entities[0];
    }

    int build(std::size_t begin, std::size_t end, int parent)
    {
        const int index = int(nodes_.size());
        nodes_.push_back({});
        Box box = boxOf(firstSegment(items_[begin]));
        for (std::size_t k = begin + 1; k < end; ++k)
            box = unite(box, boxOf(firstSegment(items_[k])));
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
        auto centre = [&](std::size_t group) {
            const Box b = boxOf(firstSegment(group));
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
                const SameStart& group = groups_[items_[k]];
                if (group.empty())
                    continue;
                const std::size_t region = group.front();
                const double d = segmentDistance(p.x, p.y, regions_[region].entities[0]);
                if (best.region == 0 || d < best.distance ||
                    (d == best.distance && region < best.region)) {
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
    std::vector<SameStart> groups_;
    std::vector<std::size_t> items_; // group indices, in tree order
    std::vector<Node> nodes_;
    std::vector<int> leafOf_;          // per group
    std::vector<std::size_t> groupOf_; // per region
    std::size_t count_ = 0;
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
    double best = std::numeric_limits<double>::infinity();
    int result = -1;
    for (std::size_t i = 1; i < work.size(); ++i) {
        if (onlyMarked && !work[i].marked)
            continue;
        for (std::size_t k = 0; k < work[i].entities.size(); ++k) {
            const double d = segmentDistance(px, py, work[i].entities[k]);
            if (result < 0 || d < best) {
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

std::vector<std::size_t> OptimizeToolpaths(const TRegionArray& regions, RunControl& control)
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
    // About a hundred progress points, and never fewer than a thousand picks between
    // checks, so the checks cost nothing next to the searches.
    const std::size_t stride = std::max<std::size_t>(tree.size() / 100, 1024);
    for (std::size_t k = 0; k < tree.size(); ++k) {
        if (k % stride == 0 && k > 0) {
            control.showProgress(ProgressDisplay::Gauge, int(k * 100 / tree.size()));
            control.checkpoint();
            if (control.escapePressed() || control.takeStopRequest()) {
                control.endProgress(ProgressDisplay::Gauge);
                throw Cancelled();
            }
        }
        const std::size_t region = tree.nearest(p, margin);
        if (region == 0)
            break;
        tree.take(region);
        order.push_back(region);
        p = {regions[region].entities[0].x1, regions[region].entities[0].y1};
    }
    control.endProgress(ProgressDisplay::Gauge);
    return order;
}

} // namespace corvane::toolpaths
