// The launch's platform parts against the real system: the protected
// password, the connection file's name on disk, the LocalDevices value and
// the process start.
#include <windows.h>
#include <shellapi.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/connection_file.h"
#include "core/launch_options.h"
#include "platform/win32/data_protection.h"
#include "platform/win32/file_store.h"
#include "platform/win32/handle.h"
#include "platform/win32/process.h"
#include "platform/win32/registry.h"
#include "platform/win32/text_convert.h"

namespace tessoral::win32 {
namespace {

constexpr const wchar_t* kEchoVariable = L"TESSORAL_TEST_ECHO_COMMAND_LINE";

// Started by the process test, this program does nothing but put the
// command line it was given into the file the variable names, before any
// test runs, and end.
const bool kEchoedCommandLine = [] {
    wchar_t target[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(kEchoVariable, target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    const std::wstring done = target;
    const std::wstring part = done + L".part";
    const wchar_t* line = ::GetCommandLineW();
    UniqueFile file(::CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    ::WriteFile(file.Get(), line, static_cast<DWORD>(::lstrlenW(line) * sizeof(wchar_t)), &wrote,
                nullptr);
    file.Reset();
    // Whole or not there: the test waits for the final name.
    ::MoveFileW(part.c_str(), done.c_str());
    ::ExitProcess(0);
}();

// A fresh folder under the temporary one, with a space and Chinese in its
// name as a user's profile folder may have.
class TempFolder {
public:
    TempFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path_ = Narrow(temp) + "tessoral \xC1\xAC\xBD\xD3 " +
                std::to_string(::GetCurrentProcessId()) + "\\";
        CreateFolder(path_);
    }
    ~TempFolder() {
        for (const std::string& name : Names()) ::DeleteFileW(Widen(path_ + name).c_str());
        ::RemoveDirectoryW(Widen(path_).c_str());
    }
    const std::string& path() const { return path_; }

    // The names the file system holds, as it spells them.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found;
        UniqueFind search(::FindFirstFileW(Widen(path_ + "*").c_str(), &found));
        if (!search) return names;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") names.push_back(Narrow(name));
        } while (::FindNextFileW(search.Get(), &found));
        return names;
    }

private:
    std::string path_;
};

using CryptUnprotectDataFn = BOOL(WINAPI*)(DATA_BLOB*, LPWSTR*, DATA_BLOB*, PVOID,
                                           CRYPTPROTECT_PROMPTSTRUCT*, DWORD, DATA_BLOB*);

std::string Unhex(const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

TEST(DataProtectionTest, BlobUnprotectsToTheBlockWithTheUtf16Password) {
    Win32PasswordProtector protector;
    const std::string password = "\xC3\xDC\xC2\xEB pw";  // "密码 pw"
    const std::optional<std::string> hex = ProtectPassword(password, protector);
    ASSERT_TRUE(hex.has_value());
    ASSERT_GT(hex->size(), 1u);
    EXPECT_EQ(hex->size() % 2, 1u);
    EXPECT_EQ(hex->back(), '0');
    EXPECT_EQ(hex->find_first_not_of("0123456789ABCDEF"), std::string::npos);

    const HMODULE crypt32 = ::LoadLibraryW(L"crypt32.dll");
    ASSERT_NE(crypt32, nullptr);
    const auto unprotect = reinterpret_cast<CryptUnprotectDataFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(crypt32, "CryptUnprotectData")));
    ASSERT_NE(unprotect, nullptr);
    std::string blob = Unhex(*hex);
    DATA_BLOB in{static_cast<DWORD>(blob.size()), reinterpret_cast<BYTE*>(blob.data())};
    DATA_BLOB out{0, nullptr};
    LPWSTR description = nullptr;
    ASSERT_TRUE(unprotect(&in, &description, nullptr, nullptr, nullptr, 0, &out));
    const std::string block(reinterpret_cast<const char*>(out.pbData), out.cbData);
    const std::wstring described = description ? description : L"";
    ::LocalFree(out.pbData);
    ::LocalFree(description);

