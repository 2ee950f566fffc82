#include "relief/protect_moves.h"

#include "common/number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace corvane::relief {

namespace {

// std::floor for |v| < 2^63, without the library call the baseline instruction set needs.
double floorOf(double v)
{
    const double whole = double(static_cast<long long>(v));
    return whole > v ? whole - 1 : whole;
}

} // namespace

double writtenValue(double v)
{
    const double scaled = v * 1e4;
    const bool inRange = std::abs(scaled) < 1e15;
    const double below = inRange ? floorOf(scaled) : 0;
    // Near an exact half the product may have rounded across it: let the writer's own
    // rounding decide.
    if (!inRange || std::abs(scaled - below - 0.5) < 1e-6) {
        char text[MaxFixedLength];
        const char* end = formatFixed(text, v, 4);
        double read = v;
        std::from_chars(text, end, read);
        return read;
    }
    return (scaled - below > 0.5 ? below + 1 : below) / 1e4;
}

namespace {

// The smallest written value that is not below v.
double writtenAtLeast(double v)
{
    double k = std::ceil(v * 1e4);
    while (k / 1e4 < v)
        ++k;
    return k / 1e4;
}

TipSegment segment(const RasterMove& from, const RasterMove& to)
{
    return {from.x, from.y, from.z, to.x, to.y, to.z};
}

bool sameSegment(const TipSegment& a, const TipSegment& b)
{
    return a.x0 == b.x0 && a.y0 == b.y0 && a.z0 == b.z0 && a.x1 == b.x1 && a.y1 == b.y1 &&
           a.z1 == b.z1;
}

// The steepest rise per unit of t that a line from the start of s needs to clear cell q
// (aimed at zq − ProtectAllowance): the supremum over the stretch under the tool of
// (zq' − z0 − height(t)) / t. The numerator is concave in t, so the ratio rises to one
// maximum and falls (its upper level sets are intervals): a golden-section search finds it.
double steepestRise(const ToolProfile& tool, const TipSegment& s, const CutCell& q)
{
    const double r2 = tool.radius * tool.radius;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double a = dx * dx + dy * dy;
    const double wx = q.x - s.x0, wy = q.y - s.y0;
    const double t0 = (wx * dx + wy * dy) / a;
    const double cross = wx * dy - wy * dx;
    const double b2 = cross * cross / a;
    if (!(b2 < r2))
        return NoCut;
    const double half = std::sqrt((r2 - b2) / a);
    const double lo = std::max(1e-9, t0 - half), hi = std::min(1.0, t0 + half);
    if (!(lo < hi))
        return NoCut;
    const auto ratio = [&](double t) {
        const double rho2 = std::min(r2, a * (t - t0) * (t - t0) + b2);
        return (q.z - ProtectAllowance - s.z0 - heightAboveTip(tool, rho2)) / t;
    };
    if (tool.shape == ToolShape::EndMill) // a constant over t: the answer is at an end
        return std::max(ratio(lo), ratio(hi));
    if (tool.shape == ToolShape::BallMill) {
        // Over the move (s = t·L) the need is the upper arc of a circle: centre (s0, K),
        // radius rho. The line from the origin touches it at one of the two tangent points;
        // the ratio rises to its maximum there and falls, so the supremum over [lo, hi] is at
        // a tangent point clamped to the stretch or at an end.
        const double length = std::sqrt(a);
        const double s0 = t0 * length, k = q.z - ProtectAllowance - s.z0 - tool.radius;
        const double rho2 = r2 - b2, d2 = s0 * s0 + k * k;
        if (d2 > rho2) {
            const double along = rho2 / d2, across = std::sqrt(rho2 * (d2 - rho2)) / d2;
            const double atLo = ratio(lo), atHi = ratio(hi);
            double best = std::max(atLo, atHi);
            for (const double sign : {1.0, -1.0}) {
                const double ts =
                    std::clamp((s0 - along * s0 + sign * across * k) / length, lo, hi);
                // A tangent point beyond the stretch is its end, already weighed.
                if (ts != lo && ts != hi)
                    best = std::max(best, ratio(ts));
            }
            return best;
        }
    }
    constexpr double Golden = 0.6180339887498949;
    double left = lo, right = hi;
    double p = right - Golden * (right - left), q1 = left + Golden * (right - left);
    double fp = ratio(p), fq = ratio(q1);
    // 40 steps narrow the stretch a hundred million times; a line found a little low is
    // caught by the check of the new pieces.
    for (int i = 0; i < 40; ++i) {
        if (fp < fq) {
            left = p;
            p = q1, fp = fq;
            q1 = left + Golden * (right - left);
            fq = ratio(q1);
        } else {
            right = q1;
            q1 = p, fq = fp;
            p = right - Golden * (right - left);
            fp = ratio(p);
        }
    }
    return std::max({fp, fq, ratio(lo), ratio(hi)});
}

// The highest the tip must be anywhere along s to clear q (aimed at zq − ProtectAllowance):
// over the point of the move nearest to q the tool's height there is least.
double peakNeed(const ToolProfile& tool, const TipSegment& s, const CutCell& q)
{
    const double r2 = tool.radius * tool.radius;
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    const double a = dx * dx + dy * dy;
    const double t = a > 0 ? std::clamp(((q.x - s.x0) * dx + (q.y - s.y0) * dy) / a, 0.0, 1.0) : 0;
    const double ex = s.x0 + t * dx - q.x, ey = s.y0 + t * dy - q.y;
    const double d2 = ex * ex + ey * ey;
    return d2 < r2 ? q.z - ProtectAllowance - heightAboveTip(tool, d2) : NoCut;
}

} // namespace

