#include "imaging/jpeg_library.h"

namespace corvane::imaging::jpeg {

namespace {

[[noreturn]] void fail(j_common_ptr object)
{
    char text[JMSG_LENGTH_MAX] = {};
    (*object->err->format_message)(object, text);
    throw Failure{text, object->err->msg_code};
}

void onMessage(j_common_ptr object, int level)
{
    if (level < 0)
        fail(object);
}

} // namespace

void installErrorManager(jpeg_common_struct& object, jpeg_error_mgr& manager)
{
    object.err = jpeg_std_error(&manager);
    manager.error_exit = fail;
    manager.emit_message = onMessage;
}

} // namespace corvane::imaging::jpeg
