#include "toolpaths/end_point_grid.h"

#include <algorithm>
#include <limits>

namespace corvane::toolpaths {

void EndPointGrid::clear()
{
    heads_.clear();
    entries_.clear();
    scale_ = 1;
    firstBand_ = 0;
}

bool EndPointGrid::build(const std::vector<ChainEnd>& points)
{
    clear();
    const std::size_t n = points.size();
    if (n >= endOfList / 2) // every entry number must fit, up to two entries a point
        return false;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const ChainEnd& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        if (std::abs(p.x) > largest || std::abs(p.y) > largest)
            return false;
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    if (!(low <= high))
        return true; // nothing to index: every question is answered with none

    // About two bands a point over the span of y, a power of two, at most 2^16 a unit.
    const double wanted = double(8 * n + 1) / std::max(high - low, 1 / finest);
    int exponent = 0;
    std::frexp(wanted, &exponent); // wanted = m 2^exponent, 0.5 <= m < 1
    scale_ = std::ldexp(1.0, std::clamp(exponent - 1, -60, 16));
    firstBand_ = floorOf(low * scale_) - 1; // room for the band below
    const std::int64_t lastBand = floorOf(high * scale_) + 1;
    heads_.assign(std::size_t(lastBand - firstBand_ + 1), endOfList);
    entries_.reserve(n + n / 4);

    // Last point first: each one goes to the front of its bands' lists, which so run in the
    // points' order.
    for (std::size_t i = n; i-- > 0;) {
        const ChainEnd p = points[i];
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            continue;
        const double f = p.y * scale_;
        const std::int64_t band = floorOf(f);
        const double within = f - double(band); // off by an ulp of 1 at most: far inside 0.07
        const auto file = [&](std::int64_t band) {
            std::uint32_t& head = heads_[std::size_t(band - firstBand_)];
            entries_.push_back({p.x, p.y, std::uint32_t(i), head});
            head = std::uint32_t(entries_.size() - 1);
        };
        file(band);
        if (within < nearBorder)
            file(band - 1);
        else if (within > 1 - nearBorder)
            file(band + 1);
    }
    return true;
}

} // namespace corvane::toolpaths