std::shared_ptr<const MoveProtector::Tables>
MoveProtector::tablesFor(const SampleField& field, const ToolProfile& tool, Path path)
{
    auto tables = std::make_shared<Tables>();
    tables->footprint = footprintTable(field, tool);
    // The row maxima only skip rows the footprint's lanes skip anyway; made for the grid
    // (a pass over all of it, before the first move) where the lanes cannot serve.
    if (path == Path::Reference || tables->footprint.lanesByWidth.empty())
        tables->maxima = rowMaxima(*field.grid);
    return tables;
}

MoveProtector::MoveProtector(const SampleField& field, const ToolProfile& tool, MoveSink& next,
                             Path path)
    : tables_(tablesFor(field, tool, path)), field_(field), tool_(tool), next_(next), path_(path)
{
    field_.maxima = tables_->maxima.levels.empty() ? nullptr : &tables_->maxima;
    if (path_ == Path::Fast)
        field_.footprint = &tables_->footprint;
}

MoveProtector::MoveProtector(const MoveProtector& like, MoveSink& next)
    : tables_(like.tables_), field_(like.field_), tool_(like.tool_), next_(next), path_(like.path_)
{
}

namespace {

// Bit for bit: a −0 that equals 0 may still be written differently.
bool sameBits(std::initializer_list<double> a, std::initializer_list<double> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), [](double u, double v) {
        return std::bit_cast<std::uint64_t>(u) == std::bit_cast<std::uint64_t>(v);
    });
}

bool sameMove(const RasterMove& a, const RasterMove& b)
{
    return a.kind == b.kind && sameBits({a.x, a.y, a.z}, {b.x, b.y, b.z});
}

} // namespace

bool MoveProtector::sameCarry(const Carry& a, const Carry& b)
{
    if (a.pending.has_value() != b.pending.has_value() || a.listedAny != b.listedAny ||
        a.listedWhole != b.listedWhole)
        return false;
    if (a.pending && !(sameMove(a.pending->move, b.pending->move) &&
                       sameMove(a.pending->written, b.pending->written) &&
                       a.pending->changed == b.pending->changed))
        return false;
    const TipSegment &s = a.listedFor, &t = b.listedFor;
    return sameBits({s.x0, s.y0, s.z0, s.x1, s.y1, s.z1}, {t.x0, t.y0, t.z0, t.x1, t.y1, t.z1});
}

