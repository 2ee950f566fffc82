// The reader's number conversion, inline because it runs for nearly every byte of a
// program. Digits are taken eight at a time where eight bytes are readable (the "SWAR"
// method: the bytes of one 64-bit word are worked on together). A number of at most 19
// digits whose mantissa is below 2^53 and that has at most 22 decimals is converted as
// mantissa / 10^decimals, which is correctly rounded since both are exact doubles (Clinger's
// fast path); anything else goes through std::from_chars. The result is the same either way.
#pragma once

#include <cfloat>
#include <cstdint>
#include <cstring>

namespace corvane::dnc {

// The general conversion of a digit text with an optional ".": values beyond the double
// range give DBL_MAX, values below it 0.
double convertNumberSlowly(const char* first, const char* last);

namespace number_scan {

inline constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr std::uint64_t IntegerPowersOfTen[] = {1,      10,      100,      1000,     10000,
                                                       100000, 1000000, 10000000, 100000000};

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The run of digits at p: appended to mantissa (which may wrap once past 19 digits; the
// caller then converts slowly). Returns the end of the run.
inline const char* digitRun(const char* p, const char* end, std::uint64_t& mantissa)
{
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8); // the first character in the lowest byte
        // A byte is a digit when neither +0x46 carries into nor -0x30 borrows into its top
        // bit. Carries and borrows only run upwards, from digits, which make none, so the
        // lowest flagged byte is the first non-digit.
        const std::uint64_t flags =
            ((word + 0x4646464646464646) | (word - 0x3030303030303030)) & 0x8080808080808080;
        const int count = flags ? __builtin_ctzll(flags) / 8 : 8;
        if (count == 0)
            return p;
        // Keep the digits only, moved to the top bytes: the zero bytes below them read as
        // leading zeros.
        word = (word & 0x0F0F0F0F0F0F0F0F) << (8 * (8 - count));
        word = (word * 2561) >> 8;
        word = ((word & 0x00FF00FF00FF00FF) * 6553601) >> 16;
        word = ((word & 0x0000FFFF0000FFFF) * 42949672960001) >> 32;
        mantissa = mantissa * IntegerPowersOfTen[count] + (word & 0xFFFFFFFF);
        p += count;
        if (count < 8)
            return p;
    }
    for (; p != end && isDigit(*p); ++p)
        mantissa = mantissa * 10 + std::uint64_t(*p - '0');
    return p;
}

} // namespace number_scan

// See leadingNumber in dnc_words.h.
inline double scanNumber(const char* first, const char* end, const char*& stop)
{
    using namespace number_scan;
    const char* p = first;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* const digits = p;
    std::uint64_t mantissa = 0;
    p = digitRun(p, end, mantissa);
    const bool integerDigits = p != digits;
    const char* last = p;
    long decimals = 0;
    stop = p;
    if (p != end && *p == '.') {
        const char* q = digitRun(p + 1, end, mantissa);
        decimals = q - p - 1;
        // "5." is 5, but "." alone is no number.
        if (integerDigits || decimals > 0)
            last = q;
        stop = q;
    }
    if (last == digits)
        return 0;
    const long digitCount = long(last - digits) - (last != p ? 1 : 0); // less the point
    const double value = digitCount <= 19 && mantissa <= (std::uint64_t(1) << 53) && decimals <= 22
                             ? double(mantissa) / ExactPowersOfTen[decimals]
                             : convertNumberSlowly(digits, last);
    return negative ? -value : value;
}

inline float toWorkingFloat(double v)
{
    if (v > double(FLT_MAX))
        return FLT_MAX;
    if (v < -double(FLT_MAX))
        return -FLT_MAX;
    return static_cast<float>(v);
}

} // namespace corvane::dnc
