#include "core/text.h"

#include <cstring>

namespace tessoral {

namespace {

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

}  // namespace

int Find(std::string_view text, std::string_view needle, int from) {
    if (needle.empty()) return -1;
    if (from < 1) from = 1;
    const size_t length = text.size();
    const size_t wanted = needle.size();
    size_t i = static_cast<size_t>(from - 1);
    while (i < length) {
        const bool lead = IsLeadByte(text[i]);
        if (lead && i + 1 >= length) return -1;
        if (length - i >= wanted && text[i] == needle[0] &&
            std::memcmp(text.data() + i, needle.data(), wanted) == 0) {
            return static_cast<int>(i + 1);
        }
        i += lead ? 2 : 1;
    }
    return -1;
}

std::vector<std::string> Split(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    ForEachPiece(text, delimiter, [&](std::string_view piece) { pieces.emplace_back(piece); });
    return pieces;
}

std::string Mid(std::string_view text, int from, int count) {
    if (from < 1 || count <= 0 || static_cast<size_t>(from) > text.size()) return {};
    return std::string(text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count)));
}

std::string Right1(std::string_view text) {
    if (text.empty()) return {};
    return std::string(1, text.back());
}

std::string ExtractBetween(std::string_view text, std::string_view open,
                           std::string_view close) {
    std::string result;
    int count = 0;
    int search = 0;
    const int open_length = static_cast<int>(open.size());
    int start = Find(text, open, search);
    if (start < 0) return {};
    for (;;) {
        // The close is looked for from the open itself, not from its end.
        const int end = Find(text, close, start);
        if (end < 0) return {};
        if (count > 0) result += "||";
        result += Mid(text, start + open_length, end - start - open_length);
        search = end + static_cast<int>(close.size());
        ++count;
        start = Find(text, open, search);
        if (start < 0) return result;
    }
}

std::string_view TextUpToZero(std::string_view bytes) {
    const size_t zero = bytes.find('\0');
    return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

}  // namespace tessoral
