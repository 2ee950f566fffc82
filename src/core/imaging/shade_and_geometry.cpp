// Texture shading, resampling and rotation.
#include "common/error.h"
#include "imaging/image_operations.h"
#include "imaging/magick_library.h"
#include "imaging/operation_support.h"
#include "imaging/palette_kinds.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace corvane::imaging {

namespace {

using detail::RowProgress;

// A fixed texture: the same value for the same pixel on every run and machine.
double textureAt(int x, int y)
{
    std::uint64_t h = std::uint64_t(std::uint32_t(x)) << 32 | std::uint32_t(y);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return double(h >> 11) / double(std::uint64_t(1) << 53);
}

constexpr double pi = 3.14159265358979323846;

// How many pixels one full step of brightness (0 to 255) rises: enough for gentle slopes to
// show without every edge turning into a cliff.
constexpr double reliefHeight = 4.0;

// Converts a rejected library result into our error.
[[noreturn]] void libraryFailure(const char* operation, const ExceptionInfo& exception)
{
    const std::string why = magick::describe(exception);
    throw Error(std::string(operation) + ": " + (why.empty() ? "the image library failed" : why));
}

} // namespace

Picture lambertShade(const Picture& picture, float latitude, float longitude, int mode,
                     float roughness, RunControl& control)
{
    detail::requireImage("lambert-shade", picture);
    detail::requireRange("lambert-shade", "latitude", latitude, -90, 90);
    detail::requireRange("lambert-shade", "longitude", longitude, -90, 90);
    detail::requireRange("lambert-shade", "mode", mode, 1, 3);
    detail::requireRange("lambert-shade", "roughness", roughness, 0, 1);
    const Picture rgb = detail::expandedTo24(picture);
    const int w = rgb.width, h = rgb.height;
    // The surface: the picture's brightness, the texture, or both, in pixels of height.
    std::vector<float> height(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* p = rgb.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            double z = 0;
            if (mode != 2)
                z += detail::luminance({p[0], p[1], p[2]}) / 255.0 * reliefHeight;
            if (mode != 1)
                z += roughness * textureAt(x, y) * reliefHeight;
            height[std::size_t(y) * std::size_t(w) + std::size_t(x)] = float(z);
        }
    }
    // The lamp, tilted from straight above by the latitude towards the top edge and by the
    // longitude towards the right edge (picture rows run downwards).
    const double lat = double(latitude) * pi / 180, lon = double(longitude) * pi / 180;
    const double lx = std::sin(lon) * std::cos(lat), ly = -std::sin(lat),
                 lz = std::cos(lon) * std::cos(lat);
    Picture out = detail::blankLike(rgb, 24);
    auto at = [&](int x, int y) {
        return double(height[std::size_t(std::clamp(y, 0, h - 1)) * std::size_t(w) +
                             std::size_t(std::clamp(x, 0, w - 1))]);
    };
    RowProgress progress(control, h);
    for (int y = 0; y < h; ++y) {
        progress.row(y);
        const std::uint8_t* p = rgb.row(y);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < w; ++x) {
            const double nx = -(at(x + 1, y) - at(x - 1, y)) / 2;
            const double ny = -(at(x, y + 1) - at(x, y - 1)) / 2;
            const double shade =
                std::max(0.0, (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1));
            for (int c = 0; c < 3; ++c)
                o[3 * x + c] = std::uint8_t(std::min(255L, std::lrint(p[3 * x + c] * shade)));
        }
    }
    return out;
}

Picture resizeImage(const Picture& picture, double ratio)
{
    detail::requireImage("resize-image", picture);
    if (!(ratio > 0) || !std::isfinite(ratio))
        throw Error("resize-image: ratio must be greater than 0");
    const double newWidth = std::max(1.0, std::nearbyint(picture.width * ratio));
    const double newHeight = std::max(1.0, std::nearbyint(picture.height * ratio));
    // Beyond this a picture's rows no longer fit the library's or our int sizes.
    constexpr double largest = 65500;
    if (newWidth > largest || newHeight > largest)
        throw Error("resize-image: the result of " + std::to_string(long(newWidth)) + " x " +
                    std::to_string(long(newHeight)) + " pixels would be too large");
    const bool grey = hasGreyPalette(picture);
    const Picture rgb = detail::expandedTo24(picture);

    magick::ensureMagickStarted();
    magick::ExceptionPtr exception = magick::newException();
    magick::ImagePtr source(ConstituteImage(std::size_t(rgb.width), std::size_t(rgb.height), "RGB",
                                            CharPixel, rgb.pixels.data(), exception.get()));
    if (!source)
        libraryFailure("resize-image", *exception);
    magick::ImagePtr resized(ResizeImage(source.get(), std::size_t(newWidth),
                                         std::size_t(newHeight), LanczosFilter, 1.0,
                                         exception.get()));
    if (!resized)
        libraryFailure("resize-image", *exception);
    Picture out;
    out.width = int(newWidth);
    out.height = int(newHeight);
    out.xRes = picture.xRes;
    out.yRes = picture.yRes;
    out.pixels.resize(out.rowStride() * std::size_t(out.height));
    if (!ExportImagePixels(resized.get(), 0, 0, std::size_t(out.width), std::size_t(out.height),
                           "RGB", CharPixel, out.pixels.data(), exception.get()))
        libraryFailure("resize-image", *exception);
    if (!grey)
        return out;
    // A grey picture stays grey: its three channels came out equal.
    Picture g = detail::blankLike(out, 8);
    for (std::size_t i = 0; i < g.pixels.size(); ++i)
        g.pixels[i] = out.pixels[3 * i];
    return g;
}

Picture rotateImage(const Picture& picture, float degrees)
{
    detail::requireImage("rotate-image", picture);
    const double turns = double(degrees) / 90;
    if (!std::isfinite(turns) || std::fabs(turns - std::nearbyint(turns)) > 1e-6)
        throw Error("rotate-image: degrees must be a multiple of 90");
    const int quarter = int(((long long)std::nearbyint(turns) % 4 + 4) % 4);
    if (quarter == 0)
        return picture;
    const std::size_t bytes = picture.indexed() ? 1 : 3;
    Picture out = picture;
    if (quarter != 2) {
        std::swap(out.width, out.height);
        std::swap(out.xRes, out.yRes);
    }
    const int w = picture.width, h = picture.height;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = picture.row(y);
        for (int x = 0; x < w; ++x) {
            int tx, ty;
            if (quarter == 1)
                tx = h - 1 - y, ty = x; // clockwise
            else if (quarter == 2)
                tx = w - 1 - x, ty = h - 1 - y;
            else
                tx = y, ty = w - 1 - x;
            std::copy(in + bytes * std::size_t(x), in + bytes * std::size_t(x + 1),
                      out.row(ty) + bytes * std::size_t(tx));
        }
    }
    return out;
}

} // namespace corvane::imaging
