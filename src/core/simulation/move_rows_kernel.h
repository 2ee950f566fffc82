// The row loop of move_rows.h, built once for each instruction set the program may run
// with (move_rows.cpp for any x86-64 or other processor, move_rows_avx2.cpp for those with
// AVX2). Everything here has internal linkage, so that the builds of the same templates for
// different instruction sets never stand in for each other when the program is linked.
// Neither build may fuse a multiply and an add: the cells must get the rounding of the
// cell by cell sweep.
#pragma once

#include "simulation/move_rows.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace corvane::simulation {

namespace {

using relief::ToolShape;

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
// The cells' positions along a move along x, for rows where wy·dy is wyDy (a zero of
// either sign), indexed by column − colBegin.
const double* positionsAlongX(MoveRows& move, double wyDy)
{
    const int side = std::signbit(wyDy) ? 1 : 0;
    std::vector<double>& along = move.scratch.along[side];
    if (!move.alongReady[side]) {
        const double dx = move.terms.dx, a = move.terms.a, x0 = move.segment.x0;
        const double left = move.row.left, cell = move.row.cell;
        const int first = move.colBegin;
        along.resize(std::size_t(std::max(0, move.colEnd - first)));
        double* t0 = along.data();
#pragma omp simd
        for (int col = first; col < move.colEnd; ++col)
            t0[col - first] = ((left + col * cell - x0) * dx + wyDy) / a;
        move.alongReady[side] = true;
    }
    return along.data() - move.colBegin;
}

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The row's squared distance across a move along x and the half length of the stretch under
// the tool, from the scratch when a move of the same line has worked them out already.
// Both depend only on wy·dx, a = dx² and r².
const RowScratch::AlongRow& rowAlongX(MoveRows& move, int slot, double qy, double wyDx)
{
    RowScratch& scratch = move.scratch;
    const MoveTerms& m = move.terms;
    if (scratch.lineStamp == 0 || !sameBits(scratch.lineY0, move.segment.y0) ||
        !sameBits(scratch.lineDx, m.dx) || !sameBits(scratch.lineR2, m.r2)) {
        scratch.lineY0 = move.segment.y0;
        scratch.lineDx = m.dx;
        scratch.lineR2 = m.r2;
        ++scratch.lineStamp;
    }
    if (std::size_t(slot) >= scratch.alongRows.size())
        scratch.alongRows.resize(std::size_t(slot) + 1);
    RowScratch::AlongRow& row = scratch.alongRows[std::size_t(slot)];
    if (row.stamp != scratch.lineStamp || !sameBits(row.qy, qy)) {
        row.qy = qy;
        row.b2 = wyDx * wyDx / m.a;
        row.half = row.b2 < m.r2 ? std::sqrt((m.r2 - row.b2) / m.a) : 0;
        row.stamp = scratch.lineStamp;
    }
    return row;
}

template <ToolShape Shape, bool AlongX, bool Uphill, bool UseOffset>
void cutRowAs(MoveRows& move, int slot, double qy, double* heights, int from, int to)
{
    const Cutter& tool = move.cutter;
    const MoveTerms& m = move.terms;
    const Segment& s = move.segment;
    const RowGeometry row = move.row;
    // Locals, so that no store into the row can be taken to change them.
    const double r2 = m.r2, dx = m.dx, dy = m.dy, dz = m.dz, a = m.a, lowest = m.lowest;
    const double x0 = s.x0, z0 = s.z0, left = row.left, cell = row.cell;
    const double radius = tool.radius, coneSlope = tool.coneSlope;
    const double wy = qy - s.y0;
    const double wyDy = wy * dy, wyDx = wy * dx;
    double rowB2 = 0, rowHalf = 0, rowOffset = 0;
    const double* positions = nullptr;
    if constexpr (AlongX) {
        const RowScratch::AlongRow& line = rowAlongX(move, slot, qy, wyDx);
        rowB2 = line.b2;
        if (!(rowB2 < r2))
            return;
        rowHalf = line.half;
        rowOffset = offsetOfLowest<Shape>(m, rowB2);
        positions = positionsAlongX(move, wyDy);
    }
    const MoveTerms terms = m;
    // Every cell on its own: nothing carries from one to the next.
#pragma omp simd
    for (int col = from; col < to; ++col) {
        double t0, b2 = rowB2, half = rowHalf, u = rowOffset;
        if constexpr (AlongX) {
            t0 = positions[col];
        } else {
            const double wx = left + col * cell - x0;
            t0 = (wx * dx + wyDy) / a;
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

// A plunge (no travel across the table): rare, taken cell by cell.
void cutPlungeRow(MoveRows& move, int, double qy, double* heights, int from, int to)
{
    for (int col = from; col < to; ++col) {
        const double z =
            lowestToolHeight(move.cutter, move.segment, move.row.left + col * move.row.cell, qy);
        if (!(heights[col] <= move.terms.lowest) && z < heights[col])
            heights[col] = z;
    }
}

template <ToolShape Shape, bool UseOffset>
MoveRows::Kernel kernelOf(const MoveTerms& m)
{
    if (m.dy == 0)
        return m.uphill ? cutRowAs<Shape, true, true, UseOffset>
                        : cutRowAs<Shape, true, false, UseOffset>;
    return m.uphill ? cutRowAs<Shape, false, true, UseOffset>
                    : cutRowAs<Shape, false, false, UseOffset>;
}

// The loop for this move: its shape, direction and slope chosen once, so that the loop
// holds no branch.
MoveRows::Kernel kernelFor(const Cutter& cutter, const MoveTerms& m)
{
    if (m.a == 0)
        return cutPlungeRow;
    switch (cutter.shape) {
    case ToolShape::BallMill:
        return kernelOf<ToolShape::BallMill, true>(m);
    case ToolShape::VBit:
        // Steeper than the cone, the lowest point is the stretch's downhill end.
        return m.coneTouches ? kernelOf<ToolShape::VBit, true>(m)
                             : kernelOf<ToolShape::VBit, false>(m);
    default:
        return kernelOf<ToolShape::EndMill, false>(m);
    }
}

} // namespace

} // namespace corvane::simulation