    EXPECT_EQ(described, L"psw");
    std::string expected(512, '\0');
    const wchar_t units[] = {0x5BC6, 0x7801, L' ', L'p', L'w'};
    for (size_t i = 0; i < 5; ++i) {
        expected[2 * i] = static_cast<char>(units[i] & 0xFF);
        expected[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    EXPECT_EQ(block, expected);
}

class ConnectionFileOnDiskTest : public ::testing::TestWithParam<const char*> {};

// Whatever the remark, the file is created under exactly the name the path
// gives, so the client finds it by that path.
TEST_P(ConnectionFileOnDiskTest, NameOnDiskIsThePathsName) {
    TempFolder folder;
    Win32FileStore files;
    const ServerEntry entry{"10.0.0.5", "3389", "a", "", GetParam(), {}};
    const std::string path = ConnectionFilePath(folder.path(), entry);
    const std::string text = ConnectionTemplate(false);
    ASSERT_TRUE(WriteConnectionFile(files, path, text));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{path.substr(folder.path().size())});
    std::string bytes;
    ASSERT_TRUE(files.ReadAll(path, bytes));
    EXPECT_EQ(bytes, text);
}

INSTANTIATE_TEST_SUITE_P(
    Remarks, ConnectionFileOnDiskTest,
    ::testing::Values("office", "\xCC\xEE\xD0\xB4\xB1\xB8\xD7\xA2", "", "...",
                      "a:b*c?d\"e<f>g|h/i\\j", "line1\r\nline2", "office. ", "CON", "nul.txt",
                      "com1", "LPT9.rdp", "aux .x", "ms.ini", "\xB1\x5C\xB1\x7C", "ab\xB1",
                      "\x80\xFF", "\x81:", "x\" /admin \"y",
                      "a very long remark, as notes tend to be, a very long remark, as notes "
                      "tend to be, a very long remark, as notes tend to be, a very long remark, "
                      "as notes tend to be, a very long remark, as notes tend to be, a very long "
                      "remark, as notes tend to be, a very long remark, as notes tend to be."));

TEST(ConnectionFileRewriteTest, SecondWriteReplacesTheWholeFile) {
    TempFolder folder;
    Win32FileStore files;
    const std::string path = folder.path() + "office";
    ASSERT_TRUE(WriteConnectionFile(files, path, std::string(2000, 'x')));
    ASSERT_TRUE(WriteConnectionFile(files, path, "short"));
    std::string bytes;
    ASSERT_TRUE(files.ReadAll(path, bytes));
    EXPECT_EQ(bytes, "short");
}

// Under a key of its own, so the prefix's real LocalDevices key stays as it is.
class LocalDevicesRegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Widen(base_).c_str());
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TessoralTest");
    }

    // Type and data of a value of the test key; type 0 when it is missing.
    std::pair<DWORD, std::string> Read(const std::string& name) const {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Widen(key_).c_str(), 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return {0, {}};
        }
        DWORD type = 0;
        BYTE data[64] = {};
        DWORD size = sizeof data;
        const LONG error =
            ::RegQueryValueExW(key, Widen(name).c_str(), nullptr, &type, data, &size);
        ::RegCloseKey(key);
        if (error != ERROR_SUCCESS) return {0, {}};
        return {type, std::string(reinterpret_cast<const char*>(data), size)};
    }

    void Put(const std::string& name, DWORD type, const std::string& data) const {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Widen(key_).c_str(), 0, nullptr, 0,
                                    KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, Widen(name).c_str(), 0, type,
                         reinterpret_cast<const BYTE*>(data.data()),
                         static_cast<DWORD>(data.size()));
        ::RegCloseKey(key);
    }

    const std::string base_ =
        "Software\\TessoralTest\\" + std::to_string(::GetCurrentProcessId());
    const std::string key_ = base_ + "\\LocalDevices";
    Win32Registry registry_;
};

const std::string kDword76("\x4C\0\0\0", 4);

