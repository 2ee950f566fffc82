#include "imaging/operation_table.h"

#include "common/error.h"
#include "imaging/image_operations.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>

namespace corvane::imaging {

namespace {

using Args = std::vector<double>;

int whole(double v)
{
    return int(v);
}

OperationArgument direction()
{
    return {"direction", 1, 8, true, 1};
}

OperationArgument channel()
{
    return {"channel", 0, 3, true, 3};
}

// A result of the input's size in the given depth.
auto depth(int bitCount)
{
    return [bitCount](PictureShape in, const Args&) {
        return PictureShape{in.width, in.height, bitCount};
    };
}

// The filters: 24 bits.
template <Picture (*Filter)(const Picture&, RunControl&)> ImageOperation plain(const char* name)
{
    return {name,
            {},
            [](const Picture& p, const Args&, RunControl& c) { return Filter(p, c); },
            depth(24)};
}

std::vector<ImageOperation> buildTable()
{
    std::vector<ImageOperation> t;
    t.push_back({"convert-to-gray",
                 {{"method", 1, 4, true, 4, {1, 2, 4}},
                  {"red-weight", 0, 1, false, 0.3},
                  {"green-weight", 0, 1, false, 0.59},
                  {"blue-weight", 0, 1, false, 0.11}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return convertToGray(p, whole(a[0]), float(a[1]), float(a[2]), float(a[3]), c);
                 },
                 depth(8)});
    t.push_back(
        {"convert-colors",
         {{"method", 1, 128, true, 2, {1, 2, 4, 8, 16, 32, 64, 128}}},
         [](const Picture& p, const Args& a, RunControl& c) {
             return convertColors(p, whole(a[0]), c);
         },
         [](PictureShape in, const Args& a) {
             const int method = whole(a[0]);
             return PictureShape{in.width, in.height, method == 32 ? 1 : method == 64 ? 4 : 8};
         }});
    t.push_back({"convert-to-24-bit",
                 {},
                 [](const Picture& p, const Args&, RunControl&) { return convertTo24Bit(p); },
                 depth(24)});
    t.push_back({"reduce-to-8-colors",
                 {{"dither", 0, 100, true, 100}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return reduceTo8Colors(p, whole(a[0]), c);
                 },
                 depth(4)});
    t.push_back({"reduce-gray-shades",
                 {{"shades", 2, 256, true, 64}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return reduceGrayShades(p, whole(a[0]), c);
                 },
                 depth(8)});
    t.push_back(
        {"negative", {{"flags", 0, 0, true, 0}}, [](const Picture& p, const Args& a, RunControl&) {
             return negative(p, whole(a[0]));
         }});
    t.push_back(
        {"posterize", {{"bits", 1, 8, true, 2}}, [](const Picture& p, const Args& a, RunControl&) {
             return posterize(p, whole(a[0]));
         }});
    t.push_back(
        {"adjust-color",
         {{"red", -100, 100, true, 0}, {"green", -100, 100, true, 0}, {"blue", -100, 100, true, 0}},
         [](const Picture& p, const Args& a, RunControl&) {
             return adjustColor(p, whole(a[0]), whole(a[1]), whole(a[2]));
         }});
    t.push_back({"adjust-brightness",
                 {{"amount", -100, 100, true, 0}, channel()},
                 [](const Picture& p, const Args& a, RunControl&) {
                     return adjustBrightness(p, whole(a[0]), whole(a[1]));
                 }});
    t.push_back({"adjust-contrast",
                 {{"low", 0, 254, true, 0}, {"high", 1, 255, true, 255}, channel()},
                 [](const Picture& p, const Args& a, RunControl&) {
                     return adjustContrast(p, whole(a[0]), whole(a[1]), whole(a[2]));
                 }});
    t.push_back(plain<sharpen>("sharpen"));
    t.push_back(plain<sharpenMore>("sharpen-more"));
    t.push_back(plain<sharpenMax>("sharpen-max"));
    t.push_back(plain<soften>("soften"));
    t.push_back(plain<blur>("blur"));
    t.push_back(plain<blurMore>("blur-more"));
    t.push_back(plain<laplace>("laplace"));
    t.push_back({"shift-difference",
                 {{"shift", 1, 32, true, 3}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return shiftDifference(p, whole(a[0]), c);
                 },
                 depth(24)});
    t.push_back({"matched-filter",
                 {{"threshold", 0, 255, true, 0}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return matchedFilter(p, whole(a[0]), c);
                 },
                 depth(24)});
    t.push_back({"sobel",
                 {{"threshold", 0, 255, true, 10}, {"inverted", 0, 1, true, 0}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return sobel(p, whole(a[0]), a[1] != 0, c);
                 },
                 depth(24)});
    t.push_back({"gradient-edge",
                 {direction()},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return gradientEdge(p, whole(a[0]), c);
                 },
                 depth(24)});
    t.push_back(
        {"emboss",
         {direction()},
         [](const Picture& p, const Args& a, RunControl& c) { return emboss(p, whole(a[0]), c); },
         depth(24)});
    t.push_back(plain<enhanceEdges>("enhance-edges"));
    t.push_back(plain<despeckle>("despeckle"));
    t.push_back({"lambert-shade",
                 {{"latitude", -90, 90, false, 45},
                  {"longitude", -90, 90, false, 45},
                  {"mode", 1, 3, true, 3},
                  {"roughness", 0, 1, false, 0.1}},
                 [](const Picture& p, const Args& a, RunControl& c) {
                     return lambertShade(p, float(a[0]), float(a[1]), whole(a[2]), float(a[3]), c);
                 },
                 depth(24)});
    t.push_back(
        {"resize-image",
         {{"ratio", 0.0001, 100, false, 1}},
         [](const Picture& p, const Args& a, RunControl&) { return resizeImage(p, a[0]); },
         // A grey palette picture stays 8 bits; every other comes out in 24.
         [](PictureShape in, const Args& a) {
             const auto [w, h] = resizedSize(in.width, in.height, a[0]);
             return PictureShape{int(std::min(w, LargestResizedSide + 1)),
                                 int(std::min(h, LargestResizedSide + 1)),
                                 in.bitCount == 24 ? 24 : 8};
         },
         // The rows resampled across, as three floats a pixel, before they are resampled down.
         [](PictureShape in, PictureShape out) {
             return std::uint64_t(out.width) * 3 * sizeof(float) * std::uint64_t(in.height);
         }});
    t.push_back(
        {"rotate-image",
         {{"degrees", -360, 360, false, 90, {-270, -180, -90, 0, 90, 180, 270}}},
         [](const Picture& p, const Args& a, RunControl&) { return rotateImage(p, float(a[0])); },
         [](PictureShape in, const Args& a) {
             return std::fmod(std::fabs(a[0]), 180) == 90
                        ? PictureShape{in.height, in.width, in.bitCount}
                        : in;
         }});
    return t;
}

std::string number(double v)
{
    std::ostringstream s;
    s.imbue(std::locale::classic());
    s << v;
    return s.str();
}

std::string allowedValues(const OperationArgument& a)
{
    if (!a.allowed.empty()) {
        std::string text;
        for (int v : a.allowed)
            text += (text.empty() ? "" : "|") + std::to_string(v);
        return text;
    }
    return number(a.low) + ".." + number(a.high);
}

std::string usage(const ImageOperation& op)
{
    return "allowed: " + describeOperation(op);
}

double readNumber(const ImageOperation& op, const OperationArgument& a, std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        throw Error(std::string(op.name) + ": " + a.name + " is not a number: \"" +
                    std::string(text) + "\" (" + usage(op) + ")");
    const bool inSet =
        a.allowed.empty() ? value >= a.low && value <= a.high
                          : std::find(a.allowed.begin(), a.allowed.end(), value) != a.allowed.end();
    if (!inSet || (a.whole && value != std::floor(value)))
        throw Error(std::string(op.name) + ": " + a.name + " must be " +
                    (a.whole && a.allowed.empty() ? "a whole number " : "") + allowedValues(a) +
                    ", not " + std::string(text));
    return value;
}

} // namespace

