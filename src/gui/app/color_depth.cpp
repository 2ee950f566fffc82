#include "gui/app/color_depth.h"

#include <algorithm>

namespace corvane::gui {

long long ScreenColorCount(int bitsPerPixel, int planes)
{
    // Capped so that a bogus device answer can not shift past the width of the result.
    const int bits = std::clamp(std::min(24, bitsPerPixel) * std::max(planes, 1), 0, 48);
    return 1LL << bits;
}

QString colorDepthWarning(long long colorCount)
{
    if (colorCount >= 512)
        return {};
    return QStringLiteral("This program requires a Color Depth > 256 ") +
           QString::number(colorCount) + QStringLiteral(" colors detected.");
}

} // namespace corvane::gui
