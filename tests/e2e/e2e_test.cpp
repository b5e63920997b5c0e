// The real Tessoral.exe, started and driven from outside as a user would:
// start-up with and without a data file, the sign-in window, a second copy,
// the keys Enter and Esc, and the probes' results in the server list and a
// close while thousands of them are outstanding. Probes reach loopback only.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/data_file.h"
#include "core/rc4.h"
#include "platform/win32/window.h"
#include "tests/e2e/driver.h"
#include "ui/layouts.h"

namespace tessoral::e2e {
namespace {

using win32::ControlId;

constexpr wchar_t kMainTitle[] = L"Tessoral V6.0";
constexpr wchar_t kSignInTitle[] = L"身份验证 (Authentication)";
constexpr wchar_t kWrongPasswordText[] = L"密码错误";
constexpr wchar_t kWrongPasswordTitle[] = L"错误";
constexpr wchar_t kRunningTwiceText[] = L"貌似重复运行了!";
constexpr wchar_t kRunningTwiceTitle[] = L"提示";

constexpr int kPasswordBox = ControlId(ui::sign_in::kPassword);
constexpr int kOkButton = ControlId(ui::sign_in::kOk);
constexpr int kCancelButton = ControlId(ui::sign_in::kCancel);
constexpr int kServerList = ControlId(ui::main_window::kServerList);
constexpr int kConnectButton = ControlId(ui::main_window::kConnect);

// What a first run leaves behind: no servers, the admin radio on, no password.
constexpr char kFreshDataText[] = "#admin:1\r\n#Start:1\r\n#Start:0\r\n#LoadinPass:<>\r\n";
constexpr size_t kFreshDataSize = 46;

constexpr char kStartupPassword[] = "s3cret";
constexpr wchar_t kStartupPasswordWide[] = L"s3cret";

ServerList OneServer() {
    ServerList servers;
    servers.Append(ServerEntry{"127.0.0.1", "3389", "Administrator", "pw", "备注"});
    return servers;
}

// The plain text of a data file with one server and a start-up password;
// the admin mark matches the main window's own, so a save writes it back
// byte for byte.
std::string PasswordDataText() {
    return BuildDataText(OneServer(), StartMode{false, true}, kStartupPassword);
}

std::string Decipher(const std::string& bytes) { return Rc4Transform(bytes, kDataFileKey); }

std::string ReadDataFile() { return ReadBytes(DataFile()).value_or(std::string()); }

void WritePasswordFile() {
    ASSERT_TRUE(WriteBytes(DataFile(), Rc4Transform(PasswordDataText(), kDataFileKey)));
}

// Starts Tessoral.exe and waits for the first window it shows, which must
// be the one titled `title`.
void StartAndExpect(Process& program, const wchar_t* title, HWND& window) {
    ASSERT_TRUE(program.Start(TessoralExe())) << "cannot start the program, error "
                                              << ::GetLastError();
    window = WaitForFirstWindow(program.Id(), kStartTimeout);
    ASSERT_NE(window, nullptr) << "no window within the start-up time";
    ASSERT_EQ(TextOf(window), title) << "class " << ClassOf(window);
}

// Waits for the program to end, and tells whether a main window showed up
// meanwhile.
void WaitEndWithoutMainWindow(Process& program, bool& saw_main_window) {
    saw_main_window = false;
    const bool ended = PollUntil(
        [&] {
            if (FindWindowOf(program.Id(), kMainTitle)) saw_main_window = true;
            return !program.Running();
        },
        kStepTimeout);
    ASSERT_TRUE(ended) << "the program is still running";
}

void ExpectMessageBox(HWND box, const wchar_t* text, const wchar_t* title) {
    ASSERT_NE(box, nullptr) << "no message box";
    EXPECT_EQ(MessageBoxText(box), text);
    EXPECT_EQ(TextOf(box), title);
}

void CloseMainWindow(Process& program, HWND main) {
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = program.WaitExit(kStepTimeout);
    ASSERT_TRUE(code.has_value()) << "the program did not end after WM_CLOSE";
    EXPECT_EQ(*code, 0u);
}

// Each run starts and ends with no files of the program in the data folder.
class TessoralRun : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDataFolder();
        ASSERT_FALSE(FileExists(DataFile())) << "cannot clear the data folder";
    }
    void TearDown() override { ClearDataFolder(); }
};

