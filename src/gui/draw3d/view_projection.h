// How the 3D drawing panel maps canvas points to the screen: a parallel projection (no
// perspective) controlled by the panel's view options.
//
// Canvas coordinates are integers: x to the right, y downwards, z the depth (negative below
// the stock top). The point is taken relative to the centre of the drawing area, turned by
// Rotation about the depth axis, then by Elevation about the screen's horizontal axis, then
// by Tilt about the line of sight, scaled by Zoom percent about the centre and moved by the
// offsets in pixels. Rotation 0, Elevation 0, Tilt 0, Zoom 100 and no offsets draw every
// point at its own x and y (the top view). Angles are degrees; positive turns are
// counter-clockwise as seen on the screen (y up), so Elevation 300 shows the depth below the
// stock top going down the screen.
#pragma once

namespace corvane::gui {

struct ViewOptions {
    int rotation = 0;    // degrees about the depth axis
    int elevation = 0;   // degrees about the screen's horizontal axis
    int tilt = 0;        // degrees about the line of sight
    int zoom = 100;      // percent
    int horizOffset = 0; // pixels to the right
    int vertOffset = 0;  // pixels down

    friend bool operator==(const ViewOptions&, const ViewOptions&) = default;
};

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

// A box in canvas coordinates, as a view draws its drawing: what the view options fit.
struct CanvasBox {
    double minX = 0, maxX = 0;
    double minY = 0, maxY = 0;
    double minZ = 0, maxZ = 0;
};

class ViewProjection {
public:
    // centreX, centreY: the centre of the drawing area, in the same pixels as the canvas.
    ViewProjection(const ViewOptions& view, double centreX, double centreY);

    ScreenPoint project(double x, double y, double z) const
    {
        return {ox_ + xx_ * x + xy_ * y + xz_ * z, oy_ + yx_ * x + yy_ * y + yz_ * z};
    }
    // How near the point lies to the viewer, for hiding surfaces: larger is nearer. Only
    // comparisons between points of one projection mean anything.
    double depth(double x, double y, double z) const { return zx_ * x + zy_ * y + zz_ * z; }

private:
    // screen = origin + matrix * canvas point, folded once per paint.
    double xx_, xy_, xz_, ox_;
    double yx_, yy_, yz_, oy_;
    double zx_, zy_, zz_;
};

// The view with the angles of `view` and the zoom and offsets that show the whole box,
// centred, in the drawing area (left, top, width, height in pixels; its centre is the
// projection's), less `margin` pixels on every side. The zoom is whole percent, rounded
// down so that the box stays inside; a box that projects to a point keeps the zoom and is
// only centred.
ViewOptions fitView(ViewOptions view, const CanvasBox& box, double left, double top, double width,
                    double height, double margin);

} // namespace corvane::gui
