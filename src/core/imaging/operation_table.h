// The image operations by name, with their arguments, for running them from text: the
// command line's `--op NAME[:ARG,ARG...]` and its `--list-ops`.
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::imaging {

struct OperationArgument {
    const char* name;
    double low, high;
    bool whole;                 // integers only
    double fallback;            // the value when the call leaves it out
    std::vector<int> allowed{}; // when not empty, the only values (low..high ignored)
};

struct ImageOperation {
    const char* name; // lower case with dashes: "adjust-contrast"
    std::vector<OperationArgument> arguments;
    std::function<Picture(const Picture&, const std::vector<double>&, RunControl&)> run;
    // The result's size and the smallest depth it can have, from the input's (the depth
    // rules of image_operations.h); empty: the input's size and depth.
    std::function<PictureShape(PictureShape, const std::vector<double>&)> shape{};
    // Bytes held besides a 24-bit copy of the input and the result; empty: none.
    std::function<std::uint64_t(PictureShape input, PictureShape result)> scratch{};
};

// Every operation, in the order --list-ops prints them.
const std::vector<ImageOperation>& imageOperations();

// One line: the name, then each argument as name=low..high (or a|b|c), "=default" noted.
std::string describeOperation(const ImageOperation& operation);

struct OperationCall {
    const ImageOperation* operation = nullptr;
    std::vector<double> arguments; // always as many as the operation has
};

// Reads "NAME[:ARG,ARG...]" with "." as the decimal point whatever the locale. Missing
// trailing arguments take their defaults. Throws corvane::Error naming the operation and the
// allowed values for an unknown name, a bad number, one out of range or too many.
OperationCall parseOperationCall(std::string_view text);

// What a call gives, and about how much memory it holds while it runs (a 24-bit copy of the
// input, the result and any scratch), known from its input's shape before it runs.
PictureShape resultShape(const OperationCall& call, PictureShape input);
std::uint64_t workingMemory(const OperationCall& call, PictureShape input);

} // namespace corvane::imaging
