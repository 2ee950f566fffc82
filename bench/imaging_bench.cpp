// Loading big pictures: a 600 dpi scan is tens of megapixels. The files are made on first
// use in the temporary folder (and kept there for the next run, and for measuring memory
// with `/usr/bin/time -v corvane-cli info FILE`).
#include "imaging/magick_library.h"
#include "imaging/picture_io.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

using corvane::imaging::Picture;

Picture gradient(int side, int bitCount)
{
    Picture p;
    p.width = p.height = side;
    p.bitCount = bitCount;
    if (bitCount == 8)
        for (int i = 0; i < 256; ++i)
            p.palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    p.pixels.resize(p.rowStride() * std::size_t(side));
    for (int y = 0; y < side; ++y) {
        std::uint8_t* row = p.row(y);
        for (std::size_t i = 0; i < p.rowStride(); ++i)
            row[i] = std::uint8_t((i + std::size_t(y)) / 7);
    }
    return p;
}

void writePng(const Picture& p, const std::string& path)
{
    using namespace corvane::imaging::magick;
    auto exception = newException();
    ImagePtr image(ConstituteImage(std::size_t(p.width), std::size_t(p.height),
                                   p.indexed() ? "I" : "RGB", CharPixel, p.pixels.data(),
                                   exception.get()));
    auto info = newImageInfo();
    const std::string target = "PNG:" + path;
    setFileName(info->filename, target);
    setFileName(image->filename, target);
    WriteImage(info.get(), image.get());
}

// side x side, colour (24-bit) or grey (8-bit), as BMP or PNG.
std::string bigPicture(int side, int bitCount, const std::string& extension)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("corvane-bench-" + std::to_string(side) + "-" +
                                                   std::to_string(bitCount) + "." + extension))
            .string();
    if (!std::filesystem::exists(path)) {
        const Picture p = gradient(side, bitCount);
        if (extension == "png")
            writePng(p, path);
        else
            corvane::imaging::writePicture(p, path, corvane::imaging::FileTypeBmp);
    }
    return path;
}

void BM_ReadPicture(benchmark::State& state, int bitCount, const char* extension)
{
    const int side = int(state.range(0));
    const std::string path = bigPicture(side, bitCount, extension);
    for (auto _ : state) {
        Picture p = corvane::imaging::readPicture(path);
        benchmark::DoNotOptimize(p.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

BENCHMARK_CAPTURE(BM_ReadPicture, colour_bmp, 24, "bmp")
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReadPicture, grey_bmp, 8, "bmp")
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_ReadPicture, colour_png, 24, "png")
    ->Arg(2000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_WritePicture(benchmark::State& state)
{
    const int side = int(state.range(0));
    const Picture p = gradient(side, 24);
    const std::string path =
        (std::filesystem::temp_directory_path() / "corvane-bench-write.bmp").string();
    for (auto _ : state)
        corvane::imaging::writePicture(p, path, corvane::imaging::FileTypeBmp);
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * side * side);
}
BENCHMARK(BM_WritePicture)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
