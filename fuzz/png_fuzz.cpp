// Any bytes given to the PNG reader.
#include "imaging/png_codec.h"
#include "picture_reader_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return corvane::imaging::fuzz::readBytes(data, size, [](corvane::imaging::ReadJob& job) {
        return std::optional<corvane::imaging::Picture>(corvane::imaging::readPng(job));
    });
}
