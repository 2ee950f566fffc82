// Fewer colours: grey conversions, the 256-colour palettes, sixteen colours, eight colours
// and black and white. Our own code throughout: the palettes are small and fixed or built
// from a 15-bit histogram, which is fast on big pictures and gives the same result on every
// machine.
#include "common/error.h"
#include "imaging/image_operations.h"
#include "imaging/operation_support.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace corvane::imaging {

namespace {

using detail::RowProgress;
using detail::indexPixels;

// An 8-bit grey picture whose value for each pixel is grey(colour).
Picture greyPicture(const Picture& picture, const std::function<std::uint8_t(Rgb)>& grey,
                    RunControl& control)
{
    Picture out = detail::blankLike(picture, 8);
    RowProgress progress(control, picture.height);
    if (picture.indexed()) {
        std::array<std::uint8_t, 256> table{};
        for (std::size_t i = 0; i < picture.palette.size(); ++i)
            table[i] = grey(picture.palette[i]);
        for (int y = 0; y < picture.height; ++y) {
            progress.row(y);
            const std::uint8_t* in = picture.row(y);
            std::uint8_t* o = out.row(y);
            for (int x = 0; x < picture.width; ++x)
                o[x] = table[in[x]];
        }
        return out;
    }
    for (int y = 0; y < picture.height; ++y) {
        progress.row(y);
        const std::uint8_t* in = picture.row(y);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < picture.width; ++x, in += 3)
            o[x] = grey({in[0], in[1], in[2]});
    }
    return out;
}

int distance2(Rgb a, Rgb b)
{
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

std::uint8_t nearestOf(const std::vector<Rgb>& palette, int used, Rgb c)
{
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < used; ++i) {
        const int d = distance2(palette[std::size_t(i)], c);
        if (d < bestDistance)
            bestDistance = d, best = i;
    }
    return std::uint8_t(best);
}

// ---- palettes from a histogram of 5 bits a channel ----

constexpr int bucketCount = 1 << 15;

int bucketOf(const std::uint8_t* p)
{
    return (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3);
}

struct Histogram {
    std::vector<std::uint64_t> count, sumR, sumG, sumB;
};

Histogram histogramOf(const Picture& rgb)
{
    Histogram h{std::vector<std::uint64_t>(bucketCount), std::vector<std::uint64_t>(bucketCount),
                std::vector<std::uint64_t>(bucketCount), std::vector<std::uint64_t>(bucketCount)};
    const std::uint8_t* p = rgb.pixels.data();
    const std::size_t n = std::size_t(rgb.width) * std::size_t(rgb.height);
    for (std::size_t i = 0; i < n; ++i, p += 3) {
        const int b = bucketOf(p);
        ++h.count[std::size_t(b)];
        h.sumR[std::size_t(b)] += p[0];
        h.sumG[std::size_t(b)] += p[1];
        h.sumB[std::size_t(b)] += p[2];
    }
    return h;
}

Rgb meanOf(const Histogram& h, const std::vector<int>& buckets)
{
    std::uint64_t n = 0, r = 0, g = 0, b = 0;
    for (int i : buckets) {
        n += h.count[std::size_t(i)];
        r += h.sumR[std::size_t(i)];
        g += h.sumG[std::size_t(i)];
        b += h.sumB[std::size_t(i)];
    }
    if (n == 0)
        return {};
    return {std::uint8_t((r + n / 2) / n), std::uint8_t((g + n / 2) / n),
            std::uint8_t((b + n / 2) / n)};
}

// The most frequent buckets, each as the mean colour of its pixels.
std::vector<Rgb> popularityPalette(const Histogram& h)
{
    std::vector<int> used;
    for (int i = 0; i < bucketCount; ++i)
        if (h.count[std::size_t(i)])
            used.push_back(i);
    // Ties go to the lower bucket so the palette does not depend on the sort's whims.
    std::stable_sort(used.begin(), used.end(), [&](int a, int b) {
        return h.count[std::size_t(a)] > h.count[std::size_t(b)];
    });
    used.resize(std::min<std::size_t>(used.size(), 256));
    std::vector<Rgb> palette;
    for (int i : used)
        palette.push_back(meanOf(h, {i}));
    return palette;
}

int component(int bucket, int axis)
{
    return (bucket >> (10 - 5 * axis)) & 31;
}

