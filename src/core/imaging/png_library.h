// What the PNG reader and writer share: libpng's header and error functions that turn the
// library's errors into an exception. The library is C, built with unwind tables on the
// systems we build for, so the exception passes through it to our code, where RAII destroys
// the library's structures.
#pragma once

#include <png.h>
#include <string>

namespace corvane::imaging::png {

struct Failure {
    std::string message;
};

[[noreturn]] void fail(png_structp png, png_const_charp message);
void ignoreWarning(png_structp png, png_const_charp message);

} // namespace corvane::imaging::png
