// Whatever a user types into a number field: the reader answers a number or nothing.
#include "relief/edit_number.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto value = corvane::relief::readEditNumber(text); value && !std::isfinite(*value))
        std::abort(); // a text that reads must read as a finite number
    (void)corvane::relief::readEditInteger(text);
    return 0;
}
