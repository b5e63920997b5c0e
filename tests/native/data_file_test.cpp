#include "core/data_file.h"

#include <gtest/gtest.h>

#include "core/rc4.h"
#include "tests/support/memory_file_store.h"

namespace tessoral {
namespace {

using testing::MemoryFileStore;

constexpr const char* kPath = "C:\\AppData\\Tessoral\\ms.ini";

ServerEntry Entry(std::string host, std::string port, std::string account,
                  std::string password, std::string remark) {
    return ServerEntry{std::move(host), std::move(port), std::move(account),
                       std::move(password), std::move(remark), ServerStatus::Unknown};
}

void ExpectSameTexts(const ServerList& a, const ServerList& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 1; i <= a.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.At(i).host, b.At(i).host);
        EXPECT_EQ(a.At(i).port, b.At(i).port);
        EXPECT_EQ(a.At(i).account, b.At(i).account);
        EXPECT_EQ(a.At(i).password, b.At(i).password);
        EXPECT_EQ(a.At(i).remark, b.At(i).remark);
        EXPECT_EQ(b.At(i).status, ServerStatus::Unknown);
    }
}

TEST(DataTextTest, EmptyListWithoutMarksIs36Bytes) {
    const std::string text = BuildDataText(ServerList(), StartMode{}, "");
    EXPECT_EQ(text, "#Start:1\r\n#Start:0\r\n#LoadinPass:<>\r\n");
    EXPECT_EQ(text.size(), 36u);
}

TEST(DataTextTest, AdminMarkMakes46Bytes) {
    const std::string text = BuildDataText(ServerList(), StartMode{false, true}, "");
    EXPECT_EQ(text.substr(0, 10), "#admin:1\r\n");
    EXPECT_EQ(text.size(), 46u);
}

TEST(DataTextTest, LayoutOfEntriesMarksAndPassword) {
    ServerList list;
    list.Append(Entry("10.0.0.1", "3389", "Administrator", "pw", "\xB7\xFE\xCE\xF1"));
    list.Append(Entry("host", "", "", "", ""));
    EXPECT_EQ(BuildDataText(list, StartMode{true, true}, "secret"),
              "10.0.0.1|3389|Administrator|pw|\xB7\xFE\xCE\xF1\r\n"
              "host||||\r\n"
              "#onsole:1\r\n#admin:1\r\n#Start:1\r\n#Start:0\r\n#LoadinPass:<secret>\r\n");
}

struct ParseCase {
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>> entries;  // host, port, account, password, remark
    bool console;
    bool admin;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseDataTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDataTextTest, MakesEntriesAndMarks) {
    const ParseCase& c = GetParam();
    const ParsedData parsed = ParseDataText(c.text);
    ASSERT_EQ(parsed.servers.Count(), static_cast<int>(c.entries.size()));
    for (int i = 1; i <= parsed.servers.Count(); ++i) {
        const ServerEntry& e = parsed.servers.At(i);
        EXPECT_EQ((std::vector<std::string>{e.host, e.port, e.account, e.password, e.remark}),
                  c.entries[static_cast<size_t>(i - 1)]);
        EXPECT_EQ(e.status, ServerStatus::Unknown);
    }
    EXPECT_EQ(parsed.marks.console, c.console);
    EXPECT_EQ(parsed.marks.admin, c.admin);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseDataTextTest,
    ::testing::Values(
        ParseCase{"Empty", "", {}, false, false},
        ParseCase{"TwoFieldsNoEntry", "a|b\r\n", {}, false, false},
        ParseCase{"ThreeFields", "a|b|c\r\n", {{"a", "b", "c", "", ""}}, false, false},
        ParseCase{"FourFields", "a|b|c|d\r\n", {{"a", "b", "c", "d", ""}}, false, false},
        ParseCase{"SixFieldsKeepFive", "a|b|c|d|e|f\r\n", {{"a", "b", "c", "d", "e"}}, false,
                  false},
        ParseCase{"EmptyRemarkAfterFullEntry", "a|1|u|p|r\r\nb|2|v||\r\n",
                  {{"a", "1", "u", "p", "r"}, {"b", "2", "v", "", ""}}, false, false},
        ParseCase{"LastLineWithoutCrLf", "a|b|c", {{"a", "b", "c", "", ""}}, false, false},
        ParseCase{"EmptyLineBetween", "a|b|c\r\n\r\nd|e|f\r\n",
                  {{"a", "b", "c", "", ""}, {"d", "e", "f", "", ""}}, false, false},
        ParseCase{"LoneCrAndLfDoNotEndLine", "a|b|c\rd|e\nf|g\r\n",
                  {{"a", "b", "c\rd", "e\nf", "g"}}, false, false},
        ParseCase{"WideCharacterWithBarByte", "h|\xB1\x7C|u\r\n", {{"h", "\xB1\x7C", "u", "", ""}},
                  false, false},
        ParseCase{"ConsoleMarker", "#onsole:1\r\n", {}, true, false},
        ParseCase{"AdminMarker", "#admin:1\r\n", {}, false, true},
        ParseCase{"MarkerEndingOtherwise", "#onsole:0\r\n#admin:x\r\n", {}, false, false},
        ParseCase{"BothMarkersOnOneLineIsConsole", "#admin:#onsole:1\r\n", {}, true, false},
        ParseCase{"ConsoleLineEndingOneHidesAdmin", "#onsole:#admin:1\r\n", {}, true, false},
        ParseCase{"StartLinesHaveNoEffect", "#Start:1\r\n#Start:0\r\n", {}, false, false},
        ParseCase{"MarkerInsideEntryLine", "h|p|#admin:1\r\n", {{"h", "p", "#admin:1", "", ""}},
                  false, true},
        ParseCase{"StopsAtZeroByte", std::string("a|b|c\r\n\0d|e|f\r\n", 15),
                  {{"a", "b", "c", "", ""}}, false, false}),
    [](const auto& test_case) { return test_case.param.name; });

