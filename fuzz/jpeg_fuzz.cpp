// Any bytes given to the JPEG reader.
#include "imaging/jpeg_codec.h"
#include "picture_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return corvane::imaging::fuzz::readBytes(data, size, [](corvane::imaging::ReadJob& job) {
        return std::optional<corvane::imaging::Picture>(corvane::imaging::readJpeg(job));
    });
}
