// Which lines the DNC view draws for a move list, worked out without a window: a line for
// every rapid and feed move, in the order of the program, from the model origin where the
// machine starts. Arcs, feed changes and coordinate lines read before any G word are not
// drawn and leave the pen where it was, so the next drawn move starts at the last drawn point.
#pragma once

#include "dnc/dnc_move.h"

namespace corvane::dnc {

struct CanvasPoint {
    int x = 0, y = 0, z = 0;
    friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// True for the kinds the view draws as lines: rapids and feeds.
inline bool isDrawnKind(std::int32_t kind)
{
    return kind == DncRapid || kind == DncFeed;
}

// Calls line(kind, from, to) for every rapid and feed move in order, from the origin on;
// toCanvas(x, y, z) gives a model point's canvas point. A move that stays on the same canvas
// point is left out: it would draw nothing new, and a raster program has many moves smaller
// than a pixel.
template <class ToCanvas, class DrawLine>
void forEachDncLine(const TGCodeArray& moves, ToCanvas&& toCanvas, DrawLine&& line)
{
    CanvasPoint pen = toCanvas(0.0, 0.0, 0.0);
    for (const DncMove& m : moves) {
        if (!isDrawnKind(m.kind))
            continue;
        const CanvasPoint to = toCanvas(m.x, m.y, m.z);
        if (to == pen)
            continue;
        line(DncMoveKind(m.kind), pen, to);
        pen = to;
    }
}

} // namespace corvane::dnc