bool MoveProtector::listServes(const TipSegment& s) const
{
    const TipSegment& l = listedFor_;
    return listed_ && s.x0 == l.x0 && s.y0 == l.y0 && s.x1 == l.x1 && s.y1 == l.y1 &&
           s.z0 >= l.z0 && s.z1 >= l.z1;
}

double MoveProtector::cutOf(const TipSegment& s) const
{
    if (listServes(s))
        return deepestCutOf(listedCells_, tool_, s);
    if (listedWhole_ && s.x0 == s.x1 && s.y0 == s.y1) { // the tool standing at an end
        const TipSegment& l = listedFor_;
        if ((s.x0 == l.x1 && s.y0 == l.y1 && s.z0 >= l.z1) ||
            (s.x0 == l.x0 && s.y0 == l.y0 && s.z0 >= l.z0))
            return deepestCutOf(listedCells_, tool_, s);
    }
    if (path_ == Path::Fast && liesOverListed(s)) // the reference judges them on the grid
        return deepestCutOf(listedCells_, tool_, s);
    return deepestCut(field_, tool_, s, ProtectAllowance);
}

bool MoveProtector::liesOverListed(const TipSegment& s) const
{
    // A piece of the listed move's path, not below it, cuts no cell deeper than the move:
    // wherever the piece's tool stands, the move's stood at the same place no higher. The
    // list, thinned or not, then holds every cell the piece may cut deeper than the
    // allowance (the thinning's margin dwarfs the rounding of the heights compared here).
    // Only for moves along X or Y, where lying on the path is an exact test; the tool
    // standing still is left to the tests above. The pieces a repair puts in are such.
    const TipSegment& l = listedFor_;
    if (!listed_ || (s.x0 == s.x1 && s.y0 == s.y1))
        return false;
    const auto along = [](double u0, double u1, double u, double z0, double z1, double z) {
        const bool within = u0 < u1 ? u0 <= u && u <= u1 : u1 <= u && u <= u0;
        return within && z >= z0 + (u - u0) / (u1 - u0) * (z1 - z0);
    };
    if (l.y0 == l.y1 && l.x0 != l.x1)
        return s.y0 == l.y0 && s.y1 == l.y0 && along(l.x0, l.x1, s.x0, l.z0, l.z1, s.z0) &&
               along(l.x0, l.x1, s.x1, l.z0, l.z1, s.z1);
    if (l.x0 == l.x1 && l.y0 != l.y1)
        return s.x0 == l.x0 && s.x1 == l.x0 && along(l.y0, l.y1, s.y0, l.z0, l.z1, s.z0) &&
               along(l.y0, l.y1, s.y1, l.z0, l.z1, s.z1);
    return false;
}

void MoveProtector::keepCellsNearTheAllowance()
{
    // Over the same line with its ends raised a cell is cut no deeper than now: the cells cut
    // well within the allowance can be dropped for every later question but the tool
    // standing still (whose footprint ends where the move's may not). The margin dwarfs the
    // rounding of lowestSurfaceOver (its worst, a root taken near the rim, is below 1e-9).
    constexpr double Margin = 1e-7;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < listedCells_.size(); ++i)
        if (listedCuts_[i] > ProtectAllowance - Margin) {
            listedCells_[kept] = listedCells_[i];
            listedCuts_[kept++] = listedCuts_[i];
        }
    listedCells_.resize(kept);
    listedCuts_.resize(kept);
    listedWhole_ = false;
}

double MoveProtector::cutTo(const RasterMove& end) const
{
    return cutOf(segment(at(), end));
}