// ---- start-up without a data file ---------------------------------------------

TEST_F(TessoralRun, WithoutDataFileShowsMainWindowAndSavesDefaultsOnClose) {
    Process program;
    HWND main = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(program, kMainTitle, main));
    EXPECT_TRUE(AllWindowsOf(program.Id(), kSignInTitle).empty());
    EXPECT_FALSE(FileExists(DataFile())) << "saved before the window was closed";

    ASSERT_NO_FATAL_FAILURE(CloseMainWindow(program, main));
    const std::optional<std::string> bytes = ReadBytes(DataFile());
    ASSERT_TRUE(bytes.has_value()) << "no data file after closing";
    EXPECT_EQ(bytes->size(), kFreshDataSize);
    EXPECT_EQ(Decipher(*bytes), kFreshDataText);
    EXPECT_FALSE(FileExists(DataFile() + L".new"));
}

// ---- the sign-in window -----------------------------------------------------

TEST_F(TessoralRun, SignInRejectsWrongPasswordsThenOpensMainWindow) {
    ASSERT_NO_FATAL_FAILURE(WritePasswordFile());
    Process program;
    HWND sign_in = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(program, kSignInTitle, sign_in));
    EXPECT_TRUE(AllWindowsOf(program.Id(), kMainTitle).empty());
    HWND password = Control(sign_in, kPasswordBox);
    ASSERT_NE(password, nullptr);

    // Near misses as well as plain wrong ones: the check is exact.
    const std::wstring wrong_passwords[] = {L"", L"wrong", L"s3cre", L"S3CRET", L"s3cret!",
                                            L" s3cret"};
    for (const std::wstring& wrong : wrong_passwords) {
        SCOPED_TRACE(testing::Message() << "typed \"" << wrong << "\"");
        SetText(password, wrong);
        ASSERT_EQ(TextLength(password), static_cast<int>(wrong.size()));
        Click(sign_in, kOkButton);
        HWND box = WaitForMessageBox(program.Id(), kStepTimeout);
        ASSERT_NO_FATAL_FAILURE(ExpectMessageBox(box, kWrongPasswordText, kWrongPasswordTitle));
        AnswerMessageBox(box);
        ASSERT_TRUE(WaitGone(box, kStepTimeout)) << "the message box stays";
        EXPECT_TRUE(PollUntil([&] { return TextLength(password) == 0; }, kStepTimeout))
            << "the password box keeps " << TextLength(password) << " characters";
        EXPECT_TRUE(::IsWindowVisible(sign_in));
        EXPECT_TRUE(AllWindowsOf(program.Id(), kMainTitle).empty());
    }

    SetText(password, kStartupPasswordWide);
    Click(sign_in, kOkButton);
    ASSERT_TRUE(WaitGone(sign_in, kStepTimeout)) << "the sign-in window stays";
    HWND main = WaitForWindow(program.Id(), kMainTitle, kStepTimeout);
    ASSERT_NE(main, nullptr) << "no main window after the right password";
    HWND list = Control(main, kServerList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ClassOf(list), L"SysListView32");
    EXPECT_EQ(Send(list, LVM_GETITEMCOUNT), 1);

    ASSERT_NO_FATAL_FAILURE(CloseMainWindow(program, main));
    const std::string plain = Decipher(ReadDataFile());
    EXPECT_EQ(plain, PasswordDataText());
    EXPECT_EQ(StartupPasswordOf(plain), kStartupPassword);
    const ParsedData parsed = ParseDataText(plain);
    ASSERT_EQ(parsed.servers.Count(), 1);
    EXPECT_EQ(parsed.servers.At(1).host, "127.0.0.1");
    EXPECT_EQ(parsed.servers.At(1).remark, "备注");
}

// Every way out of the sign-in window ends the program untouched.
struct LeaveCase {
    const char* name;
    std::function<void(HWND sign_in)> leave;
};

void PrintTo(const LeaveCase& c, std::ostream* out) { *out << c.name; }

class LeavingSignIn : public TessoralRun, public testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavingSignIn, EndsProgramAndKeepsDataFile) {
    ASSERT_NO_FATAL_FAILURE(WritePasswordFile());
    const std::string before = ReadDataFile();
    Process program;
    HWND sign_in = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(program, kSignInTitle, sign_in));

    GetParam().leave(sign_in);
    bool saw_main_window = false;
    ASSERT_NO_FATAL_FAILURE(WaitEndWithoutMainWindow(program, saw_main_window));
    EXPECT_FALSE(saw_main_window);
    EXPECT_EQ(program.WaitExit(Millis(0)), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDataFile(), before);
    EXPECT_FALSE(FileExists(DataFile() + L".new"));
}

