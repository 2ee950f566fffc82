// What the TIFF reader and writer share: libtiff's header, and open options whose handlers
// keep the library's last error for our message and drop its warnings (unknown tags and the
// like, which do not touch the pixels), instead of printing them on stderr.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <tiffio.h>

namespace corvane::imaging::tiff {

class OpenOptions {
public:
    explicit OpenOptions(std::uint64_t maxSingleAllocation);
    ~OpenOptions();
    OpenOptions(const OpenOptions&) = delete;
    OpenOptions& operator=(const OpenOptions&) = delete;

    TIFFOpenOptions* get() const { return options_; }
    // The last error the library reported for the file opened with these options.
    const std::string& lastError() const { return lastError_; }

private:
    static int onError(TIFF*, void* self, const char* module, const char* format, va_list args);
    static int onWarning(TIFF*, void*, const char*, const char*, va_list);
    TIFFOpenOptions* options_;
    std::string lastError_;
};

struct Closer {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, Closer>;

} // namespace corvane::imaging::tiff
