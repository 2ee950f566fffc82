#include "imaging/magick_library.h"

#include <cstring>
#include <mutex>

namespace corvane::imaging::magick {

void ensureMagickStarted()
{
    static std::once_flag started;
    std::call_once(started, [] {
        // Not terminated at exit on purpose: pictures may still be alive in static objects
        // of a test or the desktop program, and the process end frees everything anyway.
        MagickCoreGenesis(nullptr, MagickFalse);
    });
}

ImageInfoPtr newImageInfo()
{
    ensureMagickStarted();
    return ImageInfoPtr(AcquireImageInfo());
}

ExceptionPtr newException()
{
    ensureMagickStarted();
    return ExceptionPtr(AcquireExceptionInfo());
}

std::string describe(const ExceptionInfo& exception)
{
    std::string text = exception.reason ? exception.reason : "";
    // Some coders put the whole message, file and source position included, in the reason.
    if (const auto at = text.find(" `"); at != std::string::npos)
        text.erase(at);
    if (exception.description && *exception.description) {
        std::string description = exception.description;
        // The library appends the file name in quotes; ours is already in front of the message.
        if (description.size() > 2 && description.front() == '`' && description.back() == '\'')
            description.clear();
        if (!description.empty())
            text += text.empty() ? description : " (" + description + ")";
    }
    return text;
}

bool isError(const ExceptionInfo& exception)
{
    return exception.severity >= ErrorException;
}

bool isCorruptionWarning(const ExceptionInfo& exception)
{
    return exception.severity == CorruptImageWarning;
}

bool setFileName(char (&field)[MaxTextExtent], const std::string& name)
{
    if (name.size() + 1 > sizeof field)
        return false;
    std::memcpy(field, name.c_str(), name.size() + 1);
    return true;
}

} // namespace corvane::imaging::magick
