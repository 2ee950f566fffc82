#include "common/out_of_memory.h"

#include "common/number_format.h"

namespace corvane {

std::string memoryText(std::uint64_t bytes)
{
    constexpr double kilo = 1024, mega = kilo * 1024, giga = mega * 1024;
    const double b = double(bytes);
    if (b >= 10 * giga)
        return fixedText(b / giga, 0) + " GB";
    if (b >= giga)
        return fixedText(b / giga, 1) + " GB";
    if (b >= mega)
        return fixedText(b / mega, 0) + " MB";
    return fixedText(b / kilo < 1 ? 1 : b / kilo, 0) + " KB";
}

Error outOfMemoryError(const std::string& step, int width, int height, const std::string& noun,
                       std::uint64_t bytes)
{
    return Error("Not enough memory: " + step + " for a " + std::to_string(width) + " x " +
                 std::to_string(height) + " " + noun + " needs about " + memoryText(bytes) + ".");
}

} // namespace corvane
