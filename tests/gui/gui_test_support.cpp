#include "gui_test_support.h"

#include "imaging/picture_io.h"

namespace corvane::gui::testing {

imaging::Picture solidPicture(int width, int height, imaging::Rgb colour)
{
    imaging::Picture picture;
    picture.width = width;
    picture.height = height;
    picture.bitCount = 24;
    picture.pixels.resize(picture.rowStride() * std::size_t(height));
    for (std::size_t i = 0; i < picture.pixels.size(); i += 3) {
        picture.pixels[i] = colour.r;
        picture.pixels[i + 1] = colour.g;
        picture.pixels[i + 2] = colour.b;
    }
    return picture;
}

QString writeBmp(const QTemporaryDir& folder, const QString& name, const imaging::Picture& picture)
{
    const QString path = folder.filePath(name);
    imaging::writePicture(picture, path.toStdString(), imaging::FileTypeBmp);
    return path;
}

} // namespace corvane::gui::testing
