#include "core/preferences.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace tessoral {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest leading part of `text` that reads as a decimal number, or "".
std::string LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return {};
    size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) ++j;
            end = j;
        }
    }
    return std::string(text.substr(start, end - start));
}

}  // namespace

int ResolutionIndexFromText(std::string_view text, int last) {
    const std::string number = LeadingNumber(text);
    // strtod on a text that is only digits, '.', signs and an exponent, so
    // neither the locale nor hexadecimal or "inf" forms come into it.
    const double value = number.empty() ? 0.0 : std::trunc(std::strtod(number.c_str(), nullptr));
    if (value <= -1.0) return -1;
    if (value >= static_cast<double>(last)) return last;
    return static_cast<int>(value);
}

}  // namespace tessoral
