#include "imaging/picture_io.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace corvane::imaging {

int fileTypeFromName(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".bmp" || ext == ".dib")
        return FileTypeBmp;
    if (ext == ".pcx")
        return FileTypePcx;
    if (ext == ".tif" || ext == ".tiff")
        return FileTypeTiff;
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".jpe")
        return FileTypeJpeg;
    if (ext == ".png")
        return FileTypePng;
    if (ext == ".pbm" || ext == ".pgm" || ext == ".ppm" || ext == ".pnm")
        return FileTypePnm;
    return FileTypeUnknown;
}

bool canWriteFileKind(const std::string& path)
{
    return fileTypeFromName(path) != FileTypeUnknown;
}

} // namespace corvane::imaging
