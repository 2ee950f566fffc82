#include "imaging/png_library.h"

namespace corvane::imaging::png {

void fail(png_structp, png_const_charp message)
{
    throw Failure{message ? message : "unknown error"};
}

// Warnings concern ancillary data (a bad gamma, a text chunk); the pixels are sound.
void ignoreWarning(png_structp, png_const_charp) {}

} // namespace corvane::imaging::png
