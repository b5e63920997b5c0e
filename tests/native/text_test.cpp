#include "core/text.h"

#include <gtest/gtest.h>

namespace tessoral {
namespace {

// "\xB1\x7C" is one two-byte character whose second byte is '|'.
constexpr const char* kWideBar = "\xB1\x7C";

struct FindCase {
    const char* name;
    std::string text;
    std::string needle;
    int from;
    int expected;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindTest : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTest, FindsAtCharacterStarts) {
    const FindCase& c = GetParam();
    EXPECT_EQ(Find(c.text, c.needle, c.from), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTest,
    ::testing::Values(
        FindCase{"Start", "a|b", "|", 0, 2}, FindCase{"FromOneIsStart", "a|b", "|", 1, 2},
        FindCase{"FromAfterMatch", "a|b|c", "|", 3, 4}, FindCase{"Missing", "abc", "|", 0, -1},
        FindCase{"FromPastEnd", "a|b", "|", 9, -1}, FindCase{"EmptyText", "", "|", 0, -1},
        FindCase{"SecondByteIsNotAStart", std::string("x") + kWideBar + "|", "|", 0, 4},
        FindCase{"MultiByteNeedle", "\xD6\xD0\xCE\xC4x", "\xCE\xC4", 0, 3},
        FindCase{"NeedleStraddlingCharacters", "\xD6\xD0\xCE\xC4", "\xD0\xCE", 0, -1},
        // Stepping counts from the start position: starting on a second byte
        // makes that byte a character start.
        FindCase{"StepsFromGivenPosition", kWideBar, "|", 2, 2},
        FindCase{"LeadByteAtEndStops", "ab\xB1", "\xB1", 0, -1},
        FindCase{"NeedleLongerThanRest", "ab", "abc", 0, -1}),
    [](const auto& test_case) { return test_case.param.name; });

struct SplitCase {
    const char* name;
    std::string text;
    std::string delimiter;
    std::vector<std::string> pieces;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, CutsAtDelimiters) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(Split(c.text, c.delimiter), c.pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTest,
    ::testing::Values(
        SplitCase{"Empty", "", "|", {}}, SplitCase{"NoDelimiter", "abc", "|", {"abc"}},
        SplitCase{"Three", "a|b|c", "|", {"a", "b", "c"}},
        SplitCase{"TwoInARowGiveEmptyPiece", "a||c", "|", {"a", "", "c"}},
        SplitCase{"LeadingDelimiter", "|a", "|", {"", "a"}},
        SplitCase{"TrailingDelimiterDropped", "a|b|", "|", {"a", "b"}},
        SplitCase{"OnlyDelimiter", "|", "|", {""}},
        SplitCase{"WideCharacterNotCut", std::string("a") + kWideBar + "b|c", "|",
                  {std::string("a") + kWideBar + "b", "c"}},
        SplitCase{"CrLfLines", "a\r\n\r\nb\r\n", "\r\n", {"a", "", "b"}},
        SplitCase{"LoneCrAndLfStayInLine", "a\rb\nc\r\nd", "\r\n", {"a\rb\nc", "d"}}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(MidTest, TakesBytesFromPosition) {
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 5, 10), "ef");
    EXPECT_EQ(Mid("abcdef", 0, 2), "");
    EXPECT_EQ(Mid("abcdef", 7, 1), "");
    EXPECT_EQ(Mid("abcdef", 1, 0), "");
    EXPECT_EQ(Mid("abcdef", 1, -1), "");
}

TEST(Right1Test, LastByte) {
    EXPECT_EQ(Right1("abc"), "c");
    EXPECT_EQ(Right1(""), "");
    EXPECT_EQ(Right1("a\xB1\x31"), "1");
}

struct ExtractCase {
    const char* name;
    std::string text;
    std::string expected;
};

void PrintTo(const ExtractCase& c, std::ostream* os) { *os << c.name; }

class ExtractBetweenTest : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractBetweenTest, JoinsPieces) {
    EXPECT_EQ(ExtractBetween(GetParam().text, "<", ">"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractBetweenTest,
    ::testing::Values(ExtractCase{"NoOpen", "abc>", ""}, ExtractCase{"OpenWithoutClose", "a<bc", ""},
                      ExtractCase{"OnePair", "x<pw>y", "pw"},
                      ExtractCase{"TwoPairs", "<a>..<b>", "a||b"},
                      ExtractCase{"PairThenUnclosedOpen", "<a>..<b", ""},
                      ExtractCase{"EmptyPair", "<>", ""},
                      ExtractCase{"CloseBeforeOpenIgnored", "> <a>", "a"},
                      ExtractCase{"WideCharacterHidingClose", "<\xB1>x>", "\xB1>x"}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(ExtractBetweenTest, CloseIsSearchedFromTheOpenItself) {
    // When the open delimiter contains the close, the close is found inside
    // the open and the piece has a negative length: empty.
    EXPECT_EQ(ExtractBetween("a<>b>", "<>", ">"), "");
}

TEST(TextUpToZeroTest, StopsAtFirstZero) {
    EXPECT_EQ(TextUpToZero(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(TextUpToZero("abc"), "abc");
}

}  // namespace
}  // namespace tessoral
