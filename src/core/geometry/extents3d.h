// The box around a mesh, a grid or a program, in the order the views and builders read it.
#pragma once

namespace corvane {

struct Extents3D {
    double minX = 0, maxX = 0;
    double minY = 0, maxY = 0;
    double minZ = 0, maxZ = 0;
    double rangeY = 0; // maxY - minY
    double rangeX = 0; // maxX - minX

    friend bool operator==(const Extents3D&, const Extents3D&) = default;
};

} // namespace corvane
