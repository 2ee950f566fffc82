#include "common/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace corvane {

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t powersOfTen[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};

// Below this magnitude the scaled, rounded value fits in 64 bits for every decimals <= 9.
constexpr double fastLimit = 1e9;

// The slow but exact route for huge values, infinities and NaN.
char* formatBySystem(char* out, double v, int decimals)
{
    const auto result =
        std::to_chars(out, out + MaxFixedLength, v, std::chars_format::fixed, decimals);
    return result.ptr;
}

// round(|v| * 10^decimals), exact halves to even, for finite |v| < fastLimit.
std::uint64_t scaledMagnitude(double v, int decimals)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    const int biased = int((bits >> 52) & 0x7ff);
    std::uint64_t mantissa = bits & ((std::uint64_t(1) << 52) - 1);
    int exponent; // |v| = mantissa * 2^exponent
    if (biased == 0) {
        exponent = -1074; // subnormal (or zero)
    } else {
        mantissa |= std::uint64_t(1) << 52;
        exponent = biased - 1075;
    }
    if (mantissa == 0)
        return 0;
    const Wide scaled = Wide(mantissa) * powersOfTen[decimals];
    if (exponent >= 0)
        return std::uint64_t(scaled << exponent);
    const int shift = -exponent;
    // scaled < 2^83, so beyond 83 bits of shift the value is below a half: it rounds to 0.
    if (shift > 83)
        return 0;
    const Wide quotient = scaled >> shift;
    const Wide remainder = scaled - (quotient << shift);
    const Wide half = Wide(1) << (shift - 1);
    std::uint64_t rounded = std::uint64_t(quotient);
    if (remainder > half || (remainder == half && (rounded & 1)))
        ++rounded;
    return rounded;
}

} // namespace

char* formatFixed(char* out, double v, int decimals)
{
    if (decimals < 0)
        decimals = 0;
    if (decimals > 9)
        decimals = 9;
    if (!std::isfinite(v) || std::fabs(v) >= fastLimit)
        return formatBySystem(out, v, decimals);

    if (std::signbit(v))
        *out++ = '-';
    const std::uint64_t scaled = scaledMagnitude(v, decimals);
    const std::uint64_t unit = powersOfTen[decimals];
    out = std::to_chars(out, out + 24, scaled / unit).ptr;
    if (decimals == 0)
        return out;
    *out++ = '.';
    std::uint64_t fraction = scaled % unit;
    for (int i = decimals - 1; i >= 0; --i) {
        out[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    return out + decimals;
}

void appendFixed(std::string& out, double v, int decimals)
{
    char buffer[MaxFixedLength];
    out.append(buffer, formatFixed(buffer, v, decimals));
}

std::string fixedText(double v, int decimals)
{
    std::string text;
    appendFixed(text, v, decimals);
    return text;
}

} // namespace corvane
