// Text operations on code page 936 byte strings.
//
// A byte of 0x80 or above and the byte after it form one character; scans
// step over whole characters so that a match never begins on the second
// byte of a two-byte character (whose value may well be '|' or '>').
// Positions are 1-based and "not found" is -1, as everywhere in the program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessoral {

// 1-based position of the first occurrence of `needle` in `text` that begins
// at or after `from` (0 and 1 both mean the start), or -1.
int Find(std::string_view text, std::string_view needle, int from);

// Cuts `text` at every occurrence of `delimiter`. Empty text gives no pieces;
// a trailing delimiter gives no trailing empty piece.
std::vector<std::string> Split(std::string_view text, std::string_view delimiter);

// Calls `piece` for each piece Split would give, without building a vector.
template <typename F>
void ForEachPiece(std::string_view text, std::string_view delimiter, F&& piece);

// `count` bytes of `text` from 1-based `from`, fewer if the text ends sooner.
std::string Mid(std::string_view text, int from, int count);

// The last byte of `text` as a text of its own (empty for an empty text).
std::string Right1(std::string_view text);

// Every piece between an occurrence of `open` and the next `close`, joined
// with "||"; empty as soon as an `open` has no `close` after it.
std::string ExtractBetween(std::string_view text, std::string_view open,
                           std::string_view close);

// The bytes up to the first zero byte: how raw file bytes become text.
std::string_view TextUpToZero(std::string_view bytes);

template <typename F>
void ForEachPiece(std::string_view text, std::string_view delimiter, F&& piece) {
    if (text.empty()) return;
    int start = 1;
    const int length = static_cast<int>(text.size());
    for (;;) {
        const int at = Find(text, delimiter, start);
        if (at < 0) {
            if (start <= length) piece(text.substr(static_cast<size_t>(start - 1)));
            return;
        }
        piece(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(at - start)));
        start = at + static_cast<int>(delimiter.size());
    }
}

}  // namespace tessoral
