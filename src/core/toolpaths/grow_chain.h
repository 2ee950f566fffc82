// The one grow step of chaining segments into regions and of joining open chains: a chain
// grows from its end onwards until it closes on its start or nothing continues it, then, if
// it stayed open, from its start backwards. What a piece is (a segment, a chain) and how it
// is attached is the caller's.
#pragma once

#include <optional>

namespace corvane::toolpaths {

struct ChainEnd {
    double x = 0, y = 0;
    friend bool operator==(const ChainEnd&, const ChainEnd&) = default;
};

// onwards(at, start): attaches after the chain the piece that continues it from `at` and
// returns the piece's far end, set exactly onto `start` when it meets the start; nothing
// when no piece continues the chain. backwards(at): attaches before the chain the piece
// that ends on `at` and returns its near end; nothing when none does.
// Returns whether the chain closed.
template <class Onwards, class Backwards>
bool growChain(ChainEnd start, ChainEnd end, Onwards&& onwards, Backwards&& backwards)
{
    while (const std::optional<ChainEnd> far = onwards(end, start)) {
        if (*far == start)
            return true;
        end = *far;
    }
    while (const std::optional<ChainEnd> near = backwards(start))
        start = *near;
    return false;
}

} // namespace corvane::toolpaths
