#include "gui/picture/picture_information.h"

namespace corvane::gui {

namespace {

QString depthText(const corvane::imaging::Picture& picture)
{
    if (picture.deep())
        return QStringLiteral("16 bits (depth map, 65536 grey levels)");
    if (picture.indexed())
        return QStringLiteral("%1 bits (%2 colors)")
            .arg(picture.bitCount)
            .arg(1 << picture.bitCount);
    return QStringLiteral("24 bits (millions of colors)");
}

} // namespace

QString pictureInformation(const corvane::imaging::Picture& picture)
{
    QString text = QStringLiteral("Width: %1 pixels\nHeight: %2 pixels\nColor Depth: %3")
                       .arg(picture.width)
                       .arg(picture.height)
                       .arg(depthText(picture));
    if (picture.xRes > 0 && picture.yRes > 0)
        text += QStringLiteral("\nResolution: %1 x %2 pixels per unit")
                    .arg(picture.xRes)
                    .arg(picture.yRes);
    return text;
}

} // namespace corvane::gui
