#include "gui/draw3d/filled_triangles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::gui {

DepthBuffer::DepthBuffer(const QImage& image)
    : width_(image.width()),
      values_(std::size_t(image.width()) * std::size_t(std::max(image.height(), 0)),
              -std::numeric_limits<float>::infinity())
{
}

void fillTriangle(QImage& image, DepthBuffer& depth, const ScreenVertex& a, const ScreenVertex& b,
                  const ScreenVertex& c, QRgb color)
{
    // Twice the signed area; a face seen edge-on (or smaller than rounding) sets nothing.
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (!(std::abs(area) > 1e-12))
        return;
    const double left = std::min({a.x, b.x, c.x}), right = std::max({a.x, b.x, c.x});
    const double top = std::min({a.y, b.y, c.y}), bottom = std::max({a.y, b.y, c.y});
    // Pixels whose centres px + 0.5 can lie within the box, clipped to the image. The
    // comparisons also throw out NaN and faces far off the picture before any conversion.
    if (!(right >= 0.5 && bottom >= 0.5 && left < image.width() - 0.5 &&
          top < image.height() - 0.5))
        return;
    const int x0 = std::max(0, int(std::ceil(left - 0.5)));
    const int x1 = std::min(image.width() - 1, int(std::floor(right - 0.5)));
    const int y0 = std::max(0, int(std::ceil(top - 0.5)));
    const int y1 = std::min(image.height() - 1, int(std::floor(bottom - 0.5)));

    // Barycentric weights as edge functions, normalised by the area so that they are
    // positive inside whichever way round the corners run.
    const double inv = 1.0 / area;
    const auto edge = [inv](const ScreenVertex& p, const ScreenVertex& q) {
        struct {
            double dx, dy, at0;
        } e{-(q.y - p.y) * inv, (q.x - p.x) * inv, 0};
        return e;
    };
    auto wa = edge(b, c), wb = edge(c, a), wc = edge(a, b);
    const double cx = x0 + 0.5, cy = y0 + 0.5;
    wa.at0 = ((c.x - b.x) * (cy - b.y) - (c.y - b.y) * (cx - b.x)) * inv;
    wb.at0 = ((a.x - c.x) * (cy - c.y) - (a.y - c.y) * (cx - c.x)) * inv;
    wc.at0 = ((b.x - a.x) * (cy - a.y) - (b.y - a.y) * (cx - a.x)) * inv;
    constexpr double Slack = -1e-9; // pixels on a shared edge belong to both faces

    for (int y = y0; y <= y1; ++y) {
        const double dy = y - y0;
        double ua = wa.at0 + dy * wa.dy, ub = wb.at0 + dy * wb.dy, uc = wc.at0 + dy * wc.dy;
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        float* depths = depth.row(y);
        for (int x = x0; x <= x1; ++x, ua += wa.dx, ub += wb.dx, uc += wc.dx) {
            if (ua < Slack || ub < Slack || uc < Slack)
                continue;
            const float z = float(ua * a.depth + ub * b.depth + uc * c.depth);
            if (z >= depths[x]) {
                depths[x] = z;
                pixels[x] = color;
            }
        }
    }
}

} // namespace corvane::gui
