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

    // The box of the points added here and then those added to `later`: a tie keeps the value
    // met first, as adding them one by one would (0 and -0 compare equal but print apart).
    void add(const Bounds& later)
    {
        if (later.empty_)
            return;
        if (empty_) {
            *this = later;
            return;
        }
        minX_ = std::min(minX_, later.minX_);
        maxX_ = std::max(maxX_, later.maxX_);
        minY_ = std::min(minY_, later.minY_);
        maxY_ = std::max(maxY_, later.maxY_);
        minZ_ = std::min(minZ_, later.minZ_);
        maxZ_ = std::max(maxZ_, later.maxZ_);
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
