#include "imaging_test_pictures.h"

#include "imaging/magick_library.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace corvane::imaging::testing {

Picture colourPicture(int width, int height)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.bitCount = 24;
    p.pixels.resize(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* px = p.row(y) + 3 * x;
            px[0] = std::uint8_t(x * 37 + y);
            px[1] = std::uint8_t(y * 53 + 7);
            px[2] = std::uint8_t((x + y) * 11);
        }
    return p;
}

Picture palettePicture(int width, int height, int bitCount)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.bitCount = bitCount;
    const int colours = 1 << bitCount;
    for (int i = 0; i < colours; ++i)
        p.palette.push_back(
            {std::uint8_t(i * 255 / (colours - 1)), std::uint8_t(i * 7), std::uint8_t(255 - i)});
    p.pixels.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.row(y)[x] = std::uint8_t((x + 2 * y) % colours);
    return p;
}

std::string readBytes(const std::string& path)
{
    return corvane::testing::readFile(path);
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    corvane::testing::writeFile(path, bytes);
}

void writeWithCoder(const Picture& picture, const std::string& coder, const std::string& path)
{
    writeWithCoder(picture, {}, coder, path);
}

void writeWithCoder(const Picture& picture, const std::vector<std::uint8_t>& alpha,
                    const std::string& coder, const std::string& path)
{
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const Rgb c = picture.pixel(x, y);
            samples.insert(samples.end(), {c.r, c.g, c.b});
            if (!alpha.empty())
                samples.push_back(alpha[std::size_t(y) * picture.width + x]);
        }
    auto exception = magick::newException();
    magick::ImagePtr image(ConstituteImage(std::size_t(picture.width), std::size_t(picture.height),
                                           alpha.empty() ? "RGB" : "RGBA", CharPixel,
                                           samples.data(), exception.get()));
    if (!image)
        throw std::runtime_error("cannot make the test picture");
    auto info = magick::newImageInfo();
    const std::string target = coder + ":" + path;
    magick::setFileName(info->filename, target);
    magick::setFileName(image->filename, target);
    if (!WriteImage(info.get(), image.get()))
        throw std::runtime_error("cannot write the test picture " + path);
}

} // namespace corvane::imaging::testing
