// The moves of a G-code ("DNC") program as the reader records them, one per line event, and
// the program's box. Working values are single precision while reading, so coordinates
// here carry single precision widened to double.
#pragma once

#include "geometry/extents3d.h"

#include <cstdint>
#include <vector>

namespace corvane::dnc {

enum DncMoveKind : std::int32_t {
    DncNone = 0,             // a coordinate line read before any G0 to G3
    DncRapid = 1,            // G00
    DncFeed = 2,             // G01
    DncClockwise = 3,        // G02
    DncCounterClockwise = 4, // G03
    DncFeedChange = 8,       // an F word; only kind, line and feed are filled
};

struct DncMove {
    std::int32_t kind = DncNone;
    std::int32_t line = 0; // 1-based line of the file
    double feed = 0;       // the feed rate in force
    // Arcs only, radians: the direction from the centre to the start and to the end point.
    // Clockwise arcs end below their start angle, counter-clockwise ones above it.
    float startAngle = 0;
    float endAngle = 0;
    double x = 0, y = 0, z = 0; // the end point, absolute
    // The arc centre as an offset from the start point. Kept from the last arc line in
    // records of lines without a G word, 0 in rapid and feed records of lines with one.
    float i = 0, j = 0;

    friend bool operator==(const DncMove&, const DncMove&) = default;
};

using TGCodeArray = std::vector<DncMove>;

struct DncProgram {
    TGCodeArray moves; // in the order of the file
    // Starts at 0, so it always holds the origin. Arcs add their whole circle's box in x
    // and y (not z); every other coordinate record adds its end point.
    Extents3D extents;
};

} // namespace corvane::dnc
