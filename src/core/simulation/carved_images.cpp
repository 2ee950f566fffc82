#include "simulation/carved_images.h"

#include "common/atomic_file.h"
#include "imaging/png_codec.h"
#include "simulation/cut_comparison.h"

#include <algorithm>
#include <cmath>

namespace corvane::simulation {

std::string encodeCarvedPgm(const ZMap& carved)
{
    const auto [low, high] = std::minmax_element(carved.heights.begin(), carved.heights.end());
    const double lowest = *low, range = *high - *low;
    std::string out =
        "P5\n" + std::to_string(carved.cols) + " " + std::to_string(carved.rows) + "\n65535\n";
    const std::size_t header = out.size();
    out.resize(header + 2 * carved.heights.size());
    char* p = out.data() + header;
    for (double h : carved.heights) {
        const long v = range > 0 ? std::lround(65535 * ((h - lowest) / range)) : 65535;
        *p++ = char(v >> 8);
        *p++ = char(v & 0xFF);
    }
    return out;
}

void writeCarvedPgm(const ZMap& carved, const std::string& fileName)
{
    AtomicFile file(fileName);
    file.write(encodeCarvedPgm(carved));
    file.commit();
}

imaging::Picture deviationPicture(const ZMap& carved, const std::vector<double>& target,
                                  double tolerance)
{
    imaging::Picture picture;
    picture.width = carved.cols;
    picture.height = carved.rows;
    picture.bitCount = 24;
    picture.pixels.resize(picture.rowStride() * std::size_t(picture.height));
    for (std::size_t i = 0; i < carved.heights.size(); ++i) {
        const DeviationColour c = deviationColour(carved.heights[i] - target[i], tolerance);
        picture.pixels[3 * i] = c.r;
        picture.pixels[3 * i + 1] = c.g;
        picture.pixels[3 * i + 2] = c.b;
    }
    return picture;
}

} // namespace corvane::simulation

namespace corvane::simulation {

void writeDeviationPng(const ZMap& carved, const std::vector<double>& target, double tolerance,
                       const std::string& fileName)
{
    AtomicFile png(fileName);
    imaging::writePng(deviationPicture(carved, target, tolerance), png);
    png.commit();
}

} // namespace corvane::simulation
