// The date and time written into program headers: the user's locale's short date and long
// time ("%x %X" of LC_TIME), so the desktop program and the command line agree. When the
// environment variable SOURCE_DATE_EPOCH holds a number of seconds, that instant is used,
// in UTC, so a program can be generated again byte for byte.
#pragma once

#include <ctime>
#include <string>

namespace corvane {

// The text for `when`, in UTC or in local time, with the LC_TIME of the environment.
std::string formatTimestamp(std::time_t when, bool inUtc);

// Now (or SOURCE_DATE_EPOCH). Throws corvane::Error when SOURCE_DATE_EPOCH is set to
// something that is not a whole number of seconds.
std::string programTimestamp();

} // namespace corvane
