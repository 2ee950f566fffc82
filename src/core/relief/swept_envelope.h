// The swept envelope of a straight move against the height grid: how deep the tool's
// surface, carried along the move, passes below the cells it sweeps over. Each cell is a
// point at its centre, as gouge control and the cut simulation see it:
//   cell (r, c) at X = c·w, Y = SizeY − r·h, z = −D + D·v/white
// with w = SizeX / columns and h = SizeY / rows (Y = SizeY at the top row). The depth of a
// cut into cell q along a move is zq − (lowest surface over q along the move); the envelope
// is the largest of these over the cells the footprint passes.
#pragma once

#include "common/run_control.h"
#include "relief/tool_profile.h"
#include "relief/zgrid.h"

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace corvane::relief {

// The largest value of each row over windows of 2, 4, 8 and 16 cells: level i holds at
// [r][c] the largest of grid[r][c .. c + 2^i - 1] (cut at the row's end). A range of a
// row then costs two reads per 16 cells instead of one per cell.
struct RowMaxima {
    static constexpr int Levels = 4;
    std::vector<std::vector<TZGrid::Cell>> levels; // levels 1..Levels; level 0 is the grid
    int cols = 0;
};
RowMaxima rowMaxima(const TZGrid& grid);

// The least height of the tool above its tip over a cell i columns and j rows beyond a
// move's cell box (the cell centres around it), in grey values and a hair low, for each
// (i, j) within the tool's reach (+infinity outside the footprint): every cell of a move is
// bounded with one read. Tight for the moves between cell centres of a raster program at
// whole pixels, whose box is their own.
struct FootprintTable {
    int reachCols = 0, reachRows = 0; // the farthest cells beyond the box the tool covers
    double perCol = 0, perRow = 0;    // 1 / the cell's width and height
    std::vector<double> rise;         // (reachRows + 1) rows of reachCols + 1

    // The same rises laid out along a row of the footprint, for a box `width` columns wide
    // with the footprint whole within the grid's columns: lane k is column
    // (box's first − reachCols + k), its rise rounded down (never above the exact one, and
    // at most LaneNever), LaneNever outside the footprint and past the last column. Eight
    // lanes of such a row are then weighed against eight cells at once, a test that lets
    // through every cell the exact one lets through.
    static constexpr int LaneBlock = 8, MaxLanes = 32;
    static constexpr std::int16_t LaneNever = 32767;
    struct Lanes {
        int count = 0, blocks = 0;      // lanes in use; blocks of LaneBlock lanes
        std::vector<std::int16_t> rise; // (reachRows + 1) rows of blocks · LaneBlock
    };
    // [width − 1]; none when no box fits MaxLanes. Without them each cell is weighed on its
    // own, the twin the lanes are tested against.
    std::vector<Lanes> lanesByWidth;
};

// The rows of a move's footprint against its lanes (FootprintTable::Lanes): for row k,
// bit i of masks[k] set when lane i is in use and cells[k · stride + i] > floorBase + rise
// of lane i at row k's distance from the box's rows. floorBase >= 1; cells readable for
// blocks · Block lanes of every row.
struct LaneRows {
    static constexpr int Block = FootprintTable::LaneBlock, MaxRows = 64;
    const TZGrid::Cell* cells = nullptr; // the footprint's first cell, top left
    std::size_t stride = 0;              // cells from one grid row to the next
    int rows = 0;                        // <= MaxRows
    int boxFirst = 0, boxLast = 0;       // the box's rows among them
    int lanes = 0, blocks = 0;
    const std::int16_t* rise = nullptr;
    int floorBase = 1;
};
// Returns bit k set for each row k whose mask is not empty. laneMasks is the vector form in
// use, laneMasksPlain its twin.
std::uint64_t laneMasks(const LaneRows& rows, std::uint32_t* masks);
std::uint64_t laneMasksPlain(const LaneRows& rows, std::uint32_t* masks);

struct SampleField {
    const TZGrid* grid = nullptr; // the heights the program was made from, before gouge control
    const RowMaxima* maxima = nullptr;         // of grid; optional, lets whole rows be skipped
    const FootprintTable* footprint = nullptr; // footprintTable(*this, tool); optional, faster
    double cellWidth = 0, cellHeight = 0;      // > 0
    double sizeY = 0;
    double depth = 0; // D > 0

    double x(int col) const { return col * cellWidth; }
    double y(int row) const { return sizeY - row * cellHeight; }
    double z(int value) const { return -depth + depth * value / double(grid->white); }
};

// The field of a relief of sizeX by sizeY and depth D over `grid`.
SampleField sampleField(const TZGrid& grid, double sizeX, double sizeY, double depth);

// The footprint table of the tool over the field's cells.
FootprintTable footprintTable(const SampleField& field, const ToolProfile& tool);

inline constexpr double NoCut = -std::numeric_limits<double>::infinity();

// The deepest cut of the move into any cell, exact (NoCut when no cell comes under the
// tool; negative when the tool clears them all). Cells that provably cannot be cut deeper
// than `ignoreBelow` are skipped without the exact test, so the answer is exact when it is
// above ignoreBelow and otherwise some value <= ignoreBelow. The fast path: a cell of row r
// is only tested when its height beats the lowest tip height of the move plus the tool's
// height at the row's distance from the move, a bound read straight from the cells.
double deepestCut(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                  double ignoreBelow = NoCut);

// The reference: the move sampled at samples + 1 evenly spaced tip positions, each tested
// against every cell of the grid. Never above deepestCut; approaches it as samples grows.
double deepestCutDense(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                       int samples);

// The lowest height at which the tip may stand over (x, y) and cut no cell:
// max over the cells under the footprint of (zq − height at their distance). NoCut when
// no cell lies under it.
double safeTipHeight(const SampleField& field, const ToolProfile& tool, double x, double y);

// A cell the move cuts: its point and height.
struct CutCell {
    double x = 0, y = 0, z = 0;
};

// The cells the move cuts deeper than `depthAbove`, appended to `cells`.
void cellsCutDeeper(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                    double depthAbove, std::vector<CutCell>& cells);

// The cells deepestCut(field, tool, move, ignoreBelow) tests exactly, appended to `cells` in
// the same order: every other cell provably is cut no deeper than ignoreBelow. The list
// also serves, exactly, any move over the same line whose ends are not lower, and the tool
// standing still at either end: the bounds that leave a cell out hold for those as well.
void cellsThatMayBeCut(const SampleField& field, const ToolProfile& tool, const TipSegment& move,
                       double ignoreBelow, std::vector<CutCell>& cells);

// The twin of cellsThatMayBeCut its tests compare with: row bounds only (no footprint
// table) and each cell's last test made on its height rather than its grey value. The two
// lists may differ in cells cut no deeper than ignoreBelow, never in the cells cut deeper.
void cellsThatMayBeCutReference(const SampleField& field, const ToolProfile& tool,
                                const TipSegment& move, double ignoreBelow,
                                std::vector<CutCell>& cells);

// deepestCut over the listed cells only: max of (zq − lowest surface over q), NoCut for none.
// With `cuts`, the depth at each cell is left there too (NoCut where the tool never covers it).
double deepestCutOf(std::span<const CutCell> cells, const ToolProfile& tool, const TipSegment& move,
                    std::vector<double>* cuts = nullptr);

// The deepest cut of any of the moves (NoCut for none). Progress on the status bar gauge;
// Esc stops it (stopped is set, the answer covers the moves done).
struct DeepestCut {
    double depth = NoCut;
    bool stopped = false;
};
DeepestCut deepestCutOfMoves(const SampleField& field, const ToolProfile& tool,
                             std::span<const TipSegment> moves, RunControl& control);

} // namespace corvane::relief