TEST(DataFileTest, MissingFileLoadsAsNothing) {
    MemoryFileStore files;
    const LoadedData loaded = LoadDataFile(files, kPath);
    EXPECT_EQ(loaded.plain, "");
    EXPECT_EQ(loaded.startup_password, "");
}

TEST(DataFileTest, SaveThenLoadGivesTheSameData) {
    ServerList list;
    list.Append(Entry("192.168.1.10", "3389", "Administrator", "p@ss", "\xB0\xEC\xB9\xAB\xCA\xD2"));
    list.Append(Entry("\xB7\xFE\xCE\xF1\xC6\xF7.example", "\xA3\xB3\xA3\xB3", "", "", ""));
    list.Append(Entry("h", "1", "a", "", "after empty"));
    list.SetStatus(1, ServerStatus::Online);

    for (const char* password : {"", "\xC3\xDC\xC2\xEB", "s3cret"}) {
        SCOPED_TRACE(password);
        MemoryFileStore files;
        ASSERT_TRUE(SaveDataFile(files, kPath, list, StartMode{false, true}, password));
        const LoadedData loaded = LoadDataFile(files, kPath);
        EXPECT_EQ(loaded.startup_password, password);
        const ParsedData parsed = ParseDataText(loaded.plain);
        ExpectSameTexts(list, parsed.servers);
        EXPECT_FALSE(parsed.marks.console);
        EXPECT_TRUE(parsed.marks.admin);
    }
}

TEST(DataFileTest, FileIsTheEncipheredTextExactly) {
    MemoryFileStore files;
    ASSERT_TRUE(SaveDataFile(files, kPath, ServerList(), StartMode{}, ""));
    ASSERT_EQ(files.files.count(kPath), 1u);
    EXPECT_EQ(files.files[kPath].size(), 36u);
    EXPECT_EQ(Rc4Transform(files.files[kPath], "5093"), BuildDataText(ServerList(), {}, ""));
    EXPECT_EQ(files.files.size(), 1u) << "no temporary file is left behind";

    ASSERT_TRUE(SaveDataFile(files, kPath, ServerList(), StartMode{false, true}, ""));
    EXPECT_EQ(files.files[kPath].size(), 46u);
}

TEST(DataFileTest, FailedSaveKeepsThePreviousFile) {
    ServerList list;
    list.Append(Entry("keep", "3389", "me", "", ""));
    MemoryFileStore files;
    ASSERT_TRUE(SaveDataFile(files, kPath, list, StartMode{false, true}, "pw"));
    const std::string before = files.files[kPath];

    struct Failure {
        const char* name;
        bool fail_writes;
        size_t write_limit;
        bool fail_replace;
    };
    for (const Failure& f : {Failure{"nothing written", true, SIZE_MAX, false},
                             Failure{"disk full midway", false, 5, false},
                             Failure{"replace refused", false, SIZE_MAX, true}}) {
        SCOPED_TRACE(f.name);
        files.fail_writes = f.fail_writes;
        files.write_limit = f.write_limit;
        files.fail_replace = f.fail_replace;
        EXPECT_FALSE(SaveDataFile(files, kPath, ServerList(), StartMode{}, ""));
        EXPECT_EQ(files.files[kPath], before);
        EXPECT_EQ(files.files.size(), 1u) << "the partial temporary file is removed";
    }
}

TEST(DataFileTest, ForeignBytesParseWithoutError) {
    MemoryFileStore files;
    std::string random;
    for (int i = 0; i < 4096; ++i) random += static_cast<char>((i * 2654435761u) >> 13);
    files.files[kPath] = random;
    const LoadedData loaded = LoadDataFile(files, kPath);
    EXPECT_EQ(loaded.plain.size(), random.size());
    ParseDataText(loaded.plain);  // no crash, no sanitizer report
}

}  // namespace
}  // namespace tessoral
