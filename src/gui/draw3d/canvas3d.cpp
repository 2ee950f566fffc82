#include "gui/draw3d/canvas3d.h"

#include "gui/draw3d/thin_lines.h"

#include <QPolygonF>

namespace corvane::gui {

namespace {

// Big enough to make the cost per call vanish, small enough to stay in the cache.
constexpr std::size_t BatchSize = 4096;

QPen penOf(const QColor& color, int width)
{
    QPen pen(color);
    pen.setWidth(width);
    return pen;
}

} // namespace

TCanvas3D::TCanvas3D(QPainter& painter, const ViewProjection& projection, QImage* target)
    : painter_(painter), projection_(projection), target_(target)
{
    batch_.reserve(BatchSize);
    painter_.setPen(penOf(penColor_, penWidth_));
    painter_.setBrush(brushColor_);
}

TCanvas3D::~TCanvas3D()
{
    Flush();
}

void TCanvas3D::SetPen(const QColor& color, int width)
{
    if (color == penColor_ && width == penWidth_)
        return;
    Flush();
    penColor_ = color;
    penWidth_ = width;
    painter_.setPen(penOf(color, width));
}

void TCanvas3D::SetBrush(const QColor& color)
{
    brushColor_ = color;
    painter_.setBrush(color);
}

void TCanvas3D::MoveTo(int x, int y, int z)
{
    at_ = projection_.project(x, y, z);
}

void TCanvas3D::LineTo(int x, int y, int z)
{
    const ScreenPoint to = projection_.project(x, y, z);
    batch_.emplace_back(at_.x, at_.y, to.x, to.y);
    at_ = to;
    if (batch_.size() == BatchSize)
        Flush();
}

void TCanvas3D::Rectangle(int left, int top, int right, int bottom, int z)
{
    Flush();
    QPolygonF corners;
    for (const auto& [x, y] :
         {std::pair{left, top}, {right, top}, {right, bottom}, {left, bottom}}) {
        const ScreenPoint p = projection_.project(x, y, z);
        corners << QPointF(p.x, p.y);
    }
    painter_.drawPolygon(corners);
}

void TCanvas3D::FillTriangle(const Point& a, const Point& b, const Point& c, QRgb color)
{
    const auto screen = [this](const Point& p) {
        const ScreenPoint s = projection_.project(p.x, p.y, p.z);
        return ScreenVertex{s.x, s.y, projection_.depth(p.x, p.y, p.z)};
    };
    const bool direct = target_ && painter_.transform().isIdentity() &&
                        (target_->format() == QImage::Format_RGB32 ||
                         target_->format() == QImage::Format_ARGB32_Premultiplied);
    if (direct) {
        if (!depth_)
            depth_.emplace(*target_);
        fillTriangle(*target_, *depth_, screen(a), screen(b), screen(c), color | 0xFF000000u);
        return;
    }
    Flush();
    QPolygonF corners;
    for (const Point* p : {&a, &b, &c}) {
        const ScreenVertex v = screen(*p);
        corners << QPointF(v.x, v.y);
    }
    painter_.save();
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(QColor::fromRgb(color));
    painter_.drawPolygon(corners);
    painter_.restore();
}

void TCanvas3D::Flush()
{
    if (batch_.empty())
        return;
    const bool direct = target_ && penWidth_ <= 1 && penColor_.alpha() == 255 &&
                        !painter_.testRenderHint(QPainter::Antialiasing) &&
                        painter_.transform().isIdentity() &&
                        (target_->format() == QImage::Format_RGB32 ||
                         target_->format() == QImage::Format_ARGB32_Premultiplied);
    if (direct)
        drawThinLines(*target_, penColor_.rgb(), batch_.data(), batch_.size());
    else
        painter_.drawLines(batch_.data(), int(batch_.size()));
    batch_.clear();
}

} // namespace corvane::gui