TEST_F(LocalDevicesRegistryTest, WrittenOnceIntoANewKey) {
    EXPECT_EQ(MarkLocalDevices(registry_, "10.0.0.5", key_), Registry::Mark::kWritten);
    EXPECT_EQ(Read("10.0.0.5"), std::make_pair(DWORD{REG_DWORD}, kDword76));
    Put("10.0.0.5", REG_DWORD, std::string("\x05\0\0\0", 4));
    EXPECT_EQ(MarkLocalDevices(registry_, "10.0.0.5", key_), Registry::Mark::kPresent);
    EXPECT_EQ(Read("10.0.0.5").second, std::string("\x05\0\0\0", 4));
}

TEST_F(LocalDevicesRegistryTest, ExistingValueOfAnyTypeIsLeftAlone) {
    const std::string text("k\0e\0e\0p\0\0\0", 10);
    Put("text", REG_SZ, text);
    Put("binary", REG_BINARY, "\x01\x02");
    Put("empty", REG_BINARY, "");
    for (const char* host : {"text", "binary", "empty"}) {
        EXPECT_EQ(MarkLocalDevices(registry_, host, key_), Registry::Mark::kPresent) << host;
    }
    EXPECT_EQ(Read("text"), std::make_pair(DWORD{REG_SZ}, text));
    EXPECT_EQ(Read("binary"), std::make_pair(DWORD{REG_BINARY}, std::string("\x01\x02")));
    EXPECT_EQ(Read("empty"), std::make_pair(DWORD{REG_BINARY}, std::string()));
}

TEST_F(LocalDevicesRegistryTest, HostEndingInByte5CIsOneValueName) {
    const std::string host = "\xB7\xFE\xB1\x5C";  // ends in a character whose second byte is 0x5C
    EXPECT_EQ(MarkLocalDevices(registry_, host, key_), Registry::Mark::kWritten);
    EXPECT_EQ(Read(host), std::make_pair(DWORD{REG_DWORD}, kDword76));
    EXPECT_EQ(Read("").first, 0u) << "nothing went to the default value";
}

TEST_F(LocalDevicesRegistryTest, EmptyHostMarksTheDefaultValue) {
    EXPECT_EQ(MarkLocalDevices(registry_, "", key_), Registry::Mark::kWritten);
    EXPECT_EQ(Read(""), std::make_pair(DWORD{REG_DWORD}, kDword76));
    EXPECT_EQ(MarkLocalDevices(registry_, "", key_), Registry::Mark::kPresent);
}

TEST(ProcessLauncherTest, ChildGetsExactlyTheCommandLine) {
    ASSERT_FALSE(kEchoedCommandLine);
    TempFolder folder;
    const std::string echo = folder.path() + "echo";
    wchar_t self[MAX_PATH];
    ASSERT_NE(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);

    // The client's line, with this program in the client's place.
    const std::string connection = folder.path() + "my office";
    const std::string client_line = LaunchCommandLine(connection, "/console /w:1024 /h:768");
    const std::string line =
        "\"" + Narrow(self) + "\"" + client_line.substr(kClientProgram.size());

    ::SetEnvironmentVariableW(kEchoVariable, Widen(echo).c_str());
    Win32ProcessLauncher launcher;
    const uint32_t error = launcher.Start(line);
    ::SetEnvironmentVariableW(kEchoVariable, nullptr);
    ASSERT_EQ(error, 0u);

    Win32FileStore files;
    std::string bytes;
    for (int i = 0; i < 200 && !files.ReadAll(echo, bytes); ++i) ::Sleep(50);
    const std::wstring received(reinterpret_cast<const wchar_t*>(bytes.data()),
                                bytes.size() / sizeof(wchar_t));
    EXPECT_EQ(received, Widen(line));

    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(received.c_str(), &count);
    ASSERT_NE(arguments, nullptr);
    std::vector<std::wstring> argv(arguments, arguments + count);
    ::LocalFree(arguments);
    EXPECT_EQ(argv, (std::vector<std::wstring>{self, Widen(connection), L"/console", L"/w:1024",
                                               L"/h:768"}));
}

TEST(ProcessLauncherTest, MissingProgramGivesTheSystemsError) {
    Win32ProcessLauncher launcher;
    EXPECT_EQ(launcher.Start("tessoral-no-such-program.exe /console"),
              static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace tessoral::win32
