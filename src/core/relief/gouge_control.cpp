#include "relief/gouge_control.h"

#include "common/error.h"
#include "relief/row_progress.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define CORVANE_X86_SIMD 1
#endif

namespace corvane::relief {

namespace {

// Column blocks are processed this many cells at a time (the widest vector we use, in bytes).
// The sweep works on the grid's own sample size: bytes for an 8-bit grid, so the vector
// kernels take 32 cells at once, and 16-bit samples for a depth map.
constexpr int BlockBytes = 32;

// The grid copied into a frame of zeros wide enough for the whole mask to be read around
// every cell. A zero neighbour contributes max(0, 0 - m) = 0 <= v, exactly as a neighbour
// outside the grid that is ignored. Rows are padded to whole blocks.
template <class Sample>
struct PaddedGrid {
    int stride = 0; // cells a padded row
    std::vector<Sample> bytes;

    PaddedGrid(const TZGrid& grid, const TToolMask& mask, int blockCols)
    {
        const int hr = mask.rows / 2, hc = mask.cols / 2;
        stride = blockCols + mask.cols + BlockBytes;
        bytes.assign(std::size_t(grid.rows + mask.rows) * std::size_t(stride), 0);
        for (int r = 0; r < grid.rows; ++r)
            std::transform(grid[r], grid[r] + grid.cols, row(r + hr) + hc,
                           [](TZGrid::Cell v) { return Sample(v); }); // v <= white fits
    }
    const Sample* row(int paddedRow) const
    {
        return bytes.data() + std::size_t(paddedRow) * std::size_t(stride);
    }
    Sample* row(int paddedRow)
    {
        return bytes.data() + std::size_t(paddedRow) * std::size_t(stride);
    }
};

// Running maxima of the padded grid over windows of 2, 4, 8... cells along a row: level i
// holds at each byte the largest of the 2^i bytes starting there. A flat stretch of the mask
// (an End Mill is all flat) then costs two reads instead of one per cell it covers. Windows
// that would run past a row never get read: every window used lies inside its padded row.
template <class Sample>
struct WindowMaxima {
    static constexpr int MaxLevel = 4;      // windows of up to 16 cells
    std::vector<std::vector<Sample>> extra; // levels 1..; level 0 is the grid itself
    const PaddedGrid<Sample>& grid;

    WindowMaxima(const PaddedGrid<Sample>& padded, int levels) : grid(padded)
    {
        const std::vector<Sample>* previous = &padded.bytes;
        for (int level = 1; level < levels; ++level) {
            const std::size_t half = std::size_t(1) << (level - 1);
            const std::vector<Sample>& from = *previous;
            std::vector<Sample> to(from.size());
            for (std::size_t j = 0; j < from.size(); ++j)
                to[j] = j + half < from.size() ? std::max(from[j], from[j + half]) : from[j];
            extra.push_back(std::move(to));
            previous = &extra.back();
        }
    }
    const Sample* level(int i) const
    {
        return i == 0 ? grid.bytes.data() : extra[std::size_t(i - 1)].data();
    }
};

constexpr int MaxWindowLevel = 4;

// The mask entries that can constrain a cell (not white), grouped into flat stretches: runs of
// equal heights side by side in a mask row. A stretch of length L reads the window maxima of
// level i = floor(log2 L) at its start and, when L is not a power of two, at its end; the two
// windows overlap and together cover it exactly. Offsets count from the top-left corner of
// the footprint in the padded grid; heights are repeated across a vector.
template <class Sample>
struct MaskTaps {
    struct Window {
        int level;
        std::ptrdiff_t first, second; // second == first: one read covers the stretch
    };
    // Single cells and short stretches (most of a rounded tool) read the grid itself.
    std::vector<std::ptrdiff_t> cells;
    std::vector<Sample> cellHeights; // BlockBytes copies of each cell's height
    std::vector<Window> windows;
    std::vector<Sample> windowHeights; // BlockBytes copies of each stretch's height
    int levels = 1;
    static constexpr int ShortestWindow = 4;

