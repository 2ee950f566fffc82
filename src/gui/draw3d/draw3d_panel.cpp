#include "gui/draw3d/draw3d_panel.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPaintEvent>

namespace corvane::gui {

TDraw3D::TDraw3D(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Draw3D"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken); // the lowered bevel
    setLineWidth(1);
    // The whole drawing comes from the buffer: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setMouseTracking(false);
}

void TDraw3D::changeView(const ViewOptions& view)
{
    if (view == view_)
        return;
    view_ = view;
    Repaint();
}

void TDraw3D::changeOption(int ViewOptions::*option, int value)
{
    ViewOptions v = view_;
    v.*option = value;
    changeView(v);
}

void TDraw3D::SetRotation(int degrees)
{
    changeOption(&ViewOptions::rotation, degrees);
}

void TDraw3D::SetElevation(int degrees)
{
    changeOption(&ViewOptions::elevation, degrees);
}

void TDraw3D::SetTilt(int degrees)
{
    changeOption(&ViewOptions::tilt, degrees);
}

void TDraw3D::SetZoom(int percent)
{
    if (percent >= 1) // a zoom of 0 would collapse the picture to a point
        changeOption(&ViewOptions::zoom, percent);
}

void TDraw3D::SetHorizOffset(int pixels)
{
    changeOption(&ViewOptions::horizOffset, pixels);
}

void TDraw3D::SetVertOffset(int pixels)
{
    changeOption(&ViewOptions::vertOffset, pixels);
}

void TDraw3D::SetView(const ViewOptions& view)
{
    ViewOptions v = view;
    if (v.zoom < 1)
        v.zoom = view_.zoom;
    changeView(v);
}

void TDraw3D::SetView3D(bool on)
{
    if (on == view3D_)
        return;
    view3D_ = on;
    Repaint();
}

void TDraw3D::SetColor(const QColor& background)
{
    if (background == color_)
        return;
    color_ = background;
    Repaint();
}

void TDraw3D::SetFitBoxHandler(FitBoxHandler handler)
{
    fitBox_ = std::move(handler);
}

void TDraw3D::FitView(const ViewOptions& angles)
{
    ViewOptions view = angles;
    const std::optional<CanvasBox> box = fitBox_ ? fitBox_() : std::nullopt;
    if (box && view3D_) {
        // Room for the bevel's neighbours: a line on the panel's edge would be hard to see.
        constexpr double Margin = 8;
        const QRect area = contentsRect();
        view = fitView(view, *box, area.left(), area.top(), area.width(), area.height(), Margin);
    }
    changeView(view);
    fitted_ = view_;
}

void TDraw3D::SetPaintHandler(PaintHandler handler)
{
    paint_ = std::move(handler);
    Invalidate();
}

void TDraw3D::SetMouseHandlers(MouseHandler down, MouseHandler move, MouseHandler up)
{
    mouseDown_ = std::move(down);
    mouseMove_ = std::move(move);
    mouseUp_ = std::move(up);
}

int TDraw3D::DrawingBottom() const
{
    return contentsRect().bottom() + 1;
}

ViewProjection TDraw3D::projection() const
{
    const QRect area = contentsRect();
    const ViewOptions flat{0, 0, 0, 100, 0, 0};
    return ViewProjection(view3D_ ? view_ : flat, area.left() + area.width() / 2.0,
                          area.top() + area.height() / 2.0);
}

ScreenPoint TDraw3D::Project(int x, int y, int z) const
{
    return projection().project(x, y, z);
}

void TDraw3D::render(QImage& target, const QColor& background)
{
    target.fill(background);
    if (!paint_)
        return;
    QPainter painter(&target);
    const ViewProjection view = projection();
    TCanvas3D canvas(painter, view, &target);
    paint_(canvas);
}

void TDraw3D::Repaint()
{
    Invalidate();
    repaint();
}

void TDraw3D::Invalidate()
{
    bufferValid_ = false;
    update();
}

QImage TDraw3D::PictureOnWhite()
{
    QImage picture(size(), QImage::Format_RGB32);
    render(picture, Qt::white);
    return picture;
}

void TDraw3D::CopyToClipboard()
{
    QApplication::clipboard()->setImage(PictureOnWhite());
}

void TDraw3D::paintEvent(QPaintEvent* event)
{
    if (!bufferValid_ || buffer_.size() != size()) {
        buffer_ = QImage(size(), QImage::Format_RGB32);
        render(buffer_, color_);
        bufferValid_ = true;
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), buffer_, event->rect());
    drawFrame(&painter);
}

void TDraw3D::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    bufferValid_ = false;
    // A fitted drawing stays fitted when the window grows or shrinks (a maximised window).
    if (fitted_ && *fitted_ == view_)
        FitView(view_);
}

void TDraw3D::mousePressEvent(QMouseEvent* event)
{
    if (mouseDown_)
        mouseDown_(*event);
}

void TDraw3D::mouseMoveEvent(QMouseEvent* event)
{
    if (mouseMove_)
        mouseMove_(*event);
}

void TDraw3D::mouseReleaseEvent(QMouseEvent* event)
{
    if (mouseUp_)
        mouseUp_(*event);
}

} // namespace corvane::gui
