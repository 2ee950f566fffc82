// Any bytes as a G-code program: the reader gives a move list with finite values, a box that
// holds the origin and every drawn end point, and line numbers that the text pane has.
#include "dnc/dnc_reader.h"
#include "dnc/program_lines.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace corvane::dnc;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const DncProgram p = ParseDncProgramOnOneThread(bytes, corvane::silentRunControl());
    const ProgramLines lines(bytes);
    const corvane::Extents3D& e = p.extents;
    check(e.minX <= 0 && e.maxX >= 0 && e.minY <= 0 && e.maxY >= 0 && e.minZ <= 0 && e.maxZ >= 0);
    check(std::isfinite(e.rangeX) && std::isfinite(e.rangeY));
    std::int32_t previousLine = 0;
    for (const DncMove& m : p.moves) {
        check(m.line >= previousLine && m.line >= 1 && std::size_t(m.line) <= lines.count());
        previousLine = m.line;
        for (double v : {m.feed, double(m.startAngle), double(m.endAngle), m.x, m.y, m.z,
                         double(m.i), double(m.j)})
            check(std::isfinite(v));
        if (m.kind == DncRapid || m.kind == DncFeed || m.kind == DncNone)
            check(m.x >= e.minX && m.x <= e.maxX && m.y >= e.minY && m.y <= e.maxY);
        else
            check(m.kind == DncClockwise || m.kind == DncCounterClockwise ||
                  m.kind == DncFeedChange);
    }
    return 0;
}
