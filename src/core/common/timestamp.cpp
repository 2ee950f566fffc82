#include "common/timestamp.h"

#include "common/error.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace corvane {

namespace {

// The environment's time formats, without touching the process-wide locale.
class TimeLocale {
public:
    TimeLocale()
    {
        locale_ = ::newlocale(LC_TIME_MASK, "", locale_t(0));
        if (!locale_)
            locale_ = ::newlocale(LC_TIME_MASK, "C", locale_t(0));
    }
    ~TimeLocale()
    {
        if (locale_)
            ::freelocale(locale_);
    }
    TimeLocale(const TimeLocale&) = delete;
    TimeLocale& operator=(const TimeLocale&) = delete;

    std::string format(const char* pattern, const std::tm& time) const
    {
        char text[256];
        const std::size_t length = locale_
                                       ? ::strftime_l(text, sizeof text, pattern, &time, locale_)
                                       : std::strftime(text, sizeof text, pattern, &time);
        return std::string(text, length);
    }

private:
    locale_t locale_ = locale_t(0);
};

} // namespace

std::string formatTimestamp(std::time_t when, bool inUtc)
{
    std::tm parts{};
    if (inUtc)
        ::gmtime_r(&when, &parts);
    else
        ::localtime_r(&when, &parts);
    const TimeLocale locale;
    return locale.format("%x", parts) + " " + locale.format("%X", parts);
}

std::string programTimestamp()
{
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed && *fixed) {
        long long seconds = 0;
        const char* end = fixed + std::strlen(fixed);
        const auto [stop, error] = std::from_chars(fixed, end, seconds);
        if (error != std::errc() || stop != end || seconds < 0)
            throw Error("SOURCE_DATE_EPOCH must be a whole number of seconds, not \"" +
                        std::string(fixed) + "\"");
        return formatTimestamp(std::time_t(seconds), true);
    }
    return formatTimestamp(std::time(nullptr), false);
}

} // namespace corvane