// Heckbert's median cut: the box of colours with the most pixels spread over the widest
// range is split at its median along that range, until there are 256 boxes.
std::vector<Rgb> medianCutPalette(const Histogram& h)
{
    std::vector<std::vector<int>> boxes(1);
    for (int i = 0; i < bucketCount; ++i)
        if (h.count[std::size_t(i)])
            boxes[0].push_back(i);
    while (boxes.size() < 256) {
        std::size_t chosen = boxes.size();
        int chosenAxis = 0;
        double chosenScore = 0;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].size() < 2)
                continue;
            std::uint64_t pixels = 0;
            int low[3] = {31, 31, 31}, high[3] = {0, 0, 0};
            for (int i : boxes[b]) {
                pixels += h.count[std::size_t(i)];
                for (int a = 0; a < 3; ++a) {
                    low[a] = std::min(low[a], component(i, a));
                    high[a] = std::max(high[a], component(i, a));
                }
            }
            int axis = 0;
            for (int a = 1; a < 3; ++a)
                if (high[a] - low[a] > high[axis] - low[axis])
                    axis = a;
            const double score = double(pixels) * (high[axis] - low[axis]);
            if (score > chosenScore)
                chosenScore = score, chosen = b, chosenAxis = axis;
        }
        if (chosen == boxes.size())
            break;
        std::vector<int>& box = boxes[chosen];
        std::stable_sort(box.begin(), box.end(), [&](int a, int b) {
            return component(a, chosenAxis) < component(b, chosenAxis);
        });
        std::uint64_t total = 0, half = 0;
        for (int i : box)
            total += h.count[std::size_t(i)];
        std::size_t cut = 0;
        while (cut + 1 < box.size() && (half += h.count[std::size_t(box[cut])]) < total / 2)
            ++cut;
        cut = std::clamp<std::size_t>(cut + 1, 1, box.size() - 1);
        boxes.emplace_back(box.begin() + std::ptrdiff_t(cut), box.end());
        boxes[chosen].resize(cut);
    }
    std::vector<Rgb> palette;
    for (const auto& box : boxes)
        palette.push_back(meanOf(h, box));
    return palette;
}

// Each pixel to the nearest palette entry of its bucket's mean colour.
Picture mapThroughBuckets(const Picture& rgb, const Histogram& h, std::vector<Rgb> palette,
                          RunControl& control)
{
    const int used = int(palette.size());
    std::vector<std::uint8_t> index(bucketCount, 0);
    for (int i = 0; i < bucketCount; ++i)
        if (h.count[std::size_t(i)])
            index[std::size_t(i)] = nearestOf(palette, used, meanOf(h, {i}));
    Picture out = detail::blankLike(rgb, 8);
    palette.resize(256);
    out.palette = std::move(palette);
    indexPixels(rgb, out, control,
                [&](const std::uint8_t* in, int, int) { return index[std::size_t(bucketOf(in))]; });
    return out;
}

// ---- fixed palettes ----

Picture uniform884(const Picture& rgb, RunControl& control)
{
    Picture out = detail::blankLike(rgb, 8);
    for (int i = 0; i < 256; ++i)
        out.palette[std::size_t(i)] = {std::uint8_t(((i >> 5) & 7) * 255 / 7),
                                       std::uint8_t(((i >> 2) & 7) * 255 / 7),
                                       std::uint8_t((i & 3) * 255 / 3)};
    indexPixels(rgb, out, control, [](const std::uint8_t* in, int, int) {
        // Nearest level, not truncation, so white stays white and black black.
        const int r = (in[0] * 7 + 127) / 255, g = (in[1] * 7 + 127) / 255,
                  b = (in[2] * 3 + 127) / 255;
        return std::uint8_t(r << 5 | g << 2 | b);
    });
    return out;
}

void set666Palette(Picture& out)
{
    out.palette.assign(256, Rgb{});
    for (int i = 0; i < 216; ++i)
        out.palette[std::size_t(i)] = {std::uint8_t(i / 36 * 51), std::uint8_t(i / 6 % 6 * 51),
                                       std::uint8_t(i % 6 * 51)};
}

Picture uniform666(const Picture& rgb, RunControl& control)
{
    Picture out = detail::blankLike(rgb, 8);
    set666Palette(out);
    indexPixels(rgb, out, control, [](const std::uint8_t* in, int, int) {
        return std::uint8_t((in[0] + 25) / 51 * 36 + (in[1] + 25) / 51 * 6 + (in[2] + 25) / 51);
    });
    return out;
}

