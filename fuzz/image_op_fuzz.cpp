// Whatever is given to `corvane-cli image --op`: the reader refuses it with an error or gives
// a call whose arguments the operation then takes without crashing; the dialogs' number
// reader always answers a finite number.
#include "common/error.h"
#include "common/leading_number.h"
#include "imaging/operation_table.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (bool whole : {false, true})
        if (const double v = corvane::leadingNumber(text, whole); std::isnan(v))
            std::abort();
    using namespace corvane::imaging;
    OperationCall call;
    try {
        call = parseOperationCall(text);
    } catch (const corvane::Error&) {
        return 0;
    }
    // A small picture: the arguments, not the size, are under test.
    Picture picture;
    picture.width = 5;
    picture.height = 3;
    picture.pixels.assign(picture.rowStride() * 3, 77);
    try {
        (void)call.operation->run(picture, call.arguments, corvane::silentRunControl());
    } catch (const corvane::Error&) {
        // resize-image may refuse a result too large; everything else was checked up front.
        if (std::string_view(call.operation->name) != "resize-image")
            std::abort();
    }
    return 0;
}
