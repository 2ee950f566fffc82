// OBJ, OFF and 3MF through assimp, the field's library for model files. Polygons are
// cut into triangles, node transforms applied, points and lines passed over.
#pragma once

#include "mesh/triangle_sink.h"

#include <string>
#include <string_view>

namespace corvane::mesh {

// From a file on disk; the kind comes from the content and the extension. Throws
// corvane::Error naming the file and the library's reason when it cannot be read, when a
// corner is not a finite number, and when it holds no triangles.
void readMeshThroughAssimp(const std::string& path, TriangleSink& out);

// The same from bytes in memory; extension ("obj", "off", "3mf") says the kind.
void readMeshThroughAssimp(std::string_view bytes, const std::string& extension,
                           const std::string& fileName, TriangleSink& out);

} // namespace corvane::mesh
