// Texture shading, resampling and rotation. Resampling is our own separable Lanczos filter:
// on big pictures it is faster than handing the pixels to the image library and back.
#include "common/error.h"
#include "imaging/image_operations.h"
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

// The source samples that make one output sample, and their weights (adding up to 1).
struct Taps {
    int first = 0;
    std::vector<float> weights;
};

double lanczos3(double x)
{
    x = std::fabs(x);
    if (x < 1e-12)
        return 1;
    if (x >= 3)
        return 0;
    const double px = pi * x;
    return 3 * std::sin(px) * std::sin(px / 3) / (px * px);
}

// Lanczos-3 taps for `to` samples from `from`; when shrinking the window widens so every
// source sample counts. Taps beyond the edge fold onto the edge sample.
std::vector<Taps> lanczosTaps(int from, int to)
{
    const double scale = double(to) / from;
    const double stretch = std::max(1.0, 1 / scale); // filter widening when shrinking
    const double support = 3 * stretch;
    std::vector<Taps> taps(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        const double centre = (i + 0.5) / scale - 0.5;
        const int low = int(std::floor(centre - support)) + 1;
        const int high = int(std::ceil(centre + support)) - 1;
        const int first = std::clamp(low, 0, from - 1);
        const int last = std::clamp(high, 0, from - 1);
        std::vector<double> w(std::size_t(last - first + 1), 0.0);
        double total = 0;
        for (int j = low; j <= high; ++j) {
            const double weight = lanczos3((j - centre) / stretch);
            w[std::size_t(std::clamp(j, 0, from - 1) - first)] += weight;
            total += weight;
        }
        Taps& t = taps[std::size_t(i)];
        t.first = first;
        for (double v : w)
            t.weights.push_back(float(v / total));
    }
    return taps;
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

ResizedSize resizedSize(int width, int height, double ratio)
{
    return {std::max(1.0, std::nearbyint(width * ratio)),
            std::max(1.0, std::nearbyint(height * ratio))};
}

Picture resizeImage(const Picture& picture, double ratio)
{
    detail::requireImage("resize-image", picture);
    if (!(ratio > 0) || !std::isfinite(ratio))
        throw Error("resize-image: ratio must be greater than 0");
    const auto [newWidth, newHeight] = resizedSize(picture.width, picture.height, ratio);
    if (newWidth > LargestResizedSide || newHeight > LargestResizedSide)
        throw Error("resize-image: the result of " + std::to_string(long(newWidth)) + " x " +
                    std::to_string(long(newHeight)) + " pixels would be too large");
    const bool grey = hasGreyPalette(picture);
    const Picture rgb = detail::expandedTo24(picture);
    const int w = int(newWidth), h = int(newHeight);

    // Separable Lanczos-3: across the rows into a float picture, then down the columns.
    const std::vector<Taps> across = lanczosTaps(rgb.width, w);
    const std::vector<Taps> down = lanczosTaps(rgb.height, h);
    std::vector<float> middle(std::size_t(w) * 3 * std::size_t(rgb.height));
    for (int y = 0; y < rgb.height; ++y) {
        const std::uint8_t* in = rgb.row(y);
        float* m = middle.data() + std::size_t(y) * std::size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            const Taps& t = across[std::size_t(x)];
            float r = 0, g = 0, b = 0;
            for (std::size_t k = 0; k < t.weights.size(); ++k) {
                const std::uint8_t* p = in + 3 * std::size_t(t.first + int(k));
                const float wt = t.weights[k];
                r += wt * p[0], g += wt * p[1], b += wt * p[2];
            }
            m[3 * x] = r, m[3 * x + 1] = g, m[3 * x + 2] = b;
        }
    }
    Picture out = detail::blankLike(rgb, 24);
    out.width = w;
    out.height = h;
    out.pixels.assign(out.rowStride() * std::size_t(h), 0);
    std::vector<float> sum(std::size_t(w) * 3);
    for (int y = 0; y < h; ++y) {
        const Taps& t = down[std::size_t(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (std::size_t k = 0; k < t.weights.size(); ++k) {
            const float* m = middle.data() + std::size_t(t.first + int(k)) * sum.size();
            const float wt = t.weights[k];
            for (std::size_t i = 0; i < sum.size(); ++i)
                sum[i] += wt * m[i];
        }
        std::uint8_t* o = out.row(y);
        for (std::size_t i = 0; i < sum.size(); ++i)
            o[i] = std::uint8_t(std::clamp(std::lrint(sum[i]), 0L, 255L));
    }
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
    // In blocks of 64 x 64 so that the rows written across stay in the cache.
    constexpr int block = 64;
    for (int by = 0; by < h; by += block)
        for (int bx = 0; bx < w; bx += block)
            for (int y = by; y < std::min(h, by + block); ++y) {
                const std::uint8_t* in = picture.row(y);
                for (int x = bx; x < std::min(w, bx + block); ++x) {
                    int tx, ty;
                    if (quarter == 1)
                        tx = h - 1 - y, ty = x; // clockwise
                    else if (quarter == 2)
                        tx = w - 1 - x, ty = h - 1 - y;
                    else
                        tx = y, ty = w - 1 - x;
                    const std::uint8_t* from = in + bytes * std::size_t(x);
                    std::uint8_t* to = out.row(ty) + bytes * std::size_t(tx);
                    to[0] = from[0];
                    if (bytes == 3)
                        to[1] = from[1], to[2] = from[2];
                }
            }
    return out;
}

} // namespace corvane::imaging
