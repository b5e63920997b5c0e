#include "core/connection_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/text.h"
#include "tests/support/memory_file_store.h"

namespace tessoral {
namespace {

// The placeholders as code page 936 bytes, independent of how the
// compiler turns the source's characters into bytes.
const std::string kAccountBytes = "\x25\xD5\xCB\xBA\xC5\x25";
const std::string kAddressBytes = "\x25\xB7\xFE\xCE\xF1\xC6\xF7\xB5\xD8\xD6\xB7\x25";
const std::string kPasswordBytes = "\x25\xC3\xDC\xC2\xEB\x25";

// ASCII bytes become their own units and a two-byte character one unit made
// of its two bytes: enough to count units and see where they land.
class FakeProtector : public PasswordProtector {
public:
    std::optional<std::string> blob = std::string("\x01\xAB\x00", 3);
    std::vector<std::string> blocks;

    std::u16string ToUtf16(std::string_view text) override {
        std::u16string units;
        for (size_t i = 0; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0x80 && i + 1 < text.size()) {
                units += static_cast<char16_t>(c << 8 | static_cast<unsigned char>(text[++i]));
            } else {
                units += static_cast<char16_t>(c);
            }
        }
        return units;
    }
    std::optional<std::string> Protect(std::string_view block) override {
        blocks.emplace_back(block);
        return blob;
    }
};

std::vector<std::string> Lines(const std::string& text) { return Split(text, "\r\n"); }

int Occurrences(const std::string& text, const std::string& needle) {
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ConnectionTemplateTest, BothVariantsAre39CrLfLinesOf932Bytes) {
    for (const bool full_screen : {true, false}) {
        const std::string text = ConnectionTemplate(full_screen);
        EXPECT_EQ(text.size(), 932u);
        EXPECT_EQ(Occurrences(text, "\r\n"), 39);
        EXPECT_EQ(text.find('\0'), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - 22), "drivestoredirect:s:*\r\n");
        const std::vector<std::string> lines = Lines(text);
        ASSERT_EQ(lines.size(), 39u);
        EXPECT_EQ(lines[0], full_screen ? "screen mode id:i:2" : "screen mode id:i:1");
        EXPECT_EQ(lines[8], "username:s:" + kAccountBytes);
        EXPECT_EQ(lines[17], "full address:s:" + kAddressBytes);
        EXPECT_EQ(lines[18], kPasswordBytes);
        EXPECT_EQ(lines[25], "drivestoredirect:s:");
        for (const std::string& placeholder : {kAccountBytes, kAddressBytes, kPasswordBytes}) {
            EXPECT_EQ(Occurrences(text, placeholder), 1);
        }
    }
}

TEST(ConnectionTextTest, EmptyPasswordVariantsDifferInTheScreenModeOnly) {
    FakeProtector protector;
    const ServerEntry entry{"10.0.0.5", "3389", "Administrator", "", "office", {}};
    const std::string full = BuildConnectionText(entry, true, protector).text;
    const std::string windowed = BuildConnectionText(entry, false, protector).text;
    ASSERT_EQ(full.size(), windowed.size());
    std::vector<size_t> differences;
    for (size_t i = 0; i < full.size(); ++i) {
        if (full[i] != windowed[i]) differences.push_back(i);
    }
    EXPECT_EQ(differences, std::vector<size_t>{17});
    EXPECT_TRUE(protector.blocks.empty());
}

