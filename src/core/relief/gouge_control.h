// Gouge control: raising every cell of the height grid to the lowest height at which the
// tool, with its axis on that cell, clears all the cells under its footprint:
//   new = min(white, max(v, max over the footprint of (orig[q][s] - mask[a][b])))
// with v = orig[p][j], cells outside the grid ignored and white (255 or 65535) cells kept; an
// 8-bit grid is swept a byte a cell, a 16-bit one two bytes a cell. All tests
// read the grid as it was before the sweep. This is a grey-scale dilation by the mask as a
// non-flat structuring element.
#pragma once

#include "common/run_control.h"
#include "relief/tool_mask.h"
#include "relief/zgrid.h"

namespace corvane::relief {

// The vector width of the sweep: the widest the processor has, or a narrower one (so each
// can be checked on any machine).
enum class GougeKernel { Fastest, Sse2, Plain };

// Changes the grid in place. Progress goes to the status bar gauge about ten times a sweep;
// Esc stops it early, leaving the rows not yet reached as they were. Returns false when Esc
// stopped it. threads = 0 picks the machine's cores (at most two); the result is the same
// for every thread count and kernel.
bool ApplyGougeControl(TZGrid& grid, const TToolMask& mask, RunControl& control, int threads = 0,
                       GougeKernel kernel = GougeKernel::Fastest);

// About the most memory ApplyGougeControl takes for this grid and mask, in bytes: the copy of
// the grid with its frame, the running maxima and the mask's taps.
std::uint64_t GougeControlMemory(const TZGrid& grid, const TToolMask& mask);

// The plain sweep, cell by cell and mask entry by mask entry. Kept as the reference that the
// fast version must match, and for measuring it.
bool ApplyGougeControlDirect(TZGrid& grid, const TToolMask& mask, RunControl& control);

} // namespace corvane::relief
