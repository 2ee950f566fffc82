#include "relief/gouge_control.h"

#include "relief/row_progress.h"

#include <algorithm>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane::relief {

namespace {

// One mask entry that can constrain a cell: its column offset within the mask row and the
// height it subtracts.
struct MaskTap {
    int col;
    std::uint8_t height;
};

// The grid copied into a frame of zeros wide enough for the whole mask to be read around
// every cell. A zero neighbour contributes max(0, 0 - m) = 0 <= v, exactly as a neighbour
// outside the grid that is ignored. Rows are padded to whole 16-byte blocks.
struct PaddedGrid {
    int stride = 0; // bytes a padded row
    std::vector<std::uint8_t> bytes;

    PaddedGrid(const TZGrid& grid, const TToolMask& mask, int blockCols)
    {
        const int hr = mask.rows / 2, hc = mask.cols / 2;
        stride = blockCols + mask.cols + 16;
        bytes.assign(std::size_t(grid.rows + mask.rows) * std::size_t(stride), 0);
        for (int r = 0; r < grid.rows; ++r)
            std::copy_n(grid[r], grid.cols, row(r + hr) + hc);
    }
    const std::uint8_t* row(int paddedRow) const
    {
        return bytes.data() + std::size_t(paddedRow) * std::size_t(stride);
    }
    std::uint8_t* row(int paddedRow)
    {
        return bytes.data() + std::size_t(paddedRow) * std::size_t(stride);
    }
};

// acc[j] = max(acc[j], src[j] - height, saturating at 0) for j in [0, count), count a
// multiple of 16.
void dilateRow(std::uint8_t* acc, const std::uint8_t* src, std::uint8_t height, int count)
{
#if defined(__SSE2__)
    const __m128i h = _mm_set1_epi8(char(height));
    for (int j = 0; j < count; j += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(acc + j));
        a = _mm_max_epu8(a, _mm_subs_epu8(s, h));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(acc + j), a);
    }
#else
    for (int j = 0; j < count; ++j) {
        const int g = src[j] - height;
        if (g > acc[j])
            acc[j] = std::uint8_t(g);
    }
#endif
}

// Fills grid rows [first, last) from the padded copy of the original grid.
void dilateRows(TZGrid& grid, const PaddedGrid& orig, const std::vector<std::vector<MaskTap>>& taps,
                int hr, int hc, int blockCols, int first, int last)
{
    std::vector<std::uint8_t> acc(static_cast<std::size_t>(blockCols));
    for (int p = first; p < last; ++p) {
        // Start from the cell itself: a cell is never lowered.
        std::copy_n(orig.row(p + hr) + hc, blockCols, acc.data());
        for (std::size_t a = 0; a < taps.size(); ++a) {
            const std::uint8_t* src = orig.row(p + int(a));
            for (const MaskTap& tap : taps[a])
                dilateRow(acc.data(), src + tap.col, tap.height, blockCols);
        }
        // The result never exceeds 255, and a white cell stays white, by construction.
        std::copy_n(acc.data(), grid.cols, grid[p]);
    }
}

void runInParallel(int threads, int first, int last, const auto& work)
{
    const int count = last - first;
    threads = std::max(1, std::min(threads, count));
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back([&, t] {
            work(first + int(static_cast<long long>(count) * t / threads),
                 first + int(static_cast<long long>(count) * (t + 1) / threads));
        });
    work(first, first + int(count / threads));
}

int defaultThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}

} // namespace

bool ApplyGougeControl(TZGrid& grid, const TToolMask& mask, RunControl& control, int threads)
{
    if (grid.empty())
        return true;
    if (threads <= 0)
        threads = defaultThreads();
    const int hr = mask.rows / 2, hc = mask.cols / 2;
    const int blockCols = (grid.cols + 15) / 16 * 16;

    // Entries of 255 never constrain anything: orig - 255 <= 0 <= v.
    std::vector<std::vector<MaskTap>> taps(std::size_t(mask.rows));
    for (int a = 0; a < mask.rows; ++a)
        for (int b = 0; b < mask.cols; ++b)
            if (mask.at(a, b) != 255)
                taps[std::size_t(a)].push_back({b, mask.at(a, b)});

    const PaddedGrid orig(grid, mask, blockCols);
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
                dilateRows(grid, orig, taps, hr, hc, blockCols, from, to);
            });
        first = p;
        if (end)
            break;
        control.showProgress(ProgressDisplay::Gauge,
                             int(static_cast<long long>(p) * 100 / (grid.rows - 1)));
        control.checkpoint();
        if (control.escapePressed()) {
            completed = false;
            break;
        }
    }
    control.endProgress(ProgressDisplay::Gauge);
    return completed;
}

bool ApplyGougeControlDirect(TZGrid& grid, const TToolMask& mask, RunControl& control)
{
    const TZGrid orig = grid;
    const int hr = mask.rows / 2, hc = mask.cols / 2;
    ProgressStride stride(0, (grid.rows - 1) / 10);
    bool completed = true;
    for (int p = 0; p < grid.rows; ++p) {
        if (stride.due(p)) {
            control.showProgress(ProgressDisplay::Gauge,
                                 int(static_cast<long long>(p) * 100 / (grid.rows - 1)));
            control.checkpoint();
            if (control.escapePressed()) {
                completed = false;
                break;
            }
        }
        for (int j = 0; j < grid.cols; ++j) {
            const int v = orig[p][j];
            if (v == 255)
                continue;
            int raise = 0;
            for (int a = 0; a < mask.rows && v + raise <= 254; ++a) {
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
                        if (v + raise > 254)
                            break;
                    }
                }
            }
            grid[p][j] = std::uint8_t(std::min(v + raise, 255));
        }
    }
    control.endProgress(ProgressDisplay::Gauge);
    return completed;
}

} // namespace corvane::relief