// Ordered (Bayer 8 x 8) dithering onto the 6-6-6 cube: the halftone look, and stable
// under small edits since no error travels across the picture.
Picture halftone(const Picture& rgb, RunControl& control)
{
    static constexpr std::uint8_t bayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    Picture out = detail::blankLike(rgb, 8);
    set666Palette(out);
    indexPixels(rgb, out, control, [](const std::uint8_t* in, int x, int y) {
        // 51 steps between levels, split into 64 thresholds.
        const int t = bayer[y & 7][x & 7] * 51 / 64;
        auto level = [t](int v) { return std::min(5, (v + t) / 51); };
        return std::uint8_t(level(in[0]) * 36 + level(in[1]) * 6 + level(in[2]));
    });
    return out;
}

// Floyd-Steinberg error diffusion onto a small palette, strength percent of the error
// passed on. Left to right on every row, so the result is the same on every run.
Picture diffused(const Picture& rgb, const std::vector<Rgb>& palette, int bitCount, int strength,
                 RunControl& control)
{
    Picture out = detail::blankLike(rgb, bitCount);
    out.palette = palette;
    out.palette.resize(std::size_t(1) << bitCount);
    const int used = int(palette.size());
    // The nearest entry for each cell of 4 x 4 x 4 colours, worked out for the cell's centre
    // when first met (0xFF: not yet). Comparing every pixel with every entry costs several
    // times more, and the error that diffusion carries on makes up for the cell's width.
    std::vector<std::uint8_t> nearest(std::size_t(1) << 18, 0xFF);
    const int w = rgb.width;
    // Errors of this row and the next, per channel, one spare pixel on each side.
    std::vector<int> current(std::size_t(w + 2) * 3), next(std::size_t(w + 2) * 3);
    RowProgress progress(control, rgb.height);
    for (int y = 0; y < rgb.height; ++y) {
        progress.row(y);
        std::fill(next.begin(), next.end(), 0);
        const std::uint8_t* in = rgb.row(y);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < w; ++x) {
            int want[3];
            for (int c = 0; c < 3; ++c)
                want[c] =
                    std::clamp(in[3 * x + c] + current[std::size_t(x + 1) * 3 + c] / 16, 0, 255);
            const std::size_t key = std::size_t(want[0] >> 2) << 12 |
                                    std::size_t(want[1] >> 2) << 6 | std::size_t(want[2] >> 2);
            if (nearest[key] == 0xFF) {
                auto centre = [](int v) { return std::uint8_t((v & ~3) + 2); };
                nearest[key] =
                    nearestOf(palette, used, {centre(want[0]), centre(want[1]), centre(want[2])});
            }
            const std::uint8_t i = nearest[key];
            o[x] = i;
            const Rgb got = palette[i];
            auto share = [strength](int e) { return strength == 100 ? e : e * strength / 100; };
            const int error[3] = {share(want[0] - got.r), share(want[1] - got.g),
                                  share(want[2] - got.b)};
            for (int c = 0; c < 3; ++c) {
                current[std::size_t(x + 2) * 3 + c] += error[c] * 7;
                next[std::size_t(x) * 3 + c] += error[c] * 3;
                next[std::size_t(x + 1) * 3 + c] += error[c] * 5;
                next[std::size_t(x + 2) * 3 + c] += error[c];
            }
        }
        std::swap(current, next);
    }
    return out;
}

const std::vector<Rgb>& sixteenColours()
{
    static const std::vector<Rgb> colours = {
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    return colours;
}

const std::vector<Rgb>& cubeCorners()
{
    static const std::vector<Rgb> colours = {{0, 0, 0},     {255, 0, 0},    {0, 255, 0},
                                             {255, 255, 0}, {0, 0, 255},    {255, 0, 255},
                                             {0, 255, 255}, {255, 255, 255}};
    return colours;
}

Picture blackAndWhite(const Picture& picture, RunControl& control)
{
    // Dithering the grey picture keeps the look of its tones; as colour the three channels
    // would pull each other.
    const Picture grey = greyPicture(picture, detail::luminance, control);
    Picture out = detail::blankLike(picture, 1);
    out.palette = {{0, 0, 0}, {255, 255, 255}};
    std::vector<int> current(std::size_t(picture.width) + 2), next(current.size());
    RowProgress progress(control, picture.height);
    for (int y = 0; y < picture.height; ++y) {
        progress.row(y);
        std::fill(next.begin(), next.end(), 0);
        const std::uint8_t* in = grey.row(y);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < picture.width; ++x) {
            const int want = in[x] + current[std::size_t(x) + 1] / 16;
            const int got = want >= 128 ? 255 : 0;
            o[x] = got ? 1 : 0;
            const int error = want - got;
            current[std::size_t(x) + 2] += error * 7;
            next[std::size_t(x)] += error * 3;
            next[std::size_t(x) + 1] += error * 5;
            next[std::size_t(x) + 2] += error;
        }
        std::swap(current, next);
    }
    return out;
}

} // namespace