void PressEscapeIn(HWND sign_in) {
    ASSERT_TRUE(BringToFront(sign_in, kStepTimeout)) << "cannot bring the window forward";
    ASSERT_TRUE(WaitForFocus(sign_in, Control(sign_in, kPasswordBox), kStepTimeout))
        << "the password box has no focus";
    PressKey(VK_ESCAPE);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, LeavingSignIn,
    testing::Values(
        LeaveCase{"CancelButton", [](HWND w) { Click(w, kCancelButton); }},
        LeaveCase{"CloseMessage", [](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); }},
        LeaveCase{"EscapeKey", [](HWND w) { PressEscapeIn(w); }}),
    [](const testing::TestParamInfo<LeaveCase>& run) { return std::string(run.param.name); });

// ---- a second copy --------------------------------------------------------------

struct SecondCopyCase {
    const char* name;
    bool password_file;  // the first copy then waits at its sign-in window
};

void PrintTo(const SecondCopyCase& c, std::ostream* out) { *out << c.name; }

class SecondCopy : public TessoralRun, public testing::WithParamInterface<SecondCopyCase> {};

TEST_P(SecondCopy, IsTurnedAwayAndFirstKeepsRunning) {
    const bool at_sign_in = GetParam().password_file;
    if (at_sign_in) {
        ASSERT_NO_FATAL_FAILURE(WritePasswordFile());
    }
    const std::optional<std::string> before = ReadBytes(DataFile());
    const wchar_t* first_title = at_sign_in ? kSignInTitle : kMainTitle;

    Process first;
    HWND first_window = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(first, first_title, first_window));

    Process second;
    ASSERT_TRUE(second.Start(TessoralExe()));
    HWND box = WaitForFirstWindow(second.Id(), kStartTimeout);
    ASSERT_NE(box, nullptr) << "the second copy shows nothing";
    EXPECT_EQ(ClassOf(box), kDialogClass);
    ASSERT_NO_FATAL_FAILURE(ExpectMessageBox(box, kRunningTwiceText, kRunningTwiceTitle));
    EXPECT_TRUE(WindowsOf(second.Id(), nullptr, kMainTitle).empty());
    EXPECT_TRUE(WindowsOf(second.Id(), nullptr, kSignInTitle).empty());

    AnswerMessageBox(box);
    const std::optional<DWORD> code = second.WaitExit(kStepTimeout);
    ASSERT_TRUE(code.has_value()) << "the second copy keeps running";
    EXPECT_EQ(*code, 0u);

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(::IsWindow(first_window) && ::IsWindowVisible(first_window));
    EXPECT_EQ(FindWindowOf(first.Id(), first_title), first_window);
    EXPECT_EQ(ReadBytes(DataFile()), before) << "the second copy touched the data file";

    if (at_sign_in) {
        Click(first_window, kCancelButton);
        EXPECT_EQ(first.WaitExit(kStepTimeout), std::optional<DWORD>(0));
    } else {
        ASSERT_NO_FATAL_FAILURE(CloseMainWindow(first, first_window));
        EXPECT_EQ(ReadDataFile().size(), kFreshDataSize);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FirstCopy, SecondCopy,
    testing::Values(SecondCopyCase{"AtMainWindow", false}, SecondCopyCase{"AtSignIn", true}),
    [](const testing::TestParamInfo<SecondCopyCase>& run) { return std::string(run.param.name); });

// ---- the keyboard ---------------------------------------------------------------

