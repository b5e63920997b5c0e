#include "platform/win32/file_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "core/data_file.h"
#include "core/paths.h"
#include "platform/win32/text_convert.h"

namespace tessoral::win32 {
namespace {

class Win32FileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
        // A Chinese folder name proves the paths go through code page 936.
        folder_ = Narrow(temp) + "tessoral-test-\xB2\xE2\xCA\xD4-" +
                  std::to_string(::GetCurrentProcessId()) + "\\";
        CreateFolder(folder_);
        ASSERT_TRUE(PathExists(folder_.substr(0, folder_.size() - 1)));
    }
    void TearDown() override {
        for (const char* name : {"ms.ini", "ms.ini.new", "other"}) store_.Remove(folder_ + name);
        ::RemoveDirectoryW(Widen(folder_).c_str());
    }

    std::string folder_;
    Win32FileStore store_;
};

TEST_F(Win32FileStoreTest, WriteReadReplace) {
    const std::string path = folder_ + "ms.ini";
    std::string bytes;
    EXPECT_FALSE(store_.ReadAll(path, bytes));
    EXPECT_FALSE(PathExists(path));

    const std::string content("a\0b\xB1\x7C\r\n", 7);
    ASSERT_TRUE(store_.WriteAll(path, content));
    ASSERT_TRUE(store_.ReadAll(path, bytes));
    EXPECT_EQ(bytes, content);
    EXPECT_TRUE(PathExists(path));

    ASSERT_TRUE(store_.WriteAll(folder_ + "other", "new"));
    ASSERT_TRUE(store_.Replace(folder_ + "other", path));
    ASSERT_TRUE(store_.ReadAll(path, bytes));
    EXPECT_EQ(bytes, "new");
    EXPECT_FALSE(PathExists(folder_ + "other"));
}

TEST_F(Win32FileStoreTest, EmptyFileReadsAsNoBytes) {
    const std::string path = folder_ + "ms.ini";
    ASSERT_TRUE(store_.WriteAll(path, ""));
    std::string bytes = "x";
    EXPECT_TRUE(store_.ReadAll(path, bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(LoadDataFile(store_, path).startup_password, "");
}

TEST_F(Win32FileStoreTest, SaveDataFileReplacesAndLoadsBack) {
    const std::string path = folder_ + "ms.ini";
    ServerList list;
    list.Append(ServerEntry{"127.0.0.1", "3389", "Administrator", "", "\xB1\xB8\xD7\xA2", {}});
    ASSERT_TRUE(SaveDataFile(store_, path, list, StartMode{false, true}, "pw"));
    ASSERT_TRUE(SaveDataFile(store_, path, list, StartMode{false, true}, "pw2"));
    EXPECT_FALSE(PathExists(path + ".new"));
    const LoadedData loaded = LoadDataFile(store_, path);
    EXPECT_EQ(loaded.startup_password, "pw2");
    EXPECT_EQ(ParseDataText(loaded.plain).servers.At(1).remark, "\xB1\xB8\xD7\xA2");
}

TEST_F(Win32FileStoreTest, SaveIntoMissingFolderFailsAndWritesNothing) {
    const std::string path = folder_ + "missing\\ms.ini";
    EXPECT_FALSE(SaveDataFile(store_, path, ServerList(), StartMode{}, ""));
    EXPECT_FALSE(PathExists(path));
}

TEST_F(Win32FileStoreTest, ReadOnlyTargetKeepsItsContent) {
    const std::string path = folder_ + "ms.ini";
    ASSERT_TRUE(store_.WriteAll(path, "old"));
    ASSERT_TRUE(::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_READONLY));
    SaveDataFile(store_, path, ServerList(), StartMode{}, "");
    ::SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string bytes;
    ASSERT_TRUE(store_.ReadAll(path, bytes));
    // Either the save went through whole or the old file is untouched.
    EXPECT_TRUE(bytes == "old" || bytes.size() == 36u) << bytes.size();
    EXPECT_FALSE(PathExists(path + ".new"));
}

TEST(AppDataFolderTest, DataFolderIsUnderTheShellFolder) {
    const std::optional<std::string> app_data = AppDataFolder();
    ASSERT_TRUE(app_data.has_value());
    EXPECT_TRUE(PathExists(*app_data));
    const std::string folder = DataFolderFrom(app_data);
    EXPECT_EQ(folder.rfind("\\Tessoral\\"), folder.size() - 10);
    EXPECT_EQ(folder.find(*app_data), 0u);
}

}  // namespace
}  // namespace tessoral::win32
