#include "gui/picture/save_as_rules.h"

#include "imaging/picture_io.h"

#include <QFileInfo>
#include <array>

namespace corvane::gui {

namespace {

struct SaveFilter {
    const char* extension;
    int typeCode;
};

constexpr std::array<SaveFilter, 6> kSaveFilters{{
    {".Bmp", 4},
    {".Jpg", 11},
    {".Pcx", 8},
    {".Tif", 9},
    {".Png", corvane::imaging::FileTypePng},
    {".Pnm", corvane::imaging::FileTypePnm},
}};

} // namespace

SaveTarget saveTargetFor(const QString& chosenName, int filterIndex)
{
    const SaveFilter& filter = (filterIndex >= 1 && filterIndex <= int(kSaveFilters.size()))
                                   ? kSaveFilters[filterIndex - 1]
                                   : kSaveFilters[0];
    SaveTarget target{chosenName, filter.typeCode};
    if (!QFileInfo(chosenName).fileName().contains(QLatin1Char('.')))
        target.fileName += QLatin1String(filter.extension);
    return target;
}

bool keepsSixteenBits(int typeCode)
{
    using namespace corvane::imaging;
    return typeCode == FileTypePng || typeCode == FileTypeTiff || typeCode == FileTypePnm;
}

QString fileKindName(int typeCode)
{
    using namespace corvane::imaging;
    switch (typeCode) {
    case FileTypeBmp:
        return QStringLiteral("BMP");
    case FileTypeJpeg:
        return QStringLiteral("JPEG");
    case FileTypePcx:
        return QStringLiteral("PCX");
    case FileTypeTiff:
        return QStringLiteral("TIFF");
    case FileTypePng:
        return QStringLiteral("PNG");
    case FileTypePnm:
        return QStringLiteral("PNM");
    default:
        return QStringLiteral("picture");
    }
}

bool isUntitledCaption(const QString& caption)
{
    return caption == QStringLiteral("New Picture") || caption == QStringLiteral(" ");
}

} // namespace corvane::gui
