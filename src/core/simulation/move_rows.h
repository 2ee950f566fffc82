// One cutting move carved into the map row by row. Over a row the lowest point of the
// tool's surface along a straight move is a function of x alone, so a row is one short
// loop over its cells with every branch turned into a choice between two values: the
// compiler runs it on several cells per instruction. Each cell gets exactly the value the
// cell by cell sweep gives it: the same operations on the same numbers, in the same order
// (relief::lowestSurfaceOver), only the parts that do not change along the move or the row
// worked out once for it.
#pragma once

#include "simulation/cutter.h"

#include <vector>

namespace corvane::simulation {

// Where cell col of a row lies: x = left + col · cell (the map's own formula).
struct RowGeometry {
    double left = 0;
    double cell = 1;
};

// The numbers of lowestSurfaceOver that depend on the move alone.
struct MoveTerms {
    double r2, dx, dy, dz, a, lowest;
    bool uphill;
    double ballDenominator; // a (a + dz²)
    bool coneTouches;       // the move is less steep than the cone's side
    double coneDenominator; // a (k² a − dz²)
};

// Which build of the row loops to use: the fastest this processor runs, or the one every
// processor runs (for comparing the two).
enum class RowLoops { Fastest, Portable };

// Room a thread reuses from move to move.
struct RowScratch {
    // For a move along x, the position along the move of each of its columns, for rows on
    // one side (k = 0) or the other.
    std::vector<double> along[2];

    // The moves along x of one raster line share each row's squared distance across the
    // move and the half length of the stretch under the tool: worked out once for the
    // line's y, its step dx and the tool, per row slot, with the row's y they hold.
    struct AlongRow {
        double qy, b2, half;
        unsigned stamp = 0; // the line's stamp when worked out
    };
    std::vector<AlongRow> alongRows;
    double lineY0 = 0, lineDx = 0, lineR2 = 0;
    unsigned lineStamp = 0; // 0: no line yet
};

// A cutting move, ready to lower the rows under it, over the columns [colBegin, colEnd).
class MoveRows {
public:
    MoveRows(const Cutter& cutter, const Segment& s, RowGeometry row, int colBegin, int colEnd,
             RowScratch& scratch, RowLoops loops = RowLoops::Fastest);

    // Lowers heights[from, to) of the row at y = qy to the surface of the move wherever that
    // passes below them; a cell at or below the move's lowest tip is left alone. The same
    // result, bit for bit, as lowering each cell to lowestToolHeight(cutter, s, x, qy).
    // colBegin <= from and to <= colEnd. slot (>= 0) names the row for the scratch's row
    // terms: the map's row index.
    void cut(int slot, double qy, double* heights, int from, int to)
    {
        kernel_(*this, slot, qy, heights, from, to);
    }

    using Kernel = void (*)(MoveRows&, int slot, double qy, double* heights, int from, int to);

    const Cutter& cutter;
    const Segment segment;
    const RowGeometry row;
    const MoveTerms terms;
    const int colBegin, colEnd;
    // For a move along x a cell's position along the move, (wx·dx + wy·dy) / a, depends on its
    // column alone: wy·dy is a zero, and only its sign can change the sum (when wx·dx is a
    // zero too). Worked out the first time a row on either side asks.
    RowScratch& scratch;
    bool alongReady[2] = {false, false};

private:
    Kernel kernel_;
};

} // namespace corvane::simulation