const std::vector<ImageOperation>& imageOperations()
{
    static const std::vector<ImageOperation> table = buildTable();
    return table;
}

std::string describeOperation(const ImageOperation& operation)
{
    std::string line = operation.name;
    for (const OperationArgument& a : operation.arguments)
        line += std::string(" ") + a.name + "=" + allowedValues(a) + " (default " +
                number(a.fallback) + ")";
    return line;
}

OperationCall parseOperationCall(std::string_view text)
{
    const std::size_t colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const auto& table = imageOperations();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const ImageOperation& op) { return name == op.name; });
    if (found == table.end()) {
        std::string names;
        for (const ImageOperation& op : table)
            names += (names.empty() ? "" : ", ") + std::string(op.name);
        throw Error("unknown operation \"" + std::string(name) + "\" (operations: " + names + ")");
    }
    OperationCall call{&*found, {}};
    if (colon != std::string_view::npos) {
        std::string_view rest = text.substr(colon + 1);
        while (true) {
            const std::size_t comma = rest.find(',');
            if (call.arguments.size() == found->arguments.size())
                throw Error(std::string(found->name) + ": too many arguments (" + usage(*found) +
                            ")");
            call.arguments.push_back(
                readNumber(*found, found->arguments[call.arguments.size()], rest.substr(0, comma)));
            if (comma == std::string_view::npos)
                break;
            rest = rest.substr(comma + 1);
        }
    }
    for (std::size_t i = call.arguments.size(); i < found->arguments.size(); ++i)
        call.arguments.push_back(found->arguments[i].fallback);
    // The one rule between two arguments, checked here so a chain fails before any work.
    if (name == "adjust-contrast" && call.arguments[0] >= call.arguments[1])
        throw Error("adjust-contrast: low must be below high (" + usage(*found) + ")");
    return call;
}

PictureShape resultShape(const OperationCall& call, PictureShape input)
{
    return call.operation->shape ? call.operation->shape(input, call.arguments) : input;
}

std::uint64_t workingMemory(const OperationCall& call, PictureShape input)
{
    const PictureShape result = resultShape(call, input);
    const auto bytes = [](PictureShape s) {
        const std::uint64_t pixels = std::uint64_t(s.width) * std::uint64_t(s.height);
        return s.bitCount == 24 ? 3 * pixels : pixels;
    };
    const std::uint64_t scratch =
        call.operation->scratch ? call.operation->scratch(input, result) : 0;
    return bytes({input.width, input.height, 24}) + bytes(result) + scratch;
}

} // namespace corvane::imaging
