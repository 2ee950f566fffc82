// What the JPEG reader and writer share: libjpeg's header and an error manager that turns
// the library's errors and warnings into an exception. The library is C, built with unwind
// tables on the systems we build for, so the exception passes through it to our code, where
// RAII destroys the library's object (which frees everything it allocated).
#pragma once

#include <cstddef>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>
#include <string>

namespace corvane::imaging::jpeg {

struct Failure {
    std::string message;
    int code = 0; // the library's message code (J_MESSAGE_CODE)
};

// Errors end the work; so do warnings, which libjpeg gives for corrupt data and for a file
// that ends early (it would carry on with grey rows).
void installErrorManager(jpeg_common_struct& object, jpeg_error_mgr& manager);

} // namespace corvane::imaging::jpeg
