// Reading and writing big pictures: a 600 dpi scan is tens of megapixels. The files are made
// on first use in the temporary folder (and kept there for the next run, and for measuring
// memory with `/usr/bin/time -v corvane-cli info FILE`). scripts/picture-speed.py puts these
// times beside those of another library on the same pattern.
#include "imaging/picture_io.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

namespace {

using corvane::imaging::Picture;
namespace imaging = corvane::imaging;

// The smooth pattern of scripts/picture-speed.py: red across, green down, blue (or grey)
// along the diagonal.
Picture smoothPattern(int side, bool grey)
{
    Picture p;
    p.width = p.height = side;
    p.bitCount = grey ? 8 : 24;
    if (grey)
        for (int i = 0; i < 256; ++i)
            p.palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    p.pixels.resize(p.rowStride() * std::size_t(side));
    const long last = side - 1;
    for (int y = 0; y < side; ++y) {
        std::uint8_t* row = p.row(y);
        for (int x = 0; x < side; ++x) {
            const auto diagonal = std::uint8_t((long(x) + y) * 255 / (2 * last));
            if (grey) {
                row[x] = diagonal;
            } else {
                row[3 * x] = std::uint8_t(long(x) * 255 / last);
                row[3 * x + 1] = std::uint8_t(long(y) * 255 / last);
                row[3 * x + 2] = diagonal;
            }
        }
    }
    return p;
}

std::string benchFile(int side, bool grey, const std::string& extension)
{
    return (std::filesystem::temp_directory_path() /
            ("corvane-bench-" + std::to_string(side) + (grey ? "-grey." : "-colour.") + extension))
        .string();
}

std::string bigPicture(int side, bool grey, const std::string& extension)
{
    const std::string path = benchFile(side, grey, extension);
    if (!std::filesystem::exists(path))
        imaging::writePicture(smoothPattern(side, grey), path, imaging::fileTypeFromName(path));
    return path;
}

void BM_ReadPicture(benchmark::State& state, bool grey, const char* extension)
{
    const int side = int(state.range(0));
    const std::string path = bigPicture(side, grey, extension);
    for (auto _ : state) {
        Picture p = imaging::readPicture(path);
        benchmark::DoNotOptimize(p.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * side * side);
}

#define READ_BENCHMARK(name, grey, extension)                                                      \
    BENCHMARK_CAPTURE(BM_ReadPicture, name, grey, extension)                                       \
        ->Arg(2000)                                                                                \
        ->Arg(10000)                                                                               \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(1)

READ_BENCHMARK(colour_jpg, false, "jpg");
READ_BENCHMARK(grey_jpg, true, "jpg");
READ_BENCHMARK(colour_png, false, "png");
READ_BENCHMARK(grey_png, true, "png");
READ_BENCHMARK(colour_tif, false, "tif");
READ_BENCHMARK(grey_tif, true, "tif");
READ_BENCHMARK(colour_ppm, false, "ppm");
READ_BENCHMARK(grey_pgm, true, "pgm");
READ_BENCHMARK(colour_bmp, false, "bmp");
READ_BENCHMARK(grey_bmp, true, "bmp");

void BM_WritePicture(benchmark::State& state, const char* extension)
{
    const int side = int(state.range(0));
    const Picture p = smoothPattern(side, false);
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string("corvane-bench-write.") + extension))
            .string();
    for (auto _ : state)
        imaging::writePicture(p, path, imaging::fileTypeFromName(path));
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * side * side);
}

#define WRITE_BENCHMARK(extension)                                                                 \
    BENCHMARK_CAPTURE(BM_WritePicture, extension, #extension)                                      \
        ->Arg(2000)                                                                                \
        ->Arg(10000)                                                                               \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Iterations(1)

WRITE_BENCHMARK(jpg);
WRITE_BENCHMARK(png);
WRITE_BENCHMARK(tif);
WRITE_BENCHMARK(ppm);
WRITE_BENCHMARK(bmp);
WRITE_BENCHMARK(pcx);

} // namespace