struct TextCase {
    const char* name;
    ServerEntry entry;
    size_t line;  // 0-based
    std::string expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class ConnectionTextLineTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ConnectionTextLineTest, FillsInStepOrder) {
    FakeProtector protector;
    const ConnectionText built = BuildConnectionText(GetParam().entry, false, protector);
    const std::vector<std::string> lines = Lines(built.text);
    ASSERT_GT(lines.size(), GetParam().line);
    EXPECT_EQ(lines[GetParam().line], GetParam().expected);
    EXPECT_FALSE(built.password_refused);
    // One protection per text, however often its result is inserted.
    EXPECT_EQ(protector.blocks.size(), GetParam().entry.password.empty() ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionTextLineTest,
    ::testing::Values(
        TextCase{"Account", {"h", "1", "Administrator", "pw", "r", {}}, 8,
                 "username:s:Administrator"},
        TextCase{"Address", {"10.0.0.5", "3390", "a", "pw", "r", {}}, 17,
                 "full address:s:10.0.0.5:3390"},
        TextCase{"Password", {"h", "1", "a", "pw", "r", {}}, 18, "password 51:b:01AB000"},
        TextCase{"EmptyPasswordKeepsPlaceholder", {"h", "1", "a", "", "r", {}}, 18,
                 kPasswordBytes},
        TextCase{"EmptyAccount", {"h", "1", "", "pw", "r", {}}, 8, "username:s:"},
        TextCase{"EmptyPort", {"10.0.0.5", "", "a", "pw", "r", {}}, 17,
                 "full address:s:10.0.0.5:"},
        TextCase{"ChineseAccountByteForByte", {"h", "1", "\xD5\xC5\xC8\xFD", "", "r", {}}, 8,
                 "username:s:\xD5\xC5\xC8\xFD"},
        TextCase{"AccountHoldingAddressPlaceholder", {"h", "1", "x" + kAddressBytes, "", "r", {}},
                 8, "username:s:xh:1"},
        TextCase{"AccountHoldingPasswordPlaceholder", {"h", "1", kPasswordBytes, "pw", "r", {}},
                 8, "username:s:password 51:b:01AB000"},
        TextCase{"AccountHoldingPasswordPlaceholderNoPassword",
                 {"h", "1", kPasswordBytes, "", "r", {}}, 8, "username:s:" + kPasswordBytes},
        TextCase{"AccountHoldingItsOwnPlaceholderIsNotRescanned",
                 {"h", "1", kAccountBytes, "", "r", {}}, 8, "username:s:" + kAccountBytes},
        TextCase{"HostHoldingAccountPlaceholderAfterItsStep",
                 {kAccountBytes, "1", "a", "", "r", {}}, 17,
                 "full address:s:" + kAccountBytes + ":1"}),
    [](const auto& test_case) { return test_case.param.name; });

struct ReplaceCase {
    const char* name;
    std::string text;
    std::string placeholder;
    std::string value;
    std::string expected;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }

class ReplacePlaceholderTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplacePlaceholderTest, Replaces) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplacePlaceholder(c.text, c.placeholder, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacePlaceholderTest,
    ::testing::Values(
        ReplaceCase{"Every", "%a%-%a%", "%a%", "1", "1-1"},
        ReplaceCase{"LettersInEitherCase", "%AbC% %abc%", "%aBc%", "x", "x x"},
        ReplaceCase{"OtherBytesExact", "%a%", "%a$", "x", "%a%"},
        ReplaceCase{"NoOverlap", "aaa", "aa", "b", "ba"},
        ReplaceCase{"InsertedTextNotRescanned", "a", "a", "aa", "aa"},
        // "\x81%" is one character: the "%" there does not start a match.
        ReplaceCase{"NotInsideTwoByteCharacter", "\x81%a% %a%", "%a%", "x", "\x81%a% x"},
        ReplaceCase{"RightAfterTwoByteCharacter", "\xD6\xD0%a%", "%a%", "x", "\xD6\xD0x"},
        ReplaceCase{"LeadByteAtEndKept", "ab\xB1", "b", "c", "ac\xB1"},
        ReplaceCase{"EmptyValueRemoves", "a%p%b", "%p%", "", "ab"},
        ReplaceCase{"EmptyText", "", "%p%", "x", ""},
        ReplaceCase{"EmptyPlaceholder", "abc", "", "x", "abc"}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(BlobToHexTest, TwoUppercaseDigitsPerByteAndOneMoreZero) {
    EXPECT_EQ(BlobToHex(std::string("\x01\xAB\x00", 3)), "01AB000");
    EXPECT_EQ(BlobToHex("\x0A"), "0A0");
    EXPECT_EQ(BlobToHex(std::string("\xFF\x10\x00\xC3", 4)), "FF1000C30");
    EXPECT_EQ(BlobToHex(""), "0");
}

TEST(ProtectPasswordTest, UnitsAndTheirZeroStartAZeroedBlock) {
    FakeProtector protector;
    ASSERT_EQ(ProtectPassword("p\xC3\xDC", protector), "01AB000");
    ASSERT_EQ(protector.blocks.size(), 1u);
    std::string expected(512, '\0');
    expected[0] = 'p';
    expected[2] = '\xDC';
    expected[3] = '\xC3';
    EXPECT_EQ(protector.blocks[0], expected);
}

TEST(ProtectPasswordTest, LimitIsInUnitsNotBytes) {
    FakeProtector protector;
    // 255 two-byte characters: 510 bytes of text, 255 units, then the zero.
    std::string longest;
    for (int i = 0; i < 255; ++i) longest += "\xC3\xDC";
    ASSERT_TRUE(ProtectPassword(longest, protector).has_value());
    ASSERT_EQ(protector.blocks.size(), 1u);
    EXPECT_EQ(protector.blocks[0].substr(508), std::string("\xDC\xC3\0\0", 4));

    EXPECT_FALSE(ProtectPassword(std::string(256, 'p'), protector).has_value());
    EXPECT_EQ(protector.blocks.size(), 1u) << "a refused password is not protected";
}

TEST(ProtectPasswordTest, TooLongPasswordLeavesItsLineForTheClientToAsk) {
    FakeProtector protector;
    const ServerEntry entry{"h", "1", "a", std::string(300, 'p'), "r", {}};
    const ConnectionText built = BuildConnectionText(entry, true, protector);
    EXPECT_TRUE(built.password_refused);
    EXPECT_EQ(Lines(built.text)[18], kPasswordBytes);
}

TEST(ProtectPasswordTest, FailedProtectionGivesTheSingleZero) {
    FakeProtector protector;
    protector.blob = std::nullopt;
    const ServerEntry entry{"h", "1", "a", "pw", "r", {}};
    EXPECT_EQ(Lines(BuildConnectionText(entry, true, protector).text)[18], "password 51:b:0");
}

struct NameCase {
    const char* name;
    std::string remark;
    std::string host;
    size_t max_characters;
    std::string expected;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class ConnectionFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(ConnectionFileNameTest, MakesASafeName) {
    const NameCase& c = GetParam();
    EXPECT_EQ(ConnectionFileName(c.remark, c.host, c.max_characters), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConnectionFileNameTest,
    ::testing::Values(
        NameCase{"PlainRemark", "office", "h", 255, "office"},
        NameCase{"ChineseRemark", "\xCC\xEE\xD0\xB4", "h", 255, "\xCC\xEE\xD0\xB4"},
        NameCase{"SpacesAndDashesStay", " my -x server", "h", 255, " my -x server"},
        NameCase{"ForbiddenCharacters", "a\\b/c:d*e?f\"g<h>i|j", "h", 255, "a_b_c_d_e_f_g_h_i_j"},
        NameCase{"QuotesCannotCloseTheArgument", "x\" /admin \"y", "h", 255, "x_ _admin _y"},
        NameCase{"ControlCharacters", "line1\r\nline2\t", "h", 255, "line1__line2_"},
        NameCase{"TrailingDotsAndSpaces", "office. . ", "h", 255, "office"},
        NameCase{"SecondBytesOfBackslashAndBarStay", "\xB1\x5C\xB1\x7C", "h", 255,
                 "\xB1\x5C\xB1\x7C"},
        NameCase{"LeadByteAtEnd", "ab\xB1", "h", 255, "ab_"},
        NameCase{"InvalidHighBytes", "\x80x\xFF", "h", 255, "_x_"},
        NameCase{"InvalidSecondByteStandsAlone", "\x81:", "h", 255, "__"},
        NameCase{"Device", "CON", "h", 255, "_CON"},
        NameCase{"DeviceAnyCaseWithExtension", "nul.txt", "h", 255, "_nul.txt"},
        NameCase{"DeviceBeforeSpacesAndDot", "aux .x", "h", 255, "_aux .x"},
        NameCase{"NumberedDevices", "Com1", "h", 255, "_Com1"},
        NameCase{"NumberedDeviceWithExtension", "LPT9.rdp", "h", 255, "_LPT9.rdp"},
        NameCase{"DeviceAfterTrailingDotsGo", "prn. ", "h", 255, "_prn"},
        NameCase{"NotDevices", "COM10", "h", 255, "COM10"},
        NameCase{"NotDeviceEither", "CONSOLE", "h", 255, "CONSOLE"},
        NameCase{"DataFile", "MS.INI", "h", 255, "_MS.INI"},
        NameCase{"DataFileWhileSaving", "ms.ini.new", "h", 255, "_ms.ini.new"},
        NameCase{"PreferencesFile", "configx.ini.", "h", 255, "_configx.ini"},
        NameCase{"EmptyRemarkTakesHost", "", "10.0.0.5", 255, "10.0.0.5"},
        NameCase{"OnlyDotsTakesHost", "..", "server", 255, "server"},
        NameCase{"HostMadeSafe", "", "fe80::1", 255, "fe80__1"},
        NameCase{"HostDevice", " ", "con", 255, "_con"},
        NameCase{"NothingLeft", "", "", 255, "Tessoral"},
        NameCase{"Cut", "abcdef", "h", 3, "abc"},
        NameCase{"CutCountsCharacters", "\xD6\xD0\xD6\xD0\xD6\xD0", "h", 2, "\xD6\xD0\xD6\xD0"},
        NameCase{"CutThenTrailingSpacesGo", "ab. cd", "h", 4, "ab"},
        NameCase{"PrefixStaysWithinLimit", "CON.txt", "h", 7, "_CON.tx"}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(ConnectionFilePathTest, FolderAndNameWithinThePathLimit) {
    const ServerEntry office{"h", "1", "a", "", "office", {}};
    EXPECT_EQ(ConnectionFilePath("C:\\Users\\u\\AppData\\Roaming\\Tessoral\\", office),
              "C:\\Users\\u\\AppData\\Roaming\\Tessoral\\office");

    // The limit counts characters: a two-byte character is one.
    std::string folder = "C:\\";
    for (int i = 0; i < 120; ++i) folder += "\xD6\xD0";
    folder += "\\";
    const ServerEntry long_remark{"h", "1", "a", "", std::string(300, 'r'), {}};
    EXPECT_EQ(ConnectionFilePath(folder, long_remark), folder + std::string(259 - 124, 'r'));
}

TEST(WriteConnectionFileTest, WritesTheTextAsTheWholeFile) {
    testing::MemoryFileStore files;
    EXPECT_FALSE(WriteConnectionFile(files, "", "text"));
    EXPECT_TRUE(files.files.empty());

    FakeProtector protector;
    const ServerEntry entry{"h", "1", "a", "pw", "office", {}};
    const std::string text = BuildConnectionText(entry, true, protector).text;
    ASSERT_TRUE(WriteConnectionFile(files, "C:\\T\\office", text));
    EXPECT_EQ(files.files["C:\\T\\office"], text);

    files.fail_writes = true;
    EXPECT_FALSE(WriteConnectionFile(files, "C:\\T\\office", text));
}

}  // namespace
}  // namespace tessoral
