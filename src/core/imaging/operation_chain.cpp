#include "imaging/operation_chain.h"

#include "common/error.h"
#include "common/out_of_memory.h"
#include "imaging/file_limits.h"

namespace corvane::imaging {

void checkOperationChain(PictureShape start, const std::vector<std::optional<OperationCall>>& steps,
                         const ChainOutput& output, std::uint64_t memory)
{
    PictureShape shape = start;
    std::string lastResize; // the step that last changed the size, for the message
    for (const std::optional<OperationCall>& step : steps) {
        if (!step)
            return; // a plug-in: what it makes is known only once it ran
        const PictureShape result = resultShape(*step, shape);
        const std::uint64_t bytes = workingMemory(*step, shape);
        if (bytes > memory)
            throw outOfMemoryError(step->operation->name, result.width, result.height, "picture",
                                   bytes);
        if (result.width != shape.width || result.height != shape.height)
            lastResize = step->operation->name;
        shape = result;
    }
    const std::string problem = fileLimitProblem(output.fileType, shape);
    if (problem.empty())
        return;
    const std::string size = std::to_string(shape.width) + " x " + std::to_string(shape.height);
    throw Error(output.path, lastResize.empty()
                                 ? "the " + size + " picture is " + problem
                                 : lastResize + " would make a " + size + " picture, " + problem +
                                       "; nothing was done");
}

} // namespace corvane::imaging
