// The image processing operations of the picture window's Image menu, its dialogs and
// `corvane-cli image`. Each takes a picture and gives a new one; none keeps state, so the
// same inputs always give the same pixels.
//
// Depth of the results, which the menu's guards rely on: colour-value operations (negative,
// posterize, the adjustments) keep the depth and change a palette picture's palette; the
// grey conversions give 8 bits with a grey palette; 16 colours gives 4 bits, black and white
// 1 bit, 256 colours 8 bits; filters, shading and resampling give 24 bits; rotation keeps
// the depth. Palette pictures are expanded to 24 bits where an operation needs colours.
//
// Every operation that walks the rows reports progress on the status gauge and stops with
// corvane::Cancelled when control says Esc. A bad argument throws corvane::Error naming the
// operation and the allowed values.
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"

#include <cstdint>

namespace corvane::imaging {

// Channel arguments of the adjustments.
enum Channel : int { ChannelBlue = 0, ChannelGreen = 1, ChannelRed = 2, ChannelAll = 3 };

// --- colour depth ---
// method 1 maximum of r, g, b; 2 their mean; 4 weighted mean with weights red, green, blue.
Picture convertToGray(const Picture& picture, int method, float redWeight, float greenWeight,
                      float blueWeight, RunControl& control = silentRunControl());
// 1 popularity, 2 median cut, 4 uniform 8-8-4, 8 uniform 6-6-6, 16 grey scale, 128 halftone
// (256 colours, 8 bits); 32 black and white (1 bit, dithered); 64 sixteen colours (4 bits,
// dithered).
Picture convertColors(const Picture& picture, std::int32_t method,
                      RunControl& control = silentRunControl());
Picture convertTo24Bit(const Picture& picture);
// The eight corner colours of the colour cube, in a 4-bit picture; ditherPercent (0..100)
// is how much of each pixel's error spreads to its neighbours.
Picture reduceTo8Colors(const Picture& picture, int ditherPercent,
                        RunControl& control = silentRunControl());
// Grey picture (8 bits) using only `shades` evenly spaced levels (2..256).
Picture reduceGrayShades(const Picture& picture, int shades,
                         RunControl& control = silentRunControl());

// --- colour values ---
Picture negative(const Picture& picture, int flags = 0);
// Keeps `bits` (1..8) significant bits of each channel.
Picture posterize(const Picture& picture, int bits);
// Each amount -100..100 percent of full scale, added to its channel.
Picture adjustColor(const Picture& picture, int red, int green, int blue);
Picture adjustBrightness(const Picture& picture, int amount, int channel);
// Stretches low..high (0 <= low < high <= 255) to the full 0..255 range.
Picture adjustContrast(const Picture& picture, int low, int high, int channel);

// --- filters (24-bit results) ---
Picture sharpen(const Picture& picture, RunControl& control = silentRunControl());
Picture sharpenMore(const Picture& picture, RunControl& control = silentRunControl());
Picture sharpenMax(const Picture& picture, RunControl& control = silentRunControl());
Picture soften(const Picture& picture, RunControl& control = silentRunControl());
Picture blur(const Picture& picture, RunControl& control = silentRunControl());
Picture blurMore(const Picture& picture, RunControl& control = silentRunControl());
Picture laplace(const Picture& picture, RunControl& control = silentRunControl());
// |pixel - pixel `shift` (1..32) up and to the left|.
Picture shiftDifference(const Picture& picture, int shift,
                        RunControl& control = silentRunControl());
// The strongest of four line detectors (horizontal, vertical, both diagonals); responses
// below threshold (0..255) become black.
Picture matchedFilter(const Picture& picture, int threshold,
                      RunControl& control = silentRunControl());
// |Gx| + |Gy|, responses below threshold (0..255) black; inverted gives dark edges on white.
Picture sobel(const Picture& picture, int threshold, bool inverted,
              RunControl& control = silentRunControl());
// Light directions 1 North, 2 North East, 3 East, 4 South East, 5 South, 6 South West,
// 7 West, 8 North West: edges that face the light come out bright.
Picture gradientEdge(const Picture& picture, int direction,
                     RunControl& control = silentRunControl());
// Mid grey where the picture is flat, lighter on slopes that face the light.
Picture emboss(const Picture& picture, int direction, RunControl& control = silentRunControl());
Picture enhanceEdges(const Picture& picture, RunControl& control = silentRunControl());
// 3 x 3 median of each channel.
Picture despeckle(const Picture& picture, RunControl& control = silentRunControl());

// --- shading and geometry ---
// The picture's brightness taken as height and lit by a lamp at latitude (up from the
// bottom edge towards the top, degrees) and longitude (from the left edge towards the
// right), with roughness (0..1) the amount of a fixed texture added to the surface.
// mode 1: the picture's relief only; 2: the texture only; 3: both. 24 bits.
Picture lambertShade(const Picture& picture, float latitude, float longitude, int mode,
                     float roughness, RunControl& control = silentRunControl());
// Lanczos resampling to round(width x ratio) by round(height x ratio) (at least 1 x 1).
Picture resizeImage(const Picture& picture, double ratio);
// That size, as doubles: a large ratio gives sizes beyond int.
struct ResizedSize {
    double width, height;
};
ResizedSize resizedSize(int width, int height, double ratio);
// The sides resize-image gives at most: beyond them a picture's rows no longer fit the
// library's or our int sizes.
constexpr double LargestResizedSide = 65500;
// Clockwise by a multiple of 90 degrees, pixel for pixel.
Picture rotateImage(const Picture& picture, float degrees);

} // namespace corvane::imaging
