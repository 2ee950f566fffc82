// The row loops built for processors with AVX2 (the build gives this file -mavx2, and no
// fused multiply-add): twice the cells per instruction of the plain x86-64 build, the
// square root above all.
#include "simulation/move_rows_kernel.h"

namespace corvane::simulation {

#if CORVANE_ROW_LOOP_AVX2
MoveRows::Kernel avx2KernelFor(const Cutter& cutter, const MoveTerms& m)
{
    return kernelFor(cutter, m);
}
#endif

} // namespace corvane::simulation
