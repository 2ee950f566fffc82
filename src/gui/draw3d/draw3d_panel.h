// TDraw3D: the 3D drawing panel the mesh and DNC views draw on. It owns the view options
// (rotation, elevation, tilt, zoom, offsets), calls its owner's paint handler with a
// TCanvas3D whenever the picture must be drawn, keeps the finished picture in a buffer
// (so uncovering the window does not draw a big mesh again), and copies the picture to the
// clipboard on a white background.
//
// It has no mouse handling of its own: no built-in zoom or scroll. Its owner receives the
// mouse through the handlers below and changes the view options, each change drawing the
// panel again through the paint handler.
//
// Use:
//   auto* panel = new corvane::gui::TDraw3D(parent);
//   panel->SetPaintHandler([this](corvane::gui::TCanvas3D& canvas) { drawMesh(canvas); });
//   panel->SetRotation(345);  // draws again
#pragma once

#include "gui/draw3d/canvas3d.h"
#include "gui/draw3d/view_projection.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <functional>
#include <optional>

class QMouseEvent;

namespace corvane::gui {

class TDraw3D : public QFrame {
public:
    explicit TDraw3D(QWidget* parent = nullptr);

    // --- view options; setting one that changes draws the panel again ---
    int Rotation() const { return view_.rotation; }
    int Elevation() const { return view_.elevation; }
    int Tilt() const { return view_.tilt; }
    int Zoom() const { return view_.zoom; } // percent, > 0
    int HorizOffset() const { return view_.horizOffset; }
    int VertOffset() const { return view_.vertOffset; }
    void SetRotation(int degrees);
    void SetElevation(int degrees);
    void SetTilt(int degrees);
    void SetZoom(int percent); // values below 1 are refused (kept as they were)
    void SetHorizOffset(int pixels);
    void SetVertOffset(int pixels);
    // Several options at once, drawn once.
    void SetView(const ViewOptions& view);
    const ViewOptions& View() const { return view_; }

    // The projection is always parallel: Orthogonal and Perspective are kept for the views
    // that set them (to false and 0) and do not change the drawing.
    bool Orthogonal() const { return orthogonal_; }
    void SetOrthogonal(bool on) { orthogonal_ = on; }
    int Perspective() const { return perspective_; }
    void SetPerspective(int amount) { perspective_ = amount; }
    // 3D mode on: points are projected with the view options; off: drawn at their own x, y.
    bool View3D() const { return view3D_; }
    void SetView3D(bool on);
    QColor Color() const { return color_; }
    void SetColor(const QColor& background);

    // --- fitting the drawing into the panel ---
    // The owner's drawing as a canvas box for the panel's current size; none while there is
    // nothing to fit.
    using FitBoxHandler = std::function<std::optional<CanvasBox>()>;
    void SetFitBoxHandler(FitBoxHandler handler);
    // Turns the view to the angles of `angles` with the zoom and offsets that show the whole
    // drawing, centred, in the panel. The fit is kept when the panel is resized, until the
    // view is changed in another way.
    void FitView(const ViewOptions& angles);
    // The same at the current angles.
    void ZoomToFit() { FitView(view_); }

    // --- drawing ---
    using PaintHandler = std::function<void(TCanvas3D&)>;
    void SetPaintHandler(PaintHandler handler);
    // The bottom edge of the drawing area (the base line views flip y about), in canvas pixels.
    int DrawingBottom() const;
    // Draws the picture again now.
    void Repaint();
    // Draws again at the next paint (for changes of what the owner draws).
    void Invalidate();
    // The current picture drawn afresh on white, as the clipboard gets it.
    QImage PictureOnWhite();
    void CopyToClipboard();
    // Where a canvas point lands on the panel with the current view options.
    ScreenPoint Project(int x, int y, int z) const;

    // --- mouse, passed to the owner untouched ---
    using MouseHandler = std::function<void(QMouseEvent&)>;
    void SetMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void changeView(const ViewOptions& view);
    void changeOption(int ViewOptions::*option, int value);
    ViewProjection projection() const;
    void render(QImage& target, const QColor& background);

    ViewOptions view_;
    bool orthogonal_ = false;
    int perspective_ = 0;
    bool view3D_ = true;
    QColor color_{Qt::white};
    PaintHandler paint_;
    FitBoxHandler fitBox_;
    std::optional<ViewOptions> fitted_; // the view the last fit gave
    MouseHandler mouseDown_, mouseMove_, mouseUp_;
    QImage buffer_;
    bool bufferValid_ = false;
};

} // namespace corvane::gui
