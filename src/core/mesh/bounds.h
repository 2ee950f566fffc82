// A running box around points, turned into Extents3D at the end.
#pragma once

#include "geometry/extents3d.h"
#include "geometry/point3d.h"

#include <algorithm>

namespace corvane::mesh {

class Bounds {
public:
    bool empty() const { return empty_; }

    void add(const Point3D& p)
    {
        if (empty_) {
            minX_ = maxX_ = p.x;
            minY_ = maxY_ = p.y;
            minZ_ = maxZ_ = p.z;
            empty_ = false;
            return;
        }
        minX_ = std::min(minX_, p.x);
        maxX_ = std::max(maxX_, p.x);
        minY_ = std::min(minY_, p.y);
        maxY_ = std::max(maxY_, p.y);
        minZ_ = std::min(minZ_, p.z);
        maxZ_ = std::max(maxZ_, p.z);
    }

    // All zero when no point was added.
    Extents3D extents() const
    {
        return {minX_, maxX_, minY_, maxY_, minZ_, maxZ_, maxY_ - minY_, maxX_ - minX_};
    }

private:
    bool empty_ = true;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0, minZ_ = 0, maxZ_ = 0;
};

} // namespace corvane::mesh