// The user types a wrong password, presses Enter, and answers the error box
// with Enter as well.
void MistypeAtSignIn(Process& program, HWND& sign_in, HWND& password) {
    ASSERT_NO_FATAL_FAILURE(WritePasswordFile());
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(program, kSignInTitle, sign_in));
    password = Control(sign_in, kPasswordBox);
    ASSERT_TRUE(BringToFront(sign_in, kStepTimeout));
    ASSERT_TRUE(WaitForFocus(sign_in, password, kStepTimeout)) << "the password box has no focus";

    TypeText(L"wrong");
    ASSERT_TRUE(PollUntil([&] { return TextLength(password) == 5; }, kStepTimeout))
        << "the typing did not reach the password box";
    PressKey(VK_RETURN);
    HWND box = WaitForMessageBox(program.Id(), kStepTimeout);
    ASSERT_NO_FATAL_FAILURE(
        ExpectMessageBox(box, kWrongPasswordText, kWrongPasswordTitle));

    ASSERT_TRUE(BringToFront(box, kStepTimeout));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitGone(box, kStepTimeout)) << "Enter did not answer the message box";
    EXPECT_TRUE(PollUntil([&] { return TextLength(password) == 0; }, kStepTimeout));
    EXPECT_TRUE(::IsWindowVisible(sign_in));
    EXPECT_TRUE(AllWindowsOf(program.Id(), kMainTitle).empty());
}

TEST_F(TessoralRun, KeyboardSignInEnterRejectsWrongPasswordThenEscEnds) {
    Process program;
    HWND sign_in = nullptr;
    HWND password = nullptr;
    ASSERT_NO_FATAL_FAILURE(MistypeAtSignIn(program, sign_in, password));
    const std::string before = ReadDataFile();

    ASSERT_TRUE(BringToFront(sign_in, kStepTimeout));
    PressKey(VK_ESCAPE);
    bool saw_main_window = false;
    ASSERT_NO_FATAL_FAILURE(WaitEndWithoutMainWindow(program, saw_main_window));
    EXPECT_FALSE(saw_main_window);
    EXPECT_EQ(program.WaitExit(Millis(0)), std::optional<DWORD>(0));
    EXPECT_EQ(ReadDataFile(), before);
}

TEST_F(TessoralRun, KeyboardSignInTypingAgainAfterErrorReachesPasswordBox) {
    Process program;
    HWND sign_in = nullptr;
    HWND password = nullptr;
    ASSERT_NO_FATAL_FAILURE(MistypeAtSignIn(program, sign_in, password));

    ASSERT_TRUE(BringToFront(sign_in, kStepTimeout));
    ASSERT_TRUE(WaitForFocus(sign_in, password, kStepTimeout))
        << "after the error box the focus is not back in the password box";
    TypeText(kStartupPasswordWide);
    ASSERT_TRUE(PollUntil([&] { return TextLength(password) == 6; }, kStepTimeout));
    PressKey(VK_RETURN);
    HWND main = WaitForWindow(program.Id(), kMainTitle, kStepTimeout);
    ASSERT_NE(main, nullptr) << "Enter with the right password did not open the main window";
    EXPECT_FALSE(::IsWindow(sign_in));
    ASSERT_NO_FATAL_FAILURE(CloseMainWindow(program, main));
}

TEST_F(TessoralRun, KeyboardMainWindowIgnoresEnterAndEsc) {
    Process program;
    HWND main = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(program, kMainTitle, main));
    EXPECT_FALSE(::IsWindowEnabled(Control(main, kConnectButton)));
    ASSERT_TRUE(BringToFront(main, kStepTimeout));
    HWND focus = nullptr;
    ASSERT_TRUE(PollUntil([&] { return (focus = FocusOf(main)) != nullptr; }, kStepTimeout));

    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    // Keys are handled in order: once Tab has moved the focus, Enter and Esc
    // have had their turn.
    PressKey(VK_TAB);
    ASSERT_TRUE(PollUntil([&] { return FocusOf(main) != focus; }, kStepTimeout))
        << "Tab did not move the focus";

    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(WindowsOf(program.Id()), std::vector<HWND>{main}) << "something else opened";
    EXPECT_FALSE(FileExists(DataFile())) << "Esc saved as if the window had closed";
    ASSERT_NO_FATAL_FAILURE(CloseMainWindow(program, main));
}

// ---- the reachability probe, on loopback only ------------------------------------

constexpr wchar_t kOnlineText[] = L"在线";
constexpr wchar_t kOfflineText[] = L"离线";
constexpr wchar_t kUnknownText[] = L"...";
constexpr int kStatusColumn = 3;
// State images of the list view: 0 green, 1 red, 2 yellow.
constexpr int kGreen = 0;
constexpr int kRed = 1;
constexpr int kYellow = 2;