void MoveProtector::liftEnd(Step& step) const
{
    // The cells lie at or below the stock top: a tool at or above it cuts nothing.
    RasterMove& end = step.written;
    if (end.z >= 0)
        return;
    const double cut = cutOf(segment(end, end));
    if (cut > ProtectAllowance) {
        end.z = writtenAtLeast(end.z + cut);
        step.changed = true;
    }
}

void MoveProtector::add(const RasterMove& move)
{
    Step step{
        move, {move.kind, writtenValue(move.x), writtenValue(move.y), writtenValue(move.z)}, false};
    std::vector<RasterMove> points;
    listed_ = false;
    if (!pending_ || move.kind == RasterRapid) {
        // A rapid is only looked at where it ends: the start of a cut.
        liftEnd(step);
        flushPending();
        pending_ = step;
        return;
    }
    // One pass over the grid finds the cells this move may cut; every later question about
    // it (its end standing still, its ends raised) is answered from that list.
    listedFor_ = segment(at(), step.written);
    listedCells_.clear();
    if (path_ == Path::Fast)
        cellsThatMayBeCut(field_, tool_, listedFor_, ProtectAllowance, listedCells_);
    else
        cellsThatMayBeCutReference(field_, tool_, listedFor_, ProtectAllowance, listedCells_);
    listed_ = listedWhole_ = listedAny_ = true;
    if (deepestCutOf(listedCells_, tool_, listedFor_, &listedCuts_) > ProtectAllowance) {
        const double z = step.written.z;
        liftEnd(step);
        keepCellsNearTheAllowance();
        if (step.written.z == z || cutTo(step.written) > ProtectAllowance)
            points = repair(step);
        if (!points.empty())
            step.changed = true;
    }
    flushPending();
    for (const RasterMove& point : points)
        next_.add(point);
    pending_ = step;
}

void MoveProtector::finish()
{
    flushPending();
}

void MoveProtector::flushPending()
{
    if (!pending_)
        return;
    const Step& step = *pending_;
    if (step.changed) {
        ++changed_;
        next_.add({step.move.kind, step.move.x, step.move.y, step.written.z});
    } else {
        next_.add(step.move);
    }
}

MoveProtector::Needs MoveProtector::needsOf(const RasterMove& end)
{
    const TipSegment s = segment(at(), end);
    const TipSegment back = segment(end, at());
    cells_.clear();
    if (path_ == Path::Fast && sameSegment(s, listedFor_)) {
        // The move as listed: its cuts are known.
        for (std::size_t i = 0; i < listedCells_.size(); ++i)
            if (listedCuts_[i] > ProtectAllowance)
                cells_.push_back(listedCells_[i]);
    } else if (listServes(s)) {
        for (const CutCell& q : listedCells_) {
            const double lowest = lowestSurfaceOver(tool_, s, q.x, q.y);
            if (lowest != NeverUnderTool && q.z - lowest > ProtectAllowance)
                cells_.push_back(q);
        }
    } else {
        cellsCutDeeper(field_, tool_, s, ProtectAllowance, cells_);
    }
    Needs needs{NoCut, NoCut, std::max(at().z, end.z)};
    for (const CutCell& q : cells_) {
        needs.rise = std::max(needs.rise, steepestRise(tool_, s, q));
        needs.fall = std::max(needs.fall, steepestRise(tool_, back, q));
        needs.peak = std::max(needs.peak, peakNeed(tool_, s, q));
    }
    return needs;
}

