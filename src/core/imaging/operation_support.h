// What the image operations share: progress over rows, and pictures in the shapes the
// operations work on (24-bit colour, grey ramps).
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"

#include <cstdint>
#include <string>

namespace corvane::imaging::detail {

// Reports row progress about every tenth of the picture (only for pictures large enough to
// take a noticeable time) and stops with corvane::Cancelled on Esc.
class RowProgress {
public:
    RowProgress(RunControl& control, int rows);
    ~RowProgress();
    RowProgress(const RowProgress&) = delete;
    RowProgress& operator=(const RowProgress&) = delete;
    void row(int y)
    {
        if (y >= next_)
            report(y);
    }

private:
    void report(int y);
    RunControl& control_;
    int rows_;
    int next_;
    bool shown_ = false;
};

// Fills the 8-bit `out` (as large as `rgb`) from the 24-bit `rgb` pixel by pixel:
// out(x, y) = index(in, x, y), `in` pointing at the pixel's red, green and blue bytes.
template <class Index>
void indexPixels(const Picture& rgb, Picture& out, RunControl& control, Index index)
{
    RowProgress progress(control, rgb.height);
    for (int y = 0; y < rgb.height; ++y) {
        progress.row(y);
        const std::uint8_t* in = rgb.row(y);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < rgb.width; ++x, in += 3)
            o[x] = index(in, x, y);
    }
}

// The picture as 24-bit colour (a copy of a 24-bit one, palettes expanded otherwise).
Picture expandedTo24(const Picture& picture);
// An empty picture of the same size and resolution in the given depth, palette included
// for the grey ramp (8 bits) or left for the caller.
Picture blankLike(const Picture& picture, int bitCount);
void setGreyRamp(Picture& picture);
// Brightness of a colour with the weights .30 .59 .11, rounded.
inline std::uint8_t luminance(Rgb c)
{
    return std::uint8_t((c.r * 77 + c.g * 151 + c.b * 28 + 128) >> 8);
}

// The argument check of every operation: throws corvane::Error naming the operation and the
// allowed values.
void requireRange(const char* operation, const char* argument, double value, double low,
                  double high);
void requireImage(const char* operation, const Picture& picture);

} // namespace corvane::imaging::detail