std::wstring FromCp936(const std::string& text) {
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    ::MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The same digits, full width, as code page 936 bytes.
std::string FullWidthDigits(const std::string& digits) {
    std::string wide;
    for (char d : digits) {
        wide += '\xA3';
        wide += static_cast<char>(0xB0 + (d - '0'));
    }
    return wide;
}

// The admin mark matches the main window's own, so a save gives back the
// same text.
std::string ServersDataText(const ServerList& servers) {
    return BuildDataText(servers, StartMode{false, true}, "");
}

void WriteServersFile(const ServerList& servers) {
    ASSERT_TRUE(WriteBytes(DataFile(), Rc4Transform(ServersDataText(servers), kDataFileKey)));
}

// Starts the program on the data file and waits for its main window.
void StartWithServers(Process& program, HWND& main, HWND& list) {
    ASSERT_NO_FATAL_FAILURE(StartAndExpect(program, kMainTitle, main));
    list = Control(main, kServerList);
    ASSERT_NE(list, nullptr);
}

ServerEntry Server(std::string host, std::string port, std::string account) {
    return ServerEntry{std::move(host), std::move(port), account, "pw", account};
}

struct ProbeRow {
    ServerEntry entry;
    const wchar_t* status_text;
    int picture;
};

TEST_F(TessoralRun, ProbeShowsEachRowsOwnResultWithItsPicture) {
    LoopbackListener listening(LoopbackListener::Kind::Accepting);
    LoopbackListener hanging(LoopbackListener::Kind::Hanging);
    ASSERT_TRUE(listening.Ready());
    ASSERT_TRUE(hanging.Ready()) << "connects to a full backlog do not hang here";
    const uint16_t closed = ClosedLoopbackPort();
    ASSERT_NE(closed, 0);
    const std::string port = std::to_string(listening.Port());

    const std::vector<ProbeRow> rows = {
        {Server("127.0.0.1", port, "listening"), kOnlineText, kGreen},
        {Server("127.0.0.1", std::to_string(closed), "closed"), kOfflineText, kRed},
        // Never tried: the listener below counts what reached it.
        {Server("", port, "no host"), kOfflineText, kRed},
        {Server("127.0.0.1", port + "abc", "digits, then letters"), kOnlineText, kGreen},
        {Server("127.0.0.1", FullWidthDigits(port), "full width"), kOnlineText, kGreen},
        {Server("127.0.0.1", std::to_string(listening.Port() + 65536), "above 65535"),
         kOnlineText, kGreen},
        // The listener has 127.0.0.1 alone: the address is used as written.
        {Server("127.0.0.2", port, "other loopback"), kOfflineText, kRed},
        // No answer yet: the row keeps the status it was loaded with.
        {Server("127.0.0.1", std::to_string(hanging.Port()), "hanging"), kUnknownText, kYellow},
    };
    const int online_rows = 4;
    ServerList servers;
    for (const ProbeRow& row : rows) servers.Append(row.entry);
    ASSERT_NO_FATAL_FAILURE(WriteServersFile(servers));

    Process program;
    HWND main = nullptr;
    HWND list = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithServers(program, main, list));
    RemoteListView view(program.Handle(), list);
    ASSERT_TRUE(view.Ready()) << "no buffer in the program, error " << ::GetLastError();
    ASSERT_EQ(view.RowCount(), static_cast<int>(rows.size()));

    const int count = static_cast<int>(rows.size());
    const bool settled = PollUntil(
        [&] {
            for (int r = 0; r < count; ++r) {
                if (rows[r].status_text != std::wstring(kUnknownText) &&
                    view.Text(r, kStatusColumn) == kUnknownText) {
                    return false;
                }
            }
            return true;
        },
        kStepTimeout);
    EXPECT_TRUE(settled) << "some rows never got their result";
    for (int r = 0; r < count; ++r) {
        const ServerEntry& entry = rows[r].entry;
        SCOPED_TRACE(testing::Message() << "row " << r << " (" << entry.account << ")");
        EXPECT_EQ(view.Text(r, 0), FromCp936(entry.host));
        EXPECT_EQ(view.Text(r, 1), FromCp936(entry.port)) << "the port as typed";
        EXPECT_EQ(view.Text(r, 2), FromCp936(entry.account));
        EXPECT_EQ(view.Text(r, kStatusColumn), rows[r].status_text);
        EXPECT_EQ(view.StateImage(r), rows[r].picture);
    }

    // One connection per online row, each closed by the program with
    // nothing sent; the empty host reached nobody.
    const LoopbackListener::Accepted accepted = listening.AcceptWaiting();
    EXPECT_EQ(accepted.connections, online_rows);
    EXPECT_EQ(accepted.closed_without_data, online_rows);

    ASSERT_NO_FATAL_FAILURE(CloseMainWindow(program, main));
    EXPECT_EQ(Decipher(ReadDataFile()), ServersDataText(servers)) << "the status is never saved";
}

