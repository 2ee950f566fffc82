#include "imaging/pnm_codec.h"

#include "common/error.h"

#include <algorithm>
#include <cctype>

namespace corvane::imaging {

namespace {

bool hasGreyPalette(const Picture& picture)
{
    return std::all_of(picture.palette.begin(), picture.palette.end(),
                       [](Rgb c) { return c.r == c.g && c.g == c.b; });
}

// Reads the header fields of a PNM one at a time, skipping blanks and # comments.
class HeaderReader {
public:
    explicit HeaderReader(std::string_view bytes) : bytes_(bytes) {}

    long number(const char* what)
    {
        skipBlanksAndComments();
        long value = 0;
        const std::size_t start = pos_;
        while (pos_ < bytes_.size() && std::isdigit(static_cast<unsigned char>(bytes_[pos_]))) {
            value = value * 10 + (bytes_[pos_] - '0');
            if (value > 1000000000L)
                throw Error(std::string("picture ") + what + " is out of range");
            ++pos_;
        }
        if (pos_ == start)
            throw Error(std::string("picture header has no ") + what);
        return value;
    }

    // Exactly one blank ends the header; the samples follow it.
    std::size_t dataStart()
    {
        if (pos_ >= bytes_.size() || !std::isspace(static_cast<unsigned char>(bytes_[pos_])))
            throw Error("picture header is not terminated");
        return pos_ + 1;
    }

private:
    void skipBlanksAndComments()
    {
        while (pos_ < bytes_.size()) {
            if (std::isspace(static_cast<unsigned char>(bytes_[pos_])))
                ++pos_;
            else if (bytes_[pos_] == '#')
                while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r')
                    ++pos_;
            else
                break;
        }
    }

    std::string_view bytes_;
    std::size_t pos_ = 2; // after the magic number
};

} // namespace

std::string encodePnm(const Picture& picture)
{
    const bool grey = picture.indexed() && hasGreyPalette(picture);
    std::string out = std::string(grey ? "P5" : "P6") + "\n" + std::to_string(picture.width) + " " +
                      std::to_string(picture.height) + "\n255\n";
    const std::size_t header = out.size();
    const std::size_t samples = std::size_t(picture.width) * picture.height * (grey ? 1 : 3);
    out.resize(header + samples);
    char* q = out.data() + header;
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* in = picture.row(y);
        for (int x = 0; x < picture.width; ++x) {
            if (grey) {
                *q++ = char(picture.palette[in[x]].r);
            } else {
                const Rgb c = picture.pixel(x, y);
                *q++ = char(c.r);
                *q++ = char(c.g);
                *q++ = char(c.b);
            }
        }
    }
    return out;
}

Picture decodePnm(std::string_view bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6'))
        throw Error("output is not a binary PNM picture (P5 or P6)");
    const bool grey = bytes[1] == '5';
    HeaderReader header(bytes);
    const long width = header.number("width");
    const long height = header.number("height");
    const long maxval = header.number("maximum value");
    if (width <= 0 || height <= 0)
        throw Error("picture has no pixels");
    if (maxval < 1 || maxval > 65535)
        throw Error("picture maximum value " + std::to_string(maxval) + " is out of range");
    const std::size_t start = header.dataStart();
    const std::size_t channels = grey ? 1 : 3, sampleBytes = maxval > 255 ? 2 : 1;
    const std::size_t count = std::size_t(width) * std::size_t(height) * channels;
    if (count / channels / std::size_t(width) != std::size_t(height) ||
        bytes.size() - start < count * sampleBytes)
        throw Error("picture data is shorter than its header says (" + std::to_string(width) +
                    " x " + std::to_string(height) + ")");

    Picture picture;
    picture.width = int(width);
    picture.height = int(height);
    picture.bitCount = grey ? 8 : 24;
    if (grey)
        for (int i = 0; i < 256; ++i)
            picture.palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    picture.pixels.resize(count);
    const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data() + start);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned long sample =
            sampleBytes == 2 ? (unsigned long)in[2 * i] << 8 | in[2 * i + 1] : in[i];
        // Scale to 0..255, halves up; samples above maxval (invalid) count as maxval.
        const unsigned long clipped = std::min<unsigned long>(sample, (unsigned long)maxval);
        picture.pixels[i] =
            std::uint8_t((clipped * 255 + (unsigned long)maxval / 2) / (unsigned long)maxval);
    }
    return picture;
}

} // namespace corvane::imaging