    MaskTaps(const TToolMask& mask, int stride)
    {
        const int longest = 2 << MaxWindowLevel; // two windows of the widest level
        for (int a = 0; a < mask.rows; ++a) {
            for (int b = 0; b < mask.cols;) {
                const std::uint16_t height = mask.at(a, b);
                int end = b + 1;
                while (end < mask.cols && end - b < longest && mask.at(a, end) == height)
                    ++end;
                // Entries of white never constrain anything: orig - white <= 0 <= v.
                if (height != mask.white)
                    add(std::ptrdiff_t(a) * stride + b, end - b, Sample(height));
                b = end;
            }
        }
    }

private:
    void add(std::ptrdiff_t start, int length, Sample height)
    {
        // Short stretches are cheaper cell by cell than through another table.
        if (length < ShortestWindow) {
            for (int i = 0; i < length; ++i) {
                cells.push_back(start + i);
                cellHeights.insert(cellHeights.end(), BlockBytes, height);
            }
            return;
        }
        int level = 0;
        while ((2 << level) <= length && level < MaxWindowLevel)
            ++level;
        windows.push_back({level, start, start + length - (1 << level)});
        windowHeights.insert(windowHeights.end(), BlockBytes, height);
        levels = std::max(levels, level + 1);
    }
};

// One output row: out[j] = max(centre[j], max over stretches of (their window maximum at j
// less their height)), subtraction saturating at 0, for j in [0, blockCols). corners[i] is
// level i at the top-left corner of the footprint.
template <class Sample>
using RowKernel = void (*)(Sample* out, const Sample* centre, const Sample* const* corners,
                           const MaskTaps<Sample>& taps, int blockCols);

template <class Sample>
void dilateRowPlain(Sample* out, const Sample* centre, const Sample* const* corners,
                    const MaskTaps<Sample>& taps, int blockCols)
{
    const auto apply = [&](const Sample* first, const Sample* second, int height) {
        for (int j = 0; j < blockCols; ++j) {
            const int g = int(std::max(first[j], second[j])) - height;
            if (g > int(out[j]))
                out[j] = Sample(g);
        }
    };
    std::copy_n(centre, blockCols, out);
    for (std::size_t t = 0; t < taps.cells.size(); ++t) {
        const Sample* cell = corners[0] + taps.cells[t];
        apply(cell, cell, taps.cellHeights[t * BlockBytes]);
    }
    for (std::size_t t = 0; t < taps.windows.size(); ++t) {
        const typename MaskTaps<Sample>::Window& w = taps.windows[t];
        apply(corners[w.level] + w.first, corners[w.level] + w.second,
              taps.windowHeights[t * BlockBytes]);
    }
}

#if defined(CORVANE_X86_SIMD)
// The running maximum of a block stays in a register while every stretch is applied to it.
__attribute__((target("sse2"))) void dilateRowSse2(std::uint8_t* out, const std::uint8_t* centre,
                                                   const std::uint8_t* const* corners,
                                                   const MaskTaps<std::uint8_t>& taps,
                                                   int blockCols)
{
    const std::uint8_t* grid = corners[0];
    for (int j = 0; j < blockCols; j += 16) {
        __m128i acc = _mm_loadu_si128(reinterpret_cast<const __m128i*>(centre + j));
        for (std::size_t t = 0; t < taps.cells.size(); ++t) {
            const __m128i s =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(grid + taps.cells[t] + j));
            const __m128i h = _mm_loadu_si128(
                reinterpret_cast<const __m128i*>(&taps.cellHeights[t * BlockBytes]));
            acc = _mm_max_epu8(acc, _mm_subs_epu8(s, h));
        }
        for (std::size_t t = 0; t < taps.windows.size(); ++t) {
            const MaskTaps<std::uint8_t>::Window& w = taps.windows[t];
            const std::uint8_t* level = corners[w.level] + j;
            const __m128i s =
                _mm_max_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(level + w.first)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(level + w.second)));
            const __m128i h = _mm_loadu_si128(
                reinterpret_cast<const __m128i*>(&taps.windowHeights[t * BlockBytes]));
            acc = _mm_max_epu8(acc, _mm_subs_epu8(s, h));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), acc);
    }
}

