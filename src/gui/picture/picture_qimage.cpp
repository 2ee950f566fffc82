#include "gui/picture/picture_qimage.h"

#include "imaging/resolution.h"

#include <QPainter>
#include <cstring>

namespace corvane::gui {

using corvane::imaging::Picture;
using corvane::imaging::Rgb;

namespace {

constexpr double inchesPerMetre = 1.0 / 0.0254;

QList<QRgb> colourTable(const Picture& picture)
{
    QList<QRgb> table;
    table.reserve(qsizetype(picture.palette.size()));
    for (const Rgb c : picture.palette)
        table.push_back(qRgb(c.r, c.g, c.b));
    return table;
}

int pixelsPerInchFromDotsPerMetre(int dotsPerMetre)
{
    // Qt gives per metre; per centimetre is the same ratio with the decimal point moved.
    return corvane::imaging::pixelsPerInch(dotsPerMetre / 100.0,
                                           corvane::imaging::ResolutionUnit::PerCentimetre);
}

Picture fromIndexed(const QImage& image)
{
    Picture p;
    p.width = image.width();
    p.height = image.height();
    const QList<QRgb> table = image.colorTable();
    const int colours = int(table.size());
    p.bitCount = colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    p.palette.assign(std::size_t(1) << p.bitCount, Rgb{});
    for (int i = 0; i < colours; ++i)
        p.palette[i] = {std::uint8_t(qRed(table[i])), std::uint8_t(qGreen(table[i])),
                        std::uint8_t(qBlue(table[i]))};
    p.pixels.resize(p.rowStride() * std::size_t(p.height));
    const std::uint8_t last = std::uint8_t(std::max(colours, 1) - 1);
    for (int y = 0; y < p.height; ++y) {
        const uchar* in = image.constScanLine(y);
        std::uint8_t* out = p.row(y);
        for (int x = 0; x < p.width; ++x)
            out[x] = std::min(in[x], last);
    }
    return p;
}

Picture fromGrey(const QImage& image)
{
    Picture p;
    p.width = image.width();
    p.height = image.height();
    p.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        p.palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    p.pixels.resize(p.rowStride() * std::size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        std::memcpy(p.row(y), image.constScanLine(y), std::size_t(p.width));
    return p;
}

Picture fromColour(const QImage& image)
{
    QImage rgb;
    if (image.hasAlphaChannel()) {
        rgb = QImage(image.size(), QImage::Format_RGB888);
        rgb.fill(Qt::white);
        QPainter painter(&rgb);
        painter.drawImage(0, 0, image);
    } else {
        rgb = image.convertToFormat(QImage::Format_RGB888);
    }
    Picture p;
    p.width = rgb.width();
    p.height = rgb.height();
    p.bitCount = 24;
    p.pixels.resize(p.rowStride() * std::size_t(p.height));
    for (int y = 0; y < p.height; ++y)
        std::memcpy(p.row(y), rgb.constScanLine(y), p.rowStride());
    return p;
}

} // namespace

QImage viewOf(const Picture& picture)
{
    if (picture.empty())
        return {};
    QImage view(picture.pixels.data(), picture.width, picture.height,
                qsizetype(picture.rowStride()),
                picture.indexed() ? QImage::Format_Indexed8
                : picture.deep()  ? QImage::Format_Grayscale16 // samples in the machine's order
                                  : QImage::Format_RGB888);
    if (picture.indexed())
        view.setColorTable(colourTable(picture));
    return view;
}

// Qt keeps a resolution in whole dots per metre and has no "none"; our own pictures travel
// through the clipboard with their exact pixels per inch under this key.
const QString resolutionKey = QStringLiteral("Corvane.PixelsPerInch");

QImage toQImage(const Picture& picture)
{
    QImage image = viewOf(picture).copy();
    image.setText(resolutionKey, QString("%1 %2").arg(picture.xRes).arg(picture.yRes));
    if (picture.xRes > 0)
        image.setDotsPerMeterX(qRound(picture.xRes * inchesPerMetre));
    if (picture.yRes > 0)
        image.setDotsPerMeterY(qRound(picture.yRes * inchesPerMetre));
    return image;
}

Picture fromQImage(const QImage& image)
{
    if (image.isNull())
        return {};
    Picture p;
    if (image.format() == QImage::Format_Indexed8)
        p = fromIndexed(image);
    else if (image.format() == QImage::Format_Grayscale8)
        p = fromGrey(image);
    else if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
        p = fromIndexed(image.convertToFormat(QImage::Format_Indexed8));
    else
        p = fromColour(image);
    const QStringList ours = image.text(resolutionKey).split(' ');
    if (ours.size() == 2) {
        p.xRes = std::max(ours[0].toInt(), 0);
        p.yRes = std::max(ours[1].toInt(), 0);
    } else {
        p.xRes = pixelsPerInchFromDotsPerMetre(image.dotsPerMeterX());
        p.yRes = pixelsPerInchFromDotsPerMetre(image.dotsPerMeterY());
    }
    return p;
}

} // namespace corvane::gui