std::vector<RasterMove> MoveProtector::repair(Step& step)
{
    Needs needs = needsOf(step.written);
    if (std::isfinite(needs.rise) && std::isfinite(needs.fall)) {
        // Raising either end onto the line the other end needs clears the move with no
        // new point; worth it while the material left there stays within one level of the
        // grid, which its heights cannot tell apart anyway.
        const double z0 = at().z, z1 = step.written.z;
        const double startTo = writtenAtLeast(z1 + needs.fall);
        const double endTo = writtenAtLeast(z0 + needs.rise);
        if (std::min(startTo - z0, endTo - z1) <= field_.depth / field_.grid->white) {
            if (startTo - z0 <= endTo - z1) {
                pending_->written.z = startTo;
                pending_->changed = true;
            } else {
                step.written.z = endTo;
                step.changed = true;
            }
            if (cutTo(step.written) <= ProtectAllowance)
                return {};
            needs = needsOf(step.written);
        }
    }
    return pointsBetween(step.written, needs);
}

std::vector<RasterMove> MoveProtector::pointsBetween(const RasterMove& end,
                                                     const Needs& needs) const
{
    const RasterMove& start = at();
    const TipSegment s = segment(start, end);
    const double z0 = start.z, z1 = end.z;
    const double rise = needs.rise, fall = needs.fall, peak = needs.peak;
    const auto alongStart = [&](double t) { return z0 + rise * t; };
    const auto alongEnd = [&](double t) { return z1 + fall * (1 - t); };
    // A point of the move at t, on the numbers the program writes, and its own t.
    const auto writtenPoint = [&](double t, double& written) {
        RasterMove p{RasterFeed, writtenValue(s.x0 + t * (s.x1 - s.x0)),
                     writtenValue(s.y0 + t * (s.y1 - s.y0)), 0};
        const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
        written =
            std::clamp(((p.x - s.x0) * dx + (p.y - s.y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        return p;
    };

    std::vector<RasterMove> points;
    if (std::isfinite(rise) && std::isfinite(fall) && rise + fall > 0) {
        const double apexT = (z1 - z0 + fall) / (rise + fall);
        if (alongStart(apexT) > peak && rise > 0 && fall > 0) {
            double t1 = 0, t2 = 0;
            RasterMove p1 = writtenPoint((peak - z0) / rise, t1);
            RasterMove p2 = writtenPoint(1 - (peak - z1) / fall, t2);
            p1.z = writtenAtLeast(std::max(alongStart(t1), peak));
            p2.z = writtenAtLeast(std::max(alongEnd(t2), peak));
            points = {p1, p2};
        } else {
            double t = 0;
            RasterMove p = writtenPoint(std::clamp(apexT, 0.0, 1.0), t);
            p.z = writtenAtLeast(std::max(alongStart(t), alongEnd(t)));
            points = {p};
        }
    }
    if (points.empty() || !piecesClear(points, end)) {
        const double top = writtenAtLeast(peak);
        points = {{RasterFeed, start.x, start.y, top}, {RasterFeed, end.x, end.y, top}};
    }
    // A point on top of the start or the end adds nothing.
    std::erase_if(points, [&](const RasterMove& p) {
        return (p.x == start.x && p.y == start.y && p.z == start.z) ||
               (p.x == end.x && p.y == end.y && p.z == end.z);
    });
    return points;
}

bool MoveProtector::piecesClear(const std::vector<RasterMove>& points, const RasterMove& end) const
{
    RasterMove from = at();
    for (std::size_t i = 0; i <= points.size(); ++i) {
        const RasterMove& to = i < points.size() ? points[i] : end;
        if (cutOf(segment(from, to)) > ProtectAllowance)
            return false;
        from = to;
    }
    return true;
}

bool protectsMoves(const ReliefParameters& params)
{
    return params.protectMoves && params.useGougeControl && params.toolDiameter > 0 &&
           params.depth > 0;
}

std::unique_ptr<MoveProtector> protectorFor(const TZGrid& original, const ReliefParameters& params,
                                            MoveSink& next, MoveProtector::Path path)
{
    if (!protectsMoves(params))
        return nullptr;
    return std::make_unique<MoveProtector>(
        sampleField(original, params.sizeX, params.sizeY, params.depth),
        toolProfile(params.tool, params.toolDiameter, params.includedAngle), next, path);
}

} // namespace corvane::relief
