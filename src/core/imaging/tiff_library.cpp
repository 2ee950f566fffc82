#include "imaging/tiff_library.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace corvane::imaging::tiff {

OpenOptions::OpenOptions(std::uint64_t maxSingleAllocation) : options_(TIFFOpenOptionsAlloc())
{
    TIFFOpenOptionsSetErrorHandlerExtR(options_, onError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options_, onWarning, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(
        options_, tmsize_t(std::min<std::uint64_t>(maxSingleAllocation,
                                                   std::numeric_limits<tmsize_t>::max())));
}

OpenOptions::~OpenOptions()
{
    TIFFOpenOptionsFree(options_);
}

int OpenOptions::onError(TIFF*, void* self, const char*, const char* format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    static_cast<OpenOptions*>(self)->lastError_ = text;
    return 1;
}

int OpenOptions::onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

} // namespace corvane::imaging::tiff
