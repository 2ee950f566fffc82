// Solid triangles written straight into a 32-bit image with a depth buffer, for shaded
// surfaces of hundreds of thousands of faces a few pixels each: the general painter would
// spend its time on set-up per polygon and could not hide the faces behind.
#pragma once

#include <QImage>
#include <vector>

namespace corvane::gui {

struct ScreenVertex {
    double x = 0, y = 0; // pixels; (x, y) lies in the pixel (floor x, floor y)
    double depth = 0;    // larger is nearer the viewer
};

// The image's depth buffer, one entry a pixel, as far as can be until a face is filled.
class DepthBuffer {
public:
    explicit DepthBuffer(const QImage& image);
    float* row(int y) { return values_.data() + std::size_t(y) * width_; }

private:
    int width_;
    std::vector<float> values_;
};

// Sets every pixel whose centre lies inside the triangle (edges included) and whose depth
// there is nearer than the buffer's. image: Format_RGB32 or Format_ARGB32_Premultiplied, the
// buffer made for it; color opaque.
void fillTriangle(QImage& image, DepthBuffer& depth, const ScreenVertex& a, const ScreenVertex& b,
                  const ScreenVertex& c, QRgb color);

} // namespace corvane::gui
