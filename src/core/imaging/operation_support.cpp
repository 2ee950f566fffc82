#include "imaging/operation_support.h"

#include "common/error.h"

#include <locale>
#include <sstream>

namespace corvane::imaging::detail {

namespace {
// Below this many rows the work is over before a gauge could be seen.
constexpr int quietRows = 512;
} // namespace

RowProgress::RowProgress(RunControl& control, int rows)
    : control_(control), rows_(rows), next_(rows < quietRows ? rows : rows / 10)
{
}

RowProgress::~RowProgress()
{
    if (shown_)
        control_.endProgress(ProgressDisplay::Gauge);
}

void RowProgress::report(int y)
{
    if (y >= rows_)
        return;
    shown_ = true;
    control_.showProgress(ProgressDisplay::Gauge, int(std::int64_t(y) * 100 / rows_));
    control_.checkpoint();
    if (control_.escapePressed())
        throw Cancelled();
    next_ = y + rows_ / 10;
}

Picture blankLike(const Picture& picture, int bitCount)
{
    Picture out;
    out.width = picture.width;
    out.height = picture.height;
    out.bitCount = bitCount;
    out.xRes = picture.xRes;
    out.yRes = picture.yRes;
    out.pixels.assign(out.rowStride() * std::size_t(out.height), 0);
    if (bitCount == 8)
        setGreyRamp(out);
    return out;
}

void setGreyRamp(Picture& picture)
{
    picture.palette.resize(256);
    for (int i = 0; i < 256; ++i)
        picture.palette[std::size_t(i)] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
}

Picture expandedTo24(const Picture& picture)
{
    if (!picture.indexed())
        return picture;
    Picture out = blankLike(picture, 24);
    out.palette.clear();
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < picture.width; ++x) {
            const Rgb c = picture.palette[in[x]];
            o[3 * x] = c.r;
            o[3 * x + 1] = c.g;
            o[3 * x + 2] = c.b;
        }
    }
    return out;
}

void requireRange(const char* operation, const char* argument, double value, double low,
                  double high)
{
    if (value >= low && value <= high)
        return;
    // The user's locale must not turn 0.5 into "0,5" in a message about typed numbers.
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << operation << ": " << argument << " must be " << low << " to " << high << ", not "
         << value;
    throw Error(text.str());
}

void requireImage(const char* operation, const Picture& picture)
{
    if (picture.empty())
        throw Error(std::string(operation) + ": there is no picture");
}

} // namespace corvane::imaging::detail
