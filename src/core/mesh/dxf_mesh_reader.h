// The reader of DXF surface meshes: every 3DFACE entity of an ASCII DXF file becomes wire-frame
// edges and triangles (facet_mesh_build.h), then the extents are taken and the triangles
// sorted for region slicing.
//
// The file is read as lines. A line that is exactly "EOF" ends the reading, a line that is
// exactly "3DFACE" starts a face (the match is case-sensitive, and blanks around the word
// prevent it); everything else is passed over. Inside a face, group codes and their values
// are read as numbers, skipping blanks and line ends before them: 0 or 9 ends the face, 10 to
// 13 / 20 to 23 / 30 to 33 give x / y / z of corners 1 to 4, and the value line of any other
// code is skipped. A coordinate a face does not give keeps its value from the previous face
// (0 before the first). Lines may end in CR LF or in LF alone. A file without an "EOF" line is
// read to its end, but every face must be closed by its group 0 (or 9): bytes that end inside a
// face are a file cut short, not a mesh, and neither are bytes without a single 3DFACE.
#pragma once

#include "common/run_control.h"
#include "geometry/mesh_records.h"

#include <string>
#include <string_view>

namespace corvane::mesh {

enum class MeshLoadOutcome {
    Loaded,    // lists, extents and the sorted triangle list are complete
    Cancelled, // Esc: stopped after reading, before or during the sort
    NoFile,    // the file does not exist: the mesh is left empty and nothing is shown
};

// Reads the bytes of a DXF file into `mesh` (emptied first). fileName names the source in the
// status texts and in errors. Status and progress go to the gauge: "Loading <name>... Esc to
// Cancel." at 10, 5 once reading starts, "Processing Mesh... Esc to Cancel." at 25 after the
// reading, 85 after the extents; Esc is tested after the checkpoints at those two points and
// inside the sort. Leaves the "Succesfully loaded..." text to the caller (loadedMessage).
//
// Throws corvane::Error naming the file when there is no 3DFACE at all ("no 3DFACE found: ..."),
// and naming the file and the line when a group code or a coordinate is not a number (with the
// text) or when the bytes end inside a face ("the file ends inside this 3DFACE", the line of
// its "3DFACE"). The mesh then keeps every whole face read before it, with its extents taken
// and its triangles sorted, so what was read can be shown and used.
MeshLoadOutcome LoadDxfMesh(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
                            RunControl& control);

// The same for a file on disk (mapped, not copied). A file that cannot be opened or is not a
// regular file throws corvane::Error. So does a file that another program shortens or
// rewrites while it is read ("changed while it was read"); the mesh is then left empty.
MeshLoadOutcome LoadDxfMeshFile(FacetMesh& mesh, const std::string& path, RunControl& control);

// The steps after the reading that every mesh file shares: "Processing Mesh... Esc to
// Cancel." at 25, 85, then the sort by lowest z; Esc is tested at the two points and inside
// the sort. The extents must already be taken.
MeshLoadOutcome finishMesh(FacetMesh& mesh, RunControl& control);

// The steps before the reading that every mesh file shares: "Loading <name>... Esc to
// Cancel." and the gauge at 10, then 5; the mesh emptied.
void loadingMeshSteps(FacetMesh& mesh, const std::string& fileName, RunControl& control);

// finishMesh up to the sort: the status texts, the gauge and the two looks at Esc; false
// when Esc was pressed.
bool processingMeshSteps(RunControl& control);

// "<name> Succesfully loaded... <n> Facets displayed. Use mouse to change view."
std::string loadedMessage(const std::string& fileName, std::size_t triangleCount);

} // namespace corvane::mesh
