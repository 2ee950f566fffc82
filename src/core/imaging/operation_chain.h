// A chain of image operations checked before it runs: the memory each step holds and the
// size of the final picture against the file it is to be written to. A chain that cannot
// end well is refused in a moment, not after minutes of work and gigabytes of memory.
#pragma once

#include "imaging/operation_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::imaging {

struct ChainOutput {
    int fileType = 0; // FileType of picture_io.h; 0 for none
    std::string path; // for messages
};

// steps: the chain in order; nullopt stands for a step whose result cannot be known before it
// runs (a plug-in filter), where the checking stops. Throws the outOfMemoryError of the first
// step that would hold more than `memory` bytes ("Not enough memory: resize-image for a
// 65400 x 43600 picture needs about 12 GB."), or corvane::Error naming the output when the
// final picture is too large for its kind of file, naming the step that makes it so.
void checkOperationChain(PictureShape start, const std::vector<std::optional<OperationCall>>& steps,
                         const ChainOutput& output, std::uint64_t memory);

} // namespace corvane::imaging
