// Small pictures and files for the imaging tests, made on the spot so no binary fixture has
// to be trusted.
#pragma once

#include "scratch_folder.h"

#include "imaging/picture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace corvane::imaging::testing {

// width x height, every pixel a different colour along a diagonal gradient.
Picture colourPicture(int width, int height);
// A palette picture of the given depth whose pixel (x, y) uses index (x + 2y) mod 2^bits,
// with a palette of distinct colours.
Picture palettePicture(int width, int height, int bitCount);

// A fresh empty folder below the system's temporary folder, removed with the object.
using corvane::testing::ScratchFolder;

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// Writes a picture with the image library's own coder (PNG, GIF, ...) for formats the
// program reads but does not write.
void writeWithCoder(const Picture& picture, const std::string& coder, const std::string& path);
// The same with an alpha channel: alpha[i] for the i-th pixel in row order.
void writeWithCoder(const Picture& picture, const std::vector<std::uint8_t>& alpha,
                    const std::string& coder, const std::string& path);

} // namespace corvane::imaging::testing
