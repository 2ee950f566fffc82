#include "dnc/dnc_words.h"

#include "dnc/number_scan.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace corvane::dnc {

double convertNumberSlowly(const char* first, const char* last)
{
    double value = 0;
    if (std::from_chars(first, last, value, std::chars_format::fixed).ec != std::errc()) {
        // Out of range: huge when a non-zero digit stands before the point, else too small.
        bool huge = false;
        for (const char* c = first; c != last && *c != '.'; ++c)
            huge = huge || *c != '0';
        value = huge ? DBL_MAX : 0.0;
    }
    return value;
}

double leadingNumber(std::string_view text)
{
    const char* stop = nullptr;
    return scanNumber(text.data(), text.data() + text.size(), stop);
}

float wordValueAt(std::string_view line, std::size_t from)
{
    // Every character a number can hold is in both accepted sets, so the longest number
    // of the collected text is the longest number at `from`: the set needs no test.
    return toWorkingFloat(leadingNumber(line.substr(from)));
}

std::optional<float> WordValue(std::string_view line, char letter, WordChars accepted)
{
    const std::size_t at = line.find(letter);
    if (at == std::string_view::npos)
        return std::nullopt;
    (void)accepted; // see wordValueAt
    return wordValueAt(line, at + 1);
}

int gNumberAt(std::string_view line, std::size_t from)
{
    int number = 0;
    for (std::size_t p = from; p < line.size() && p < from + 2 && number_scan::isDigit(line[p]);
         ++p)
        number = number * 10 + (line[p] - '0');
    return number;
}

double ArcAngle(double dx, double dy)
{
    if (dx == 0)
        return dy >= 0 ? HalfPi : ThreeHalvesPi;
    if (dy == 0)
        return dx > 0 ? 0.0 : Pi;
    double a = std::atan(dy / dx);
    if (dx < 0)
        a += Pi;
    if (a < 0)
        a += TwoPi;
    return a;
}

} // namespace corvane::dnc