// ---- closing while thousands of probes are outstanding ------------------------------

constexpr int kLoadServers = 3000;
constexpr int kHangingListeners = 4;
// Every hundredth server is on a closed port: its result tells how far the
// pass has come.
constexpr int kMarkerEvery = 100;
constexpr int kMarkerPosition = 900;

struct LoadCase {
    const char* name;
    bool wait_for_marker;  // close only once the pass has reached kMarkerPosition
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class ClosingUnderLoad : public TessoralRun, public testing::WithParamInterface<LoadCase> {};

TEST_P(ClosingUnderLoad, SavesEveryServerAndEndsAtOnce) {
    std::vector<std::unique_ptr<LoopbackListener>> hanging;
    for (int i = 0; i < kHangingListeners; ++i) {
        hanging.push_back(std::make_unique<LoopbackListener>(LoopbackListener::Kind::Hanging));
        ASSERT_TRUE(hanging.back()->Ready()) << "connects to a full backlog do not hang here";
    }
    const uint16_t closed = ClosedLoopbackPort();
    ASSERT_NE(closed, 0);
    ServerList servers;
    for (int p = 1; p <= kLoadServers; ++p) {
        const uint16_t port = p % kMarkerEvery == 0 ? closed : hanging[p % kHangingListeners]->Port();
        servers.Append(ServerEntry{"127.0.0.1", std::to_string(port), "user" + std::to_string(p),
                                   "pw" + std::to_string(p), "server " + std::to_string(p)});
    }
    ASSERT_NO_FATAL_FAILURE(WriteServersFile(servers));

    Process program;
    HWND main = nullptr;
    HWND list = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithServers(program, main, list));
    RemoteListView view(program.Handle(), list);
    ASSERT_TRUE(view.Ready());
    ASSERT_EQ(view.RowCount(), kLoadServers);

    if (GetParam().wait_for_marker) {
        ASSERT_TRUE(PollUntil([&] { return view.Text(kMarkerPosition - 1, kStatusColumn) ==
                                           kOfflineText; },
                              kStepTimeout))
            << "the pass never reached server " << kMarkerPosition;
        // Everything before the marker is connecting still, and the window
        // answers meanwhile.
        EXPECT_EQ(view.Text(0, kStatusColumn), kUnknownText);
        EXPECT_EQ(view.Text(kMarkerPosition - 2, kStatusColumn), kUnknownText);
        const auto asked = std::chrono::steady_clock::now();
        DWORD_PTR answer = 0;
        EXPECT_NE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0)
            << "the main window does not answer under load";
        std::printf("    main window answered in %.1f ms with the pass under way\n",
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                              asked)
                        .count());
    }

    const auto closing = std::chrono::steady_clock::now();
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = program.WaitExit(Millis(10000));
    const double took =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - closing)
            .count();
    ASSERT_TRUE(code.has_value()) << "still running 10 s after WM_CLOSE";
    EXPECT_EQ(*code, 0u) << "the program did not end cleanly";
    std::printf("    %d servers, closed %s: ended %.0f ms after WM_CLOSE\n", kLoadServers,
                GetParam().name, took);

    const std::string plain = Decipher(ReadDataFile());
    EXPECT_EQ(plain, ServersDataText(servers));
    const ParsedData parsed = ParseDataText(plain);
    ASSERT_EQ(parsed.servers.Count(), kLoadServers);
    EXPECT_EQ(parsed.servers.At(kLoadServers).remark, "server " + std::to_string(kLoadServers));
    EXPECT_FALSE(FileExists(DataFile() + L".new"));
}

INSTANTIATE_TEST_SUITE_P(
    Probes, ClosingUnderLoad,
    testing::Values(LoadCase{"RightAfterStart", false}, LoadCase{"WithSocketsInFlight", true}),
    [](const testing::TestParamInfo<LoadCase>& run) { return std::string(run.param.name); });

}  // namespace
}  // namespace tessoral::e2e
