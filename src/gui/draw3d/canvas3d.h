// TCanvas3D: what a view draws with inside the 3D drawing panel's paint event: a pen and a
// brush, move-to / line-to in 3D, rectangles at a depth and shaded faces, all on integer canvas
// coordinates (x right, y down, z depth) projected with the panel's view options
// (view_projection.h).
//
// Lines are gathered and handed to the painter in batches, so a wire-frame of millions of
// edges costs one drawLines call per few thousand lines rather than one call per line.
#pragma once

#include "gui/draw3d/filled_triangles.h"
#include "gui/draw3d/view_projection.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <optional>
#include <vector>

namespace corvane::gui {

class TCanvas3D {
public:
    // target: the image the painter paints on, when lines may be written into it directly
    // (see thin_lines.h); null to leave every line to the painter.
    TCanvas3D(QPainter& painter, const ViewProjection& projection, QImage* target = nullptr);
    ~TCanvas3D(); // draws what is still batched
    TCanvas3D(const TCanvas3D&) = delete;
    TCanvas3D& operator=(const TCanvas3D&) = delete;

    // Pen for the next lines and rectangle outlines; width in pixels.
    void SetPen(const QColor& color, int width = 1);
    // Fill of the next rectangles.
    void SetBrush(const QColor& color);
    QColor PenColor() const { return penColor_; }

    void MoveTo(int x, int y, int z);
    // A line from the pen position; the pen moves to its end.
    void LineTo(int x, int y, int z);
    // The rectangle (left, top) - (right, bottom) in the plane at depth z, outlined with the
    // pen and filled with the brush.
    void Rectangle(int left, int top, int right, int bottom, int z);

    // A solid face of a surface, hidden where a nearer face has been filled (lines are not
    // hidden). Coordinates are canvas units like the others, but need not be whole.
    struct Point {
        double x, y, z;
    };
    void FillTriangle(const Point& a, const Point& b, const Point& c, QRgb color);

    // Draws the batched lines now (also done by a pen change, a rectangle and the end).
    void Flush();

private:
    QPainter& painter_;
    const ViewProjection& projection_;
    QImage* target_;
    QColor penColor_{Qt::black};
    int penWidth_ = 1;
    QColor brushColor_{Qt::black};
    ScreenPoint at_;
    std::vector<QLineF> batch_;
    std::optional<DepthBuffer> depth_; // made at the first face
};

} // namespace corvane::gui
