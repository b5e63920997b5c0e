#include "core/probe.h"

#include <limits>

namespace tessoral {

namespace {

// Full-width forms in code page 936: the row 0xA3 holds the full-width
// ASCII characters (0xA3 0xB0 is "０"), and 0xA1 0xA1 is the ideographic space.
std::string ToHalfWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else {
            out += text[i];
            out += text[i + 1];
        }
        ++i;
    }
    return out;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

uint16_t ProbePortNumber(std::string_view port_text) {
    const std::string text = ToHalfWidth(port_text);
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Saturates like the C library's strtol instead of overflowing.
    int64_t value = 0;
    constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit + 1;
    }
    if (negative) value = -value;
    if (value > kLimit) value = kLimit;
    if (value <= 0) value = 1;
    return static_cast<uint16_t>(value & 0xFFFF);
}

}  // namespace tessoral
