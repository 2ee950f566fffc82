// An index of end points for the chaining steps' one question: which is the first point, in
// the order given, that matches (x, y) within MatchTolerance (pointsMatch) and that the
// caller still accepts. It gives exactly the answer of a scan over all the points in order,
// looking only at the few points of one band of y.
//
// The y axis is cut into bands of 2^-k units, k chosen per build so that there are about
// two bands per point over the span of y, and no band narrower than 2^-16 units, about 15
// times the tolerance. A point that matches (x, y) differs from it by less than 0.066 of a band, so
// it lies in the band of y or, when it lies within 0.07 of a band of a border, in the band across:
// each point is filed under its own band and such a neighbour, and a question looks at the one band
// of y. Scaling by a power of two is exact, so no rounding can keep a matching point out of that
// band. Each band lists its points in their given order, so the first acceptable match is the
// answer.
//
// Points that share one y share a band: on such input a question reads them all, as the
// scan would.
#pragma once

#include "toolpaths/grow_chain.h"
#include "toolpaths/region.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::toolpaths {

class EndPointGrid {
public:
    static constexpr std::size_t none = ~std::size_t(0);
    // Coordinates up to this magnitude keep band numbers well inside 64 bits.
    static constexpr double largest = 1099511627776.0; // 2^40

    // Indexes points[0..n), numbered by position. Points with a NaN or infinite coordinate
    // are left out: they match nothing. Returns false, and the grid then answers nothing,
    // when a finite coordinate exceeds `largest` in magnitude; the caller scans instead.
    bool build(const std::vector<ChainEnd>& points);

    // The smallest number p with points[p] matching (x, y) and accept(p) true; `none` when
    // there is no such point. accept is asked only about matching points, in their order.
    template <class Accept> std::size_t firstMatch(double x, double y, Accept&& accept) const
    {
        // Far outside the bands no point is within the tolerance; NaN fails too.
        if (!(std::abs(y) <= largest + 1))
            return none;
        const std::int64_t band = floorOf(y * scale_) - firstBand_;
        if (band < 0 || band >= std::int64_t(heads_.size()))
            return none;
        for (std::uint32_t k = heads_[std::size_t(band)]; k != endOfList; k = entries_[k].next) {
            const Entry& e = entries_[k];
            if (pointsMatch(e.x, e.y, x, y) && accept(std::size_t(e.number)))
                return e.number;
        }
        return none;
    }

private:
    static constexpr double finest = 65536.0; // bands per unit at most
    static constexpr double nearBorder = 0.07;
    static constexpr std::uint32_t endOfList = ~std::uint32_t(0);

    struct Entry {
        double x, y;
        std::uint32_t number, next;
    };

    void clear();

    // std::floor for |f| < 2^62, as an integer; a library call on plain x86-64, this is not.
    static std::int64_t floorOf(double f)
    {
        const auto whole = std::int64_t(f); // towards zero
        return double(whole) > f ? whole - 1 : whole;
    }

    double scale_ = 1;           // bands per unit, a power of two
    std::int64_t firstBand_ = 0; // the band numbered 0 in heads_
    std::vector<std::uint32_t> heads_;
    std::vector<Entry> entries_;
};

} // namespace corvane::toolpaths
