// The ordering region slicing relies on: a triangle list sorted by the z of each triangle's
// lowest corner, ascending. The quicksort takes the middle element as its pivot, so the
// order among triangles of equal lowest z is the same on every run and every machine.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"

#include <cstdint>
#include <vector>

namespace corvane::mesh {

// Sorts in place. Gives up as soon as Esc is pressed (control.escapePressed(), tested before
// the first partition and after the checkpoints it passes about every million elements
// moved over), leaving the list in the order it had, and then returns false. A list whose sort
// gave up must not be sliced: the slicer's early stop by z would miss triangles.
bool sortByLowestZ(TTriangleArray& triangles, RunControl& control);

// A triangle's lowest z and where it is, for a reader that can sort these small keys and
// then write each triangle once, in its place. z as a float: exact for corners that are
// floats (STL), and a float compares with another exactly as the two as doubles do.
struct LowestZKey {
    float z;
    std::uint32_t from;
};

// Sorts the keys by z with the quicksort of sortByLowestZ: the permutation is the one
// sortByLowestZ gives a list of triangles with these lowest z, ties included. Esc as there:
// false, the keys then in no particular order. threads: 1 keeps the sort on the calling
// thread (another is busy beside it); 2 lets a large list be sorted by two.
bool sortLowestZKeys(std::vector<LowestZKey>& keys, RunControl& control, unsigned threads = 2);

// The same order test, for callers that are handed a list and must check it.
bool isSortedByLowestZ(const TTriangleArray& triangles);

} // namespace corvane::mesh