Picture convertToGray(const Picture& picture, int method, float redWeight, float greenWeight,
                      float blueWeight, RunControl& control)
{
    detail::requireImage("convert-to-gray", picture);
    if (method != 1 && method != 2 && method != 4)
        throw Error("convert-to-gray: method must be 1 (maximum), 2 (mean) or 4 (weighted mean), "
                    "not " +
                    std::to_string(method));
    detail::requireRange("convert-to-gray", "red weight", redWeight, 0, 1);
    detail::requireRange("convert-to-gray", "green weight", greenWeight, 0, 1);
    detail::requireRange("convert-to-gray", "blue weight", blueWeight, 0, 1);
    if (method == 1)
        return greyPicture(
            picture,
            [](Rgb c) {
                return std::max({c.r, c.g, c.b});
            },
            control);
    if (method == 2)
        return greyPicture(
            picture, [](Rgb c) { return std::uint8_t((c.r + c.g + c.b + 1) / 3); }, control);
    // The weights are the caller's: a set adding up to more than 1 brightens, so clamp.
    const double wr = redWeight, wg = greenWeight, wb = blueWeight;
    return greyPicture(
        picture,
        [wr, wg, wb](Rgb c) {
            return std::uint8_t(std::clamp(std::lrint(wr * c.r + wg * c.g + wb * c.b), 0L, 255L));
        },
        control);
}

Picture convertColors(const Picture& picture, std::int32_t method, RunControl& control)
{
    detail::requireImage("convert-colors", picture);
    switch (method) {
    case 16:
        return greyPicture(picture, detail::luminance, control);
    case 32:
        return blackAndWhite(picture, control);
    case 1:
    case 2:
    case 4:
    case 8:
    case 64:
    case 128:
        break;
    default:
        throw Error("convert-colors: method must be 1 (popularity), 2 (median cut), 4 (uniform "
                    "884), 8 (uniform 666), 16 (grey scale), 32 (black and white), 64 (16 "
                    "colours) or 128 (halftone), not " +
                    std::to_string(method));
    }
    const Picture rgb = detail::expandedTo24(picture);
    switch (method) {
    case 1: {
        const Histogram h = histogramOf(rgb);
        return mapThroughBuckets(rgb, h, popularityPalette(h), control);
    }
    case 2: {
        const Histogram h = histogramOf(rgb);
        return mapThroughBuckets(rgb, h, medianCutPalette(h), control);
    }
    case 4:
        return uniform884(rgb, control);
    case 8:
        return uniform666(rgb, control);
    case 64:
        return diffused(rgb, sixteenColours(), 4, 100, control);
    default:
        return halftone(rgb, control);
    }
}

Picture reduceTo8Colors(const Picture& picture, int ditherPercent, RunControl& control)
{
    detail::requireImage("reduce-to-8-colors", picture);
    detail::requireRange("reduce-to-8-colors", "dither", ditherPercent, 0, 100);
    return diffused(detail::expandedTo24(picture), cubeCorners(), 4, ditherPercent, control);
}

Picture reduceGrayShades(const Picture& picture, int shades, RunControl& control)
{
    detail::requireImage("reduce-gray-shades", picture);
    detail::requireRange("reduce-gray-shades", "shades", shades, 2, 256);
    std::array<std::uint8_t, 256> level{};
    for (int v = 0; v < 256; ++v) {
        const long step = std::lrint(v * (shades - 1) / 255.0);
        level[std::size_t(v)] = std::uint8_t(std::lrint(step * 255.0 / (shades - 1)));
    }
    return greyPicture(
        picture,
        [&level](Rgb c) { return level[c.r == c.g && c.g == c.b ? c.r : detail::luminance(c)]; },
        control);
}

} // namespace corvane::imaging
