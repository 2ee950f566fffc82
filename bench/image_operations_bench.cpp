// Every image operation on a 6000 x 4000 colour picture, the size of a big scan.
// scripts/image-speed.sh compares the command line, end to end, with ImageMagick's convert.
#include "imaging/operation_table.h"

#include <benchmark/benchmark.h>

namespace {

using corvane::imaging::Picture;

const Picture& bigPicture()
{
    static const Picture picture = [] {
        Picture p;
        p.width = 6000;
        p.height = 4000;
        p.pixels.resize(p.rowStride() * std::size_t(p.height));
        for (int y = 0; y < p.height; ++y) {
            std::uint8_t* row = p.row(y);
            for (int x = 0; x < p.width; ++x) {
                row[3 * x] = std::uint8_t(x * 255 / 5999);
                row[3 * x + 1] = std::uint8_t(y * 255 / 3999);
                row[3 * x + 2] = std::uint8_t((x ^ y) & 255);
            }
        }
        return p;
    }();
    return picture;
}

void runOperation(benchmark::State& state, const char* call)
{
    const auto parsed = corvane::imaging::parseOperationCall(call);
    const Picture& picture = bigPicture();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            parsed.operation->run(picture, parsed.arguments, corvane::silentRunControl()));
}

} // namespace

#define IMAGE_OP(name, call)                                                                       \
    BENCHMARK_CAPTURE(runOperation, name, call)->Unit(benchmark::kMillisecond)->Iterations(1)

IMAGE_OP(convert_to_gray, "convert-to-gray:4");
IMAGE_OP(popularity, "convert-colors:1");
IMAGE_OP(median_cut, "convert-colors:2");
IMAGE_OP(uniform_884, "convert-colors:4");
IMAGE_OP(uniform_666, "convert-colors:8");
IMAGE_OP(grey_scale, "convert-colors:16");
IMAGE_OP(black_and_white, "convert-colors:32");
IMAGE_OP(sixteen_colours, "convert-colors:64");
IMAGE_OP(halftone, "convert-colors:128");
IMAGE_OP(convert_to_24_bit, "convert-to-24-bit");
IMAGE_OP(reduce_to_8_colors, "reduce-to-8-colors:100");
IMAGE_OP(reduce_gray_shades, "reduce-gray-shades:64");
IMAGE_OP(negative, "negative");
IMAGE_OP(posterize, "posterize:2");
IMAGE_OP(adjust_color, "adjust-color:10,-10,5");
IMAGE_OP(adjust_brightness, "adjust-brightness:10,3");
IMAGE_OP(adjust_contrast, "adjust-contrast:62,193,3");
IMAGE_OP(sharpen, "sharpen");
IMAGE_OP(sharpen_more, "sharpen-more");
IMAGE_OP(sharpen_max, "sharpen-max");
IMAGE_OP(soften, "soften");
IMAGE_OP(blur, "blur");
IMAGE_OP(blur_more, "blur-more");
IMAGE_OP(laplace, "laplace");
IMAGE_OP(shift_difference, "shift-difference:3");
IMAGE_OP(matched_filter, "matched-filter:0");
IMAGE_OP(sobel, "sobel:10,0");
IMAGE_OP(gradient_edge, "gradient-edge:1");
IMAGE_OP(emboss, "emboss:1");
IMAGE_OP(enhance_edges, "enhance-edges");
IMAGE_OP(despeckle, "despeckle");
IMAGE_OP(lambert_shade, "lambert-shade:45,45,3,0.1");
IMAGE_OP(resize_half, "resize-image:0.5");
IMAGE_OP(rotate_90, "rotate-image:90");
IMAGE_OP(rotate_180, "rotate-image:180");
