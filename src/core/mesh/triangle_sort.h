// The ordering region slicing relies on: a triangle list sorted by the z of each triangle's
// lowest corner, ascending. The quicksort takes the middle element as its pivot, so the
// order among triangles of equal lowest z is the same on every run and every machine.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"

namespace corvane::mesh {

// Sorts in place. Gives up as soon as Esc is pressed (control.escapePressed(), tested before
// the first partition and after the checkpoints it passes about every million elements
// moved over), leaving the list in the order it had, and then returns false. A list whose sort
// gave up must not be sliced: the slicer's early stop by z would miss triangles.
bool sortByLowestZ(TTriangleArray& triangles, RunControl& control);

// The same order test, for callers that are handed a list and must check it.
bool isSortedByLowestZ(const TTriangleArray& triangles);

} // namespace corvane::mesh
