// A point in model units (millimetres or inches, whatever the file uses).
#pragma once

namespace corvane {

struct Point3D {
    double x = 0;
    double y = 0;
    double z = 0;

    friend bool operator==(const Point3D&, const Point3D&) = default;
};

} // namespace corvane
