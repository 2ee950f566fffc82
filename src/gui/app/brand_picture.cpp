#include "gui/app/brand_picture.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace corvane::gui {

namespace {

// Height of the relief at a point, 0..1: rings around a centre, fading outwards.
double reliefHeight(double x, double y)
{
    const double r = std::hypot(x, y);
    return 0.5 + 0.5 * std::cos(r * 18.0) * std::exp(-r * 1.6);
}

QImage shadedRings(QSize size, double centreX)
{
    QImage image(size, QImage::Format_RGB32);
    const double scale = 2.0 / std::max(1, std::min(size.width(), size.height()));
    const double eps = scale;
    for (int row = 0; row < size.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int col = 0; col < size.width(); ++col) {
            const double x = (col - size.width() * centreX) * scale;
            const double y = (row - size.height() * 0.5) * scale;
            // Light from the top left, as on a milled part under a lamp.
            const double dx = reliefHeight(x + eps, y) - reliefHeight(x - eps, y);
            const double dy = reliefHeight(x, y + eps) - reliefHeight(x, y - eps);
            const double shade = std::clamp(0.62 - 6.0 * (dx + dy), 0.0, 1.0);
            line[col] = qRgb(int(90 + 150 * shade), int(80 + 140 * shade), int(60 + 110 * shade));
        }
    }
    return image;
}

} // namespace

QPixmap reliefEmblem(QSize size)
{
    return QPixmap::fromImage(shadedRings(size, 0.5));
}

QPixmap brandPicture(QSize size)
{
    QImage image = shadedRings(size, 0.3);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(std::max(10, size.height() / 5));
    p.setFont(font);
    p.setPen(QColor(40, 30, 20));
    p.drawText(QRect(0, 0, size.width() - size.width() / 12, size.height()),
               Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Corvane"));
    return QPixmap::fromImage(image);
}

} // namespace corvane::gui
