#include "simulation/move_rows.h"

#include "simulation/move_rows_kernel.h"

namespace corvane::simulation {

#if CORVANE_ROW_LOOP_AVX2
// move_rows_avx2.cpp: the same loops, four cells per instruction.
MoveRows::Kernel avx2KernelFor(const Cutter& cutter, const MoveTerms& m);
#endif

namespace {

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

MoveRows::Kernel kernelForThisProcessor(const Cutter& cutter, const MoveTerms& m,
                                        RowLoops loops)
{
#if CORVANE_ROW_LOOP_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && loops == RowLoops::Fastest)
        return avx2KernelFor(cutter, m);
#else
    (void)loops;
#endif
    return kernelFor(cutter, m);
}

} // namespace

MoveRows::MoveRows(const Cutter& cutter, const Segment& s, RowGeometry row, int colBegin,
                   int colEnd, RowScratch& scratch, RowLoops loops)
    : cutter(cutter), segment(s), row(row), terms(termsOf(cutter, s)), colBegin(colBegin),
      colEnd(colEnd), scratch(scratch), kernel_(kernelForThisProcessor(cutter, terms, loops))
{
}

} // namespace corvane::simulation
