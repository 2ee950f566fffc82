#include "toolpaths/post_process.h"

#include <algorithm>
#include <cmath>

namespace corvane::toolpaths {

namespace {

struct Point {
    double x, y;
};

TMyEntity segmentBetween(Point a, Point b)
{
    return makeSegment(a.x, a.y, b.x, b.y);
}

// One coordinate of the span through p0..p3 at t, as t(t(at + b) + c) + d.
double splineAt(double p0, double p1, double p2, double p3, double t)
{
    const double a = (-1 * p0 + 3 * p1 - 3 * p2 + 1 * p3) / 6;
    const double b = (3 * p0 - 6 * p1 + 3 * p2 + 0 * p3) / 6;
    const double c = (-3 * p0 + 0 * p1 + 3 * p2 + 0 * p3) / 6;
    const double d = (1 * p0 + 4 * p1 + 1 * p2 + 0 * p3) / 6;
    return t * (t * (a * t + b) + c) + d;
}

Point directionOf(const TMyEntity& s)
{
    const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < 1e-10)
        return {dx * 10000, dy * 10000};
    return {dx / length, dy / length};
}

void removeMarked(TRegionArray& list)
{
    if (list.empty())
        return;
    list.erase(
        std::remove_if(list.begin() + 1, list.end(), [](const TRegion& r) { return r.marked; }),
        list.end());
}

void clearMarks(TRegionArray& list)
{
    for (TRegion& r : list)
        r.marked = false;
}

} // namespace

bool ReduceRegion(TRegion& region, int N)
{
    N = std::max(N, 1);
    const std::size_t n = region.entities.size();
    if (n == 0 || (n - 1) / std::size_t(N) < 1)
        return false;
    const std::size_t last = (n - 1) / std::size_t(N);
    std::vector<Point> vertices;
    vertices.reserve(last + 2);
    for (std::size_t k = 0; k <= last; ++k) {
        const TMyEntity& s = region.entities[k * std::size_t(N)];
        vertices.push_back({s.x1, s.y1});
    }
    vertices.push_back({region.entities.back().x2, region.entities.back().y2});

    TMyEntityArray reduced;
    reduced.reserve(last + 1);
    for (std::size_t k = 1; k < vertices.size(); ++k)
        reduced.push_back(segmentBetween(vertices[k - 1], vertices[k]));
    region.entities = std::move(reduced);
    recomputeBox(region);
    return true;
}

TRegion CurveFitRegion(const TRegion& region, int m)
{
    const std::size_t n = region.entities.size();
    if (n < 2)
        return region;
    m = std::max(m, 1);

    // P[1..n] the segments' starts, P[n+1] the last end, P[0] and P[n+2] as the ends demand.
    std::vector<Point> p(n + 3);
    for (std::size_t i = 0; i < n; ++i)
        p[i + 1] = {region.entities[i].x1, region.entities[i].y1};
    p[n + 1] = {region.entities.back().x2, region.entities.back().y2};
    if (region.open) {
        p[0] = p[1];
        p[n + 2] = p[n + 1];
    } else {
        p[0] = p[n + 1];
        p[n + 2] = p[2];
    }

    TRegion fitted = region;
    fitted.entities.clear();
    fitted.entities.reserve(n * std::size_t(m) + 1);
    const Point first{splineAt(p[0].x, p[1].x, p[2].x, p[3].x, 0),
                      splineAt(p[0].y, p[1].y, p[2].y, p[3].y, 0)};
    Point previous = first;
    for (std::size_t i = 1; i <= n; ++i)
        for (int k = 1; k <= m; ++k) {
            const double t = double(k) / m;
            const Point q{splineAt(p[i - 1].x, p[i].x, p[i + 1].x, p[i + 2].x, t),
                          splineAt(p[i - 1].y, p[i].y, p[i + 1].y, p[i + 2].y, t)};
            fitted.entities.push_back(segmentBetween(previous, q));
            previous = q;
        }
    if (!region.open)
        fitted.entities.push_back(segmentBetween(previous, first));
    return fitted;
}

void MergeCollinear(TRegion& region)
{
    if (region.entities.size() < 3)
        return;
    const TMyEntityArray& in = region.entities;
    TMyEntityArray merged;
    Point d = directionOf(in[0]);
    Point r{in[0].x1, in[0].y1};
    for (std::size_t k = 1; k < in.size(); ++k) {
        const Point dk = directionOf(in[k]);
        if (std::abs(d.x - dk.x) > 1e-8 || std::abs(d.y - dk.y) > 1e-8) {
            const Point sk{in[k].x1, in[k].y1};
            merged.push_back(segmentBetween(r, sk));
            d = dk;
            r = sk;
        }
    }
    merged.push_back(segmentBetween(r, {in.back().x2, in.back().y2}));
    region.entities = std::move(merged);
    recomputeBox(region);
}

bool PostProcessRegions(TRegionArray& list, const PostProcessing& options, RunControl& control)
{
    clearMarks(list);
    if (options.reduce) {
        for (std::size_t i = 1; i < list.size(); ++i)
            list[i].marked = !ReduceRegion(list[i], options.reduceStep);
        removeMarked(list);
    }
    if (options.curveFit)
        for (std::size_t i = 1; i < list.size(); ++i)
            list[i] = CurveFitRegion(list[i], options.curveFitSubdivisions);
    clearMarks(list);
    if (options.filter) {
        for (std::size_t i = 1; i < list.size(); ++i)
            list[i].marked =
                list[i].entities.size() < std::size_t(std::max(options.filterMinimum, 0));
        removeMarked(list);
    }
    for (std::size_t i = 1; i < list.size(); ++i) {
        control.checkpoint();
        if (control.escapePressed())
            return false;
        MergeCollinear(list[i]);
    }
    return true;
}

} // namespace corvane::toolpaths