__attribute__((target("avx2"))) void dilateRowAvx2(std::uint8_t* out, const std::uint8_t* centre,
                                                   const std::uint8_t* const* corners,
                                                   const MaskTaps<std::uint8_t>& taps,
                                                   int blockCols)
{
    const std::uint8_t* grid = corners[0];
    for (int j = 0; j < blockCols; j += 32) {
        __m256i acc = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(centre + j));
        for (std::size_t t = 0; t < taps.cells.size(); ++t) {
            const __m256i s =
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(grid + taps.cells[t] + j));
            const __m256i h = _mm256_loadu_si256(
                reinterpret_cast<const __m256i*>(&taps.cellHeights[t * BlockBytes]));
            acc = _mm256_max_epu8(acc, _mm256_subs_epu8(s, h));
        }
        for (std::size_t t = 0; t < taps.windows.size(); ++t) {
            const MaskTaps<std::uint8_t>::Window& w = taps.windows[t];
            const std::uint8_t* level = corners[w.level] + j;
            const __m256i s = _mm256_max_epu8(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(level + w.first)),
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(level + w.second)));
            const __m256i h = _mm256_loadu_si256(
                reinterpret_cast<const __m256i*>(&taps.windowHeights[t * BlockBytes]));
            acc = _mm256_max_epu8(acc, _mm256_subs_epu8(s, h));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + j), acc);
    }
}
#endif

template <class Sample>
RowKernel<Sample> kernelFor(GougeKernel choice)
{
#if defined(CORVANE_X86_SIMD)
    if constexpr (sizeof(Sample) == 1) {
        if (choice == GougeKernel::Fastest && __builtin_cpu_supports("avx2"))
            return dilateRowAvx2;
        if (choice != GougeKernel::Plain && __builtin_cpu_supports("sse2"))
            return dilateRowSse2;
    }
#endif
    // 16-bit samples: the plain loop, which the compiler vectorises for the machine.
    (void)choice;
    return dilateRowPlain<Sample>;
}

// Fills grid rows [first, last) from the padded copy of the original grid.
template <class Sample>
void dilateRows(RowKernel<Sample> kernel, TZGrid& grid, const WindowMaxima<Sample>& maxima,
                const MaskTaps<Sample>& taps, int hr, int hc, int blockCols, int first, int last)
{
    std::vector<Sample> row(static_cast<std::size_t>(blockCols));
    std::vector<const Sample*> corners(static_cast<std::size_t>(taps.levels));
    const std::size_t stride = static_cast<std::size_t>(maxima.grid.stride);
    for (int p = first; p < last; ++p) {
        for (int i = 0; i < taps.levels; ++i)
            corners[std::size_t(i)] = maxima.level(i) + std::size_t(p) * stride;
        // The cell itself is the starting maximum: a cell is never lowered. The result never
        // exceeds white, and a white cell stays white, by construction.
        kernel(row.data(), maxima.grid.row(p + hr) + hc, corners.data(), taps, blockCols);
        std::copy_n(row.data(), grid.cols, grid[p]);
    }
}

void runInParallel(int threads, int first, int last, const auto& work)
{
    const int count = last - first;
    threads = std::max(1, std::min(threads, count));
    // An exception leaving a thread would end the program (out of memory for a row buffer):
    // carry the first one over to this thread once all have finished.
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto guarded = [&](int from, int to) {
        try {
            work(from, to);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureLock);
            if (!failure)
                failure = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back([&, t] {
                guarded(first + int(static_cast<long long>(count) * t / threads),
                        first + int(static_cast<long long>(count) * (t + 1) / threads));
            });
        guarded(first, first + int(count / threads));
    }
    if (failure)
        std::rethrow_exception(failure);
}

int defaultThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}

} // namespace

