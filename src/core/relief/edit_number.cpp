#include "relief/edit_number.h"

#include <charconv>
#include <cmath>
#include <string>

namespace corvane::relief {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Length of the digits at the start of text.
std::size_t digitsAt(std::string_view text, std::size_t from)
{
    std::size_t n = 0;
    while (from + n < text.size() && isDigit(text[from + n]))
        ++n;
    return n;
}

} // namespace

std::optional<double> readEditNumber(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return 0.0;
    std::size_t pos = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-')
        ++pos;
    const std::size_t start = pos;
    const std::size_t whole = digitsAt(text, pos);
    pos += whole;
    std::size_t fraction = 0;
    if (pos < text.size() && text[pos] == '.') {
        fraction = digitsAt(text, pos + 1);
        pos += 1 + fraction;
    }
    if (whole + fraction == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t e = pos + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t exponent = digitsAt(text, e);
        if (exponent == 0)
            return std::nullopt;
        pos = e + exponent;
    }
    if (pos != text.size())
        return std::nullopt;

    // from_chars takes no "+" and ignores the locale: exactly what the grammar above needs.
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data() + start, text.data() + pos, value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + pos || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<int> readEditInteger(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return 0;
    if (text[0] == '+') {
        text.remove_prefix(1);
        if (text.empty() || !isDigit(text[0]))
            return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace corvane::relief
