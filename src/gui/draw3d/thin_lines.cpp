#include "gui/draw3d/thin_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace corvane::gui {

namespace {

// Liang-Barsky: cuts the segment to the box [0, w) x [0, h); false when nothing is left.
bool clip(double& x0, double& y0, double& x1, double& y1, double w, double h)
{
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, w - x0, y0, h - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

} // namespace

void drawThinLines(QImage& image, QRgb color, const QLineF* lines, std::size_t count)
{
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0)
        return;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const auto plot = [&](int x, int y) { reinterpret_cast<QRgb*>(bits + y * stride)[x] = color; };
    // Just inside the box, so that flooring a clipped end never leaves it.
    const double maxX = w - 1e-6, maxY = h - 1e-6;
    for (std::size_t i = 0; i < count; ++i) {
        double x0 = lines[i].x1(), y0 = lines[i].y1(), x1 = lines[i].x2(), y1 = lines[i].y2();
        // The common case: both ends in one pixel inside the picture. The range is tested on
        // the doubles: converting a value beyond int to int is undefined.
        if (x0 >= 0 && x0 < w && y0 >= 0 && y0 < h) {
            const int px = int(x0), py = int(y0);
            if (x1 >= px && x1 < px + 1 && y1 >= py && y1 < py + 1) {
                plot(px, py);
                continue;
            }
        }
        if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1)))
            continue;
        if (!clip(x0, y0, x1, y1, maxX, maxY))
            continue;
        // Clipped into [0, w) x [0, h): the conversions are safe now.
        int ix0 = std::clamp(int(std::floor(x0)), 0, w - 1);
        int iy0 = std::clamp(int(std::floor(y0)), 0, h - 1);
        const int ix1 = std::clamp(int(std::floor(x1)), 0, w - 1);
        const int iy1 = std::clamp(int(std::floor(y1)), 0, h - 1);
        // Bresenham between the clipped ends.
        const int dx = std::abs(ix1 - ix0), dy = -std::abs(iy1 - iy0);
        const int sx = ix0 < ix1 ? 1 : -1, sy = iy0 < iy1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            plot(ix0, iy0);
            if (ix0 == ix1 && iy0 == iy1)
                break;
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                ix0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                iy0 += sy;
            }
        }
    }
}

} // namespace corvane::gui
