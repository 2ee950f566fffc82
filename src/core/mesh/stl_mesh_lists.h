// A binary STL straight into the mesh view's lists. The lists are the ones the general road
// gives (readStl into a FacetMeshSink, edgeExtents, sortByLowestZ), equal to the bit and in
// the same order, ties among equal lowest z included; that road stays as the reference the
// tests hold this one to. It is faster because:
// - each list's room is reserved once, from the triangle count;
// - the triangles are not listed and then moved by the sort: 8-byte (lowest z, index) keys
//   are sorted with the same quicksort, which gives the same permutation, and each triangle
//   is then written once, in its place;
// - on two threads, the second faults in the lists' pages and writes the sides behind them
//   while the first reads and sorts the keys, and both then write the triangles in pieces.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvane::mesh {

// bytes: a binary STL (isBinaryStl) announcing at least one triangle. Fills `mesh` (emptied
// first): sides, extents and sorted triangles. `betweenSteps` runs after the reading and
// before the sort (the status steps every mesh load shares); false from it stops the load.
// threads: 1, or 2 for a second thread (used only for large files); the lists are the same.
// On one, the key sort picks its own threads, as sortByLowestZ does.
//
// Throws corvane::Error naming the file and the first triangle with a coordinate that is not
// a finite number. Returns false when Esc stopped it: control.escapePressed() is looked at
// every million triangles read, as readStl does, and in the sort. The mesh is left empty
// after an error or a stop.
bool loadBinaryStlLists(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
                        RunControl& control, const std::function<bool()>& betweenSteps,
                        unsigned threads);

// 2 where the machine has two cores or more, else 1.
unsigned stlListThreads();

} // namespace corvane::mesh