std::uint64_t GougeControlMemory(const TZGrid& grid, const TToolMask& mask)
{
    const std::uint64_t blockCols =
        (std::uint64_t(grid.cols) + BlockBytes - 1) / BlockBytes * BlockBytes;
    const std::uint64_t padded = (std::uint64_t(grid.rows) + std::uint64_t(mask.rows)) *
                                 (blockCols + std::uint64_t(mask.cols) + BlockBytes);
    // Entries of white never become taps; each other one may be a tap of its own.
    const auto constraining = std::uint64_t(std::count_if(
        mask.entries.begin(), mask.entries.end(), [&](auto h) { return h != mask.white; }));
    const std::uint64_t taps = constraining * (sizeof(std::ptrdiff_t) + BlockBytes);
    const std::uint64_t sampleBytes = grid.deep() ? 2 : 1;
    return (padded * (MaxWindowLevel + 1) + taps + 2 * blockCols) * sampleBytes;
}

namespace {

template <class Sample>
bool applyGougeControl(TZGrid& grid, const TToolMask& mask, RunControl& control, int threads,
                       GougeKernel kernelChoice)
{
    const int hr = mask.rows / 2, hc = mask.cols / 2;
    const int blockCols = (grid.cols + BlockBytes - 1) / BlockBytes * BlockBytes;
    const PaddedGrid<Sample> orig(grid, mask, blockCols);
    const MaskTaps<Sample> taps(mask, orig.stride);
    const WindowMaxima<Sample> maxima(orig, taps.levels);
    const RowKernel<Sample> kernel = kernelFor<Sample>(kernelChoice);
    ProgressStride stride(0, (grid.rows - 1) / 10);
    bool completed = true;
    int first = 0;
    // Work runs between the progress points, so Esc is seen at the same rows as in the plain
    // sweep and the rows not reached keep their values.
    for (int p = 0; p <= grid.rows; ++p) {
        const bool end = p == grid.rows;
        if (!end && !stride.due(p))
            continue;
        if (p > first)
            runInParallel(threads, first, p, [&](int from, int to) {
                dilateRows(kernel, grid, maxima, taps, hr, hc, blockCols, from, to);
            });
        first = p;
        if (end)
            break;
        if (gaugePointStopsForEscape(control, p, grid.rows - 1)) {
            completed = false;
            break;
        }
    }
    control.endProgress(ProgressDisplay::Gauge);
    return completed;
}

} // namespace

bool ApplyGougeControl(TZGrid& grid, const TToolMask& mask, RunControl& control, int threads,
                       GougeKernel kernelChoice)
{
    if (grid.empty())
        return true;
    if (mask.white != grid.white)
        throw Error("the tool mask was built for another kind of height grid");
    if (threads <= 0)
        threads = defaultThreads();
    if (grid.deep())
        return applyGougeControl<std::uint16_t>(grid, mask, control, threads, kernelChoice);
    return applyGougeControl<std::uint8_t>(grid, mask, control, threads, kernelChoice);
}

bool ApplyGougeControlDirect(TZGrid& grid, const TToolMask& mask, RunControl& control)
{
    if (mask.white != grid.white)
        throw Error("the tool mask was built for another kind of height grid");
    const TZGrid orig = grid;
    const int white = grid.white;
    const int hr = mask.rows / 2, hc = mask.cols / 2;
    ProgressStride stride(0, (grid.rows - 1) / 10);
    bool completed = true;
    for (int p = 0; p < grid.rows; ++p) {
        if (stride.due(p) && gaugePointStopsForEscape(control, p, grid.rows - 1)) {
            completed = false;
            break;
        }
        for (int j = 0; j < grid.cols; ++j) {
            const int v = orig[p][j];
            if (v == white)
                continue;
            int raise = 0;
            for (int a = 0; a < mask.rows && v + raise < white; ++a) {
                const int q = p - hr + a;
                if (q < 0 || q >= grid.rows)
                    continue;
                for (int b = 0; b < mask.cols; ++b) {
                    const int s = j - hc + b;
                    if (s < 0 || s >= grid.cols)
                        continue;
                    const int g = orig[q][s] - v - mask.at(a, b);
                    if (g > raise) {
                        raise = g;
                        if (v + raise >= white)
                            break;
                    }
                }
            }
            grid[p][j] = TZGrid::Cell(std::min(v + raise, white));
        }
    }
    control.endProgress(ProgressDisplay::Gauge);
    return completed;
}

} // namespace corvane::relief
