#include "core/launch_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessoral {
namespace {

struct OptionsCase {
    const char* name;
    bool full_screen;
    bool console;
    bool admin;
    std::string item;
    std::string text;
    bool uncheck_admin;
    bool uses_item;
};

void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.name; }

class LaunchOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(LaunchOptionsTest, FollowsTheControls) {
    const OptionsCase& c = GetParam();
    const LaunchOptions options = BuildLaunchOptions(c.full_screen, c.console, c.admin, c.item);
    EXPECT_EQ(options.text, c.text);
    EXPECT_EQ(options.uncheck_admin, c.uncheck_admin);
    EXPECT_EQ(UsesResolutionItem(c.full_screen, c.console, c.admin), c.uses_item);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchOptionsTest,
    ::testing::Values(
        OptionsCase{"FullConsole", true, true, false, "1024 x 768", "/console", true, false},
        OptionsCase{"FullBoth", true, true, true, "1024 x 768", "/console", true, false},
        OptionsCase{"FullAdmin", true, false, true, "1024 x 768", "/admin", false, false},
        OptionsCase{"FullNone", true, false, false, "1024 x 768", "", false, false},
        OptionsCase{"WindowedConsole", false, true, false, "1280 x 1024",
                    "/console /w:1280 /h:1024", true, true},
        OptionsCase{"WindowedBoth", false, true, true, "1024 x 768", "/console /w:1024 /h:768",
                    true, true},
        OptionsCase{"WindowedAdmin", false, false, true, "800 x 600", "/admin /w:800 /h:600",
                    false, true},
        OptionsCase{"WindowedNone", false, false, false, "800 x 600", "", false, false},
        OptionsCase{"NoItem", false, true, false, "", "/console", true, true},
        OptionsCase{"ItemWithoutX", false, false, true, "1024", "/admin", false, true},
        OptionsCase{"UppercaseXDoesNotCut", false, false, true, "1024 X 768", "/admin", false,
                    true},
        OptionsCase{"ItemWithoutHeight", false, true, false, "1024 x ", "/console", true, true},
        OptionsCase{"ItemWithoutWidth", false, true, false, " x 768", "/console", true, true},
        OptionsCase{"OnlyDigitsReachTheLine", false, true, false, "1024 x 768 /admin", "/console",
                    true, true},
        OptionsCase{"LaterPiecesIgnored", false, true, false, "1024 x 768 x 32",
                    "/console /w:1024 /h:768", true, true}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(LaunchCommandLineTest, QuotedPathThenSpaceThenOptions) {
    EXPECT_EQ(LaunchCommandLine("C:\\Documents and Settings\\u\\Tessoral\\my office",
                                "/console /w:1024 /h:768"),
              "mstsc.exe \"C:\\Documents and Settings\\u\\Tessoral\\my office\" "
              "/console /w:1024 /h:768");
    EXPECT_EQ(LaunchCommandLine("C:\\T\\office", ""), "mstsc.exe \"C:\\T\\office\" ");
}

struct MarkCase {
    const char* name;
    std::string host;
    std::string key;
    std::string value;
};

void PrintTo(const MarkCase& c, std::ostream* os) { *os << c.name; }

class RecordingRegistry : public Registry {
public:
    struct Call {
        std::string key;
        std::string name;
        uint32_t data;
    };
    std::vector<Call> calls;

    Mark SetDwordIfMissing(const std::string& key, const std::string& name,
                           uint32_t data) override {
        calls.push_back({key, name, data});
        return Mark::kWritten;
    }
};

class MarkLocalDevicesTest : public ::testing::TestWithParam<MarkCase> {};

const std::string kKey(kLocalDevicesKey);

TEST_P(MarkLocalDevicesTest, SplitsAtTheLastRealBackslash) {
    RecordingRegistry registry;
    MarkLocalDevices(registry, GetParam().host);
    ASSERT_EQ(registry.calls.size(), 1u);
    EXPECT_EQ(registry.calls[0].key, GetParam().key);
    EXPECT_EQ(registry.calls[0].name, GetParam().value);
    EXPECT_EQ(registry.calls[0].data, 76u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkLocalDevicesTest,
    ::testing::Values(
        MarkCase{"Address", "10.0.0.5", kKey, "10.0.0.5"},
        MarkCase{"NoPort", "server.example", kKey, "server.example"},
        // 0xB1 0x5C is one character ending in the backslash byte.
        MarkCase{"TwoByteCharacterEndingIn5C", "\xB7\xFE\xB1\x5C", kKey, "\xB7\xFE\xB1\x5C"},
        MarkCase{"BackslashInHostMovesIntoKey", "a\\b", kKey + "\\a", "b"},
        MarkCase{"EmptyHostIsTheDefaultValue", "", kKey, ""}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(LocalDevicesKeyTest, IsAParameter) {
    RecordingRegistry registry;
    MarkLocalDevices(registry, "h", "Software\\TessoralTest\\LocalDevices");
    ASSERT_EQ(registry.calls.size(), 1u);
    EXPECT_EQ(registry.calls[0].key, "Software\\TessoralTest\\LocalDevices");
    EXPECT_EQ(registry.calls[0].name, "h");
}

TEST(SplitRegistryPathTest, EdgeCases) {
    EXPECT_EQ(SplitRegistryPath("value").key, "");
    EXPECT_EQ(SplitRegistryPath("value").value, "value");
    EXPECT_EQ(SplitRegistryPath("\xB1\x5C").value, "\xB1\x5C");
    EXPECT_EQ(SplitRegistryPath("k\\").key, "k");
    EXPECT_EQ(SplitRegistryPath("k\\").value, "");
}

}  // namespace
}  // namespace tessoral
