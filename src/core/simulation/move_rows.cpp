#include "simulation/move_rows.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

namespace {

using relief::ToolShape;

// The numbers of lowestSurfaceOver that depend on the move alone.
struct MoveTerms {
    double r2, dx, dy, dz, a, lowest;
    bool uphill;
    double ballDenominator; // a (a + dz²)
    bool coneTouches;       // the move is less steep than the cone's side
    double coneDenominator; // a (k² a − dz²)
};

MoveTerms termsOf(const Cutter& tool, const Segment& s)
{
    MoveTerms m;
    m.r2 = tool.radius * tool.radius;
    m.dx = s.x1 - s.x0;
    m.dy = s.y1 - s.y0;
    m.dz = s.z1 - s.z0;
    m.a = m.dx * m.dx + m.dy * m.dy;
    m.lowest = std::min(s.z0, s.z1);
    m.uphill = m.dz > 0;
    m.ballDenominator = m.a * (m.a + m.dz * m.dz);
    const double k2a = tool.coneSlope * tool.coneSlope * m.a;
    m.coneTouches = k2a > m.dz * m.dz;
    m.coneDenominator = m.a * (k2a - m.dz * m.dz);
    return m;
}

// std::max and std::min by value, the same choices on ties and zeros of either sign.
inline double largerOf(double a, double b)
{
    return a < b ? b : a;
}
inline double smallerOf(double a, double b)
{
    return b < a ? b : a;
}

// How far before or after the nearest point of the move the surface is lowest, for a cell at
// squared distance b2 across the move (see lowestSurfaceOver). NaN beyond the radius, where
// the cell is left alone anyway.
template <ToolShape Shape>
inline double offsetOfLowest(const MoveTerms& m, double b2)
{
    if constexpr (Shape == ToolShape::BallMill)
        return std::sqrt(m.dz * m.dz * (m.r2 - b2) / m.ballDenominator);
    else if constexpr (Shape == ToolShape::VBit)
        return std::sqrt(m.dz * m.dz * b2 / m.coneDenominator);
    else
        return 0;
}

// The row's cells, as relief::lowestSurfaceOver and the cell by cell sweep take them, with
// every early return turned into a mask. AlongX: a move with dy = 0, where the squared
// distance across the move, wy·dx squared over a, is the row's own (wx·dy is a zero, so
// cross = −wy·dx exactly), and with it the stretch's half length and the offset.
// Uphill and UseOffset are the move's own choices (dz > 0; whether the lowest point may lie
// inside the stretch), made once for it so that the loop holds no branch.
template <ToolShape Shape, bool AlongX, bool Uphill, bool UseOffset>
void cutRowAs(const Cutter& tool, const MoveTerms& m, const Segment& s, RowGeometry row,
              double qy, double* heights, int from, int to)
{
    // Locals, so that no store into the row can be taken to change them.
    const double r2 = m.r2, dx = m.dx, dy = m.dy, dz = m.dz, a = m.a, lowest = m.lowest;
    const double x0 = s.x0, z0 = s.z0, left = row.left, cell = row.cell;
    const double radius = tool.radius, coneSlope = tool.coneSlope;
    const double wy = qy - s.y0;
    const double wyDy = wy * dy, wyDx = wy * dx;
    double rowB2 = 0, rowHalf = 0, rowOffset = 0;
    if constexpr (AlongX) {
        rowB2 = wyDx * wyDx / a;
        if (!(rowB2 < r2))
            return;
        rowHalf = std::sqrt((r2 - rowB2) / a);
        rowOffset = offsetOfLowest<Shape>(m, rowB2);
    }
    const MoveTerms terms = m;
    // Every cell on its own: nothing carries from one to the next.
#pragma omp simd
    for (int col = from; col < to; ++col) {
        const double qx = left + col * cell;
        const double wx = qx - x0;
        const double t0 = (wx * dx + wyDy) / a;
        double b2 = rowB2, half = rowHalf, u = rowOffset;
        if constexpr (!AlongX) {
            const double cross = wx * dy - wyDx;
            b2 = cross * cross / a;
            half = std::sqrt((r2 - b2) / a);
            u = offsetOfLowest<Shape>(terms, b2);
        }
        const double lo = largerOf(0.0, t0 - half);
        const double hi = smallerOf(1.0, t0 + half);
        double t = Uphill ? lo : hi;
        if constexpr (UseOffset) // std::clamp, without its check that lo <= hi on masked cells
            t = smallerOf(largerOf(Uphill ? t0 - u : t0 + u, lo), hi);
        double above = 0; // relief::heightAboveTip, its shape chosen once
        if constexpr (Shape != ToolShape::EndMill) {
            const double rho2 = smallerOf(r2, a * (t - t0) * (t - t0) + b2);
            if constexpr (Shape == ToolShape::BallMill)
                // heightAboveTip's max(0, r² − rho2) is left out: rho2 is at most r² here,
                // so r² − rho2 is never below +0 and the max would give it back unchanged.
                above = radius - std::sqrt(r2 - rho2);
            else
                above = coneSlope * std::sqrt(rho2);
        }
        const double z = z0 + dz * t + above;
        const double height = heights[col];
        const bool lowers = (b2 < r2) & (lo < hi) & !(height <= lowest) & (z < height);
        heights[col] = lowers ? z : height;
    }
}

template <ToolShape Shape, bool AlongX, bool UseOffset>
void cutRowUpOrDown(const Cutter& tool, const MoveTerms& m, const Segment& s, RowGeometry row,
                    double qy, double* heights, int from, int to)
{
    if (m.uphill)
        cutRowAs<Shape, AlongX, true, UseOffset>(tool, m, s, row, qy, heights, from, to);
    else
        cutRowAs<Shape, AlongX, false, UseOffset>(tool, m, s, row, qy, heights, from, to);
}

template <ToolShape Shape, bool UseOffset>
void cutRowOf(const Cutter& tool, const MoveTerms& m, const Segment& s, RowGeometry row,
              double qy, double* heights, int from, int to)
{
    if (m.dy == 0)
        cutRowUpOrDown<Shape, true, UseOffset>(tool, m, s, row, qy, heights, from, to);
    else
        cutRowUpOrDown<Shape, false, UseOffset>(tool, m, s, row, qy, heights, from, to);
}

} // namespace

void cutRow(const Cutter& cutter, const Segment& s, RowGeometry row, double qy, double* heights,
            int from, int to)
{
    const MoveTerms m = termsOf(cutter, s);
    if (m.a == 0) { // a plunge: rare, taken cell by cell
        for (int col = from; col < to; ++col) {
            const double z = lowestToolHeight(cutter, s, row.left + col * row.cell, qy);
            if (!(heights[col] <= m.lowest) && z < heights[col])
                heights[col] = z;
        }
        return;
    }
    switch (cutter.shape) {
    case ToolShape::BallMill:
        cutRowOf<ToolShape::BallMill, true>(cutter, m, s, row, qy, heights, from, to);
        break;
    case ToolShape::VBit:
        if (m.coneTouches)
            cutRowOf<ToolShape::VBit, true>(cutter, m, s, row, qy, heights, from, to);
        else // steeper than the cone: the lowest point is the stretch's downhill end
            cutRowOf<ToolShape::VBit, false>(cutter, m, s, row, qy, heights, from, to);
        break;
    default:
        cutRowOf<ToolShape::EndMill, false>(cutter, m, s, row, qy, heights, from, to);
        break;
    }
}

} // namespace corvane::simulation
