#include "common/leading_number.h"

#include <cctype>
#include <charconv>
#include <string>

namespace corvane {

double leadingNumber(std::string_view text, bool whole)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const std::size_t digitsFrom = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        ++i;
    bool anyDigit = i > digitsFrom;
    if (!whole && i < text.size() && text[i] == '.') {
        const std::size_t fraction = ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        anyDigit = anyDigit || i > fraction;
    }
    if (!anyDigit)
        return 0;
    // from_chars takes no '+' and no bare trailing '.'; hand it the plain form.
    std::string number(text.substr(start, i - start));
    if (number.front() == '+')
        number.erase(0, 1);
    if (number.back() == '.')
        number.pop_back();
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value;
}

} // namespace corvane
