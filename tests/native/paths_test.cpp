#include "core/paths.h"

#include <gtest/gtest.h>

namespace tessoral {
namespace {

TEST(DataFolderTest, AppendsBackslashAndProgramFolder) {
    EXPECT_EQ(DataFolderFrom(std::string("C:\\Users\\u\\AppData\\Roaming")),
              "C:\\Users\\u\\AppData\\Roaming\\Tessoral\\");
    EXPECT_EQ(DataFolderFrom(std::string("C:\\")), "C:\\Tessoral\\");
}

TEST(DataFolderTest, NoShellFolderGivesRelativePath) {
    EXPECT_EQ(DataFolderFrom(std::nullopt), "Tessoral\\");
}

TEST(DataFolderTest, SecondByteBackslashIsNotAFolderEnd) {
    // 0x81 0x5C is one character whose second byte happens to be '\'.
    EXPECT_EQ(DataFolderFrom(std::string("C:\\\x81\x5C")), "C:\\\x81\x5C\\Tessoral\\");
}

}  // namespace
}  // namespace tessoral
