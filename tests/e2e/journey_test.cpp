// A user's session with the real Tessoral.exe: servers added, edited and
// deleted through the windows, a start-up password set, and everything found
// again in ms.ini and at the next start; then the resolution choice, which
// must survive the program being killed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

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
namespace mw = ui::main_window;
namespace sd = ui::server_dialog;
namespace ps = ui::password_setup;

constexpr wchar_t kMainTitle[] = L"Tessoral V6.0";
constexpr wchar_t kSignInTitle[] = L"身份验证 (Authentication)";
constexpr wchar_t kAddTitle[] = L"添加服务器列表";
constexpr wchar_t kEditTitle[] = L"修改服务器列表";
constexpr wchar_t kPasswordTitle[] = L"启动密码设置(Set LoginPass)";

std::wstring FromCp936(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(936, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(936, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string ReadDataText() {
    return Rc4Transform(ReadBytes(DataFile()).value_or(std::string()), kDataFileKey);
}

std::wstring PreferencesFile() { return DataFolder() + L"configx.ini"; }

class Journey : public ::testing::Test {
protected:
    void SetUp() override {
        ClearDataFolder();
        ASSERT_FALSE(FileExists(DataFile())) << "cannot clear the data folder";
    }
    void TearDown() override { ClearDataFolder(); }

    // Starts the program and waits for the window it must show first.
    HWND Start(Process& program, const wchar_t* title) {
        if (!program.Start(TessoralExe())) {
            ADD_FAILURE() << "cannot start the program, error " << ::GetLastError();
            return nullptr;
        }
        HWND window = WaitForFirstWindow(program.Id(), kStartTimeout);
        EXPECT_NE(window, nullptr) << "no window within the start-up time";
        if (window) {
            EXPECT_EQ(TextOf(window), title);
        }
        return window;
    }

    // Sets the five boxes of the server dialog.
    static void FillDialog(HWND dialog, const ServerEntry& e) {
        SetText(Control(dialog, ControlId(sd::kHost)), FromCp936(e.host));
        SetText(Control(dialog, ControlId(sd::kPort)), FromCp936(e.port));
        SetText(Control(dialog, ControlId(sd::kAccount)), FromCp936(e.account));
        SetText(Control(dialog, ControlId(sd::kPassword)), FromCp936(e.password));
        SetText(Control(dialog, ControlId(sd::kRemark)), FromCp936(e.remark));
    }
    static void ExpectDialogShows(HWND dialog, const ServerEntry& e) {
        EXPECT_EQ(TextOf(Control(dialog, ControlId(sd::kHost))), FromCp936(e.host));
        EXPECT_EQ(TextOf(Control(dialog, ControlId(sd::kPort))), FromCp936(e.port));
        EXPECT_EQ(TextOf(Control(dialog, ControlId(sd::kAccount))), FromCp936(e.account));
        EXPECT_EQ(TextOf(Control(dialog, ControlId(sd::kPassword))), FromCp936(e.password));
        EXPECT_EQ(TextOf(Control(dialog, ControlId(sd::kRemark))), FromCp936(e.remark));
    }
    // The rows as the user sees them: host, port, account.
    static void ExpectRows(RemoteListView& view, const std::vector<ServerEntry>& expected) {
        ASSERT_TRUE(PollUntil([&] { return view.RowCount() == static_cast<int>(expected.size()); },
                              kStepTimeout))
            << "the list has " << view.RowCount() << " rows";
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i);
            const int row = static_cast<int>(i);
            EXPECT_EQ(view.Text(row, 0), FromCp936(expected[i].host));
            EXPECT_EQ(view.Text(row, 1), FromCp936(expected[i].port));
            EXPECT_EQ(view.Text(row, 2), FromCp936(expected[i].account));
        }
    }
    // Clicks a row and waits until the main window shows its remark.
    static void PickRow(Process& program, HWND main, int row, const std::string& remark) {
        HWND list = Control(main, ControlId(mw::kServerList));
        ASSERT_TRUE(ClickRow(program.Handle(), list, row)) << "row " << row << " not found";
        HWND box = Control(main, ControlId(mw::kRemark));
        ASSERT_TRUE(PollUntil([&] { return TextOf(box) == FromCp936(remark); }, kStepTimeout))
            << "the remark box shows \"" << TextOf(box) << "\" after a click on row " << row;
        EXPECT_TRUE(::IsWindowEnabled(Control(main, ControlId(mw::kDelete))));
    }
    static void CloseAndExpectEnd(Process& program, HWND main) {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        const std::optional<DWORD> code = program.WaitExit(kStepTimeout);
        ASSERT_TRUE(code.has_value()) << "the program did not end after WM_CLOSE";
        EXPECT_EQ(*code, 0u);
    }
};

TEST_F(Journey, AddEditDeleteAndPasswordReachTheDataFileAndTheNextStart) {
    const ServerEntry first{"127.0.0.1", "3389", "alpha", "pa", "甲机"};
    const ServerEntry second{"", "3390", "beta", "", "乙机"};
    ServerList stored;
    stored.Append(first);
    stored.Append(second);
    ASSERT_TRUE(WriteBytes(DataFile(), Rc4Transform(BuildDataText(stored, StartMode{false, true},
                                                                  ""),
                                                    kDataFileKey)));

    Process program;
    HWND main = Start(program, kMainTitle);
    ASSERT_NE(main, nullptr);
    HWND list = Control(main, ControlId(mw::kServerList));
    RemoteListView view(program.Handle(), list);
    ASSERT_TRUE(view.Ready()) << "no buffer in the program, error " << ::GetLastError();
    ASSERT_NO_FATAL_FAILURE(ExpectRows(view, {first, second}));

    // Add, first with a remark the data file cannot hold.
    Click(main, ControlId(mw::kAdd));
    HWND dialog = WaitForWindow(program.Id(), kAddTitle, kStepTimeout);
    ASSERT_NE(dialog, nullptr) << "the add dialog did not open";
    ExpectDialogShows(dialog, ServerEntry{"127.0.0.1", "3389", "Administrator", "",
                                          "填写备注更容易区分"});
    ServerEntry added{"127.0.0.1", "13389", "新用户", "pw 新", "备注|竖线"};
    FillDialog(dialog, added);
    Click(dialog, ControlId(sd::kConfirm));
    HWND box = WaitForMessageBox(program.Id(), kStepTimeout);
    ASSERT_NE(box, nullptr) << "a \"|\" in the remark was taken without a word";
    EXPECT_EQ(TextOf(box), L"输入出错");
    const std::wstring said = MessageBoxText(box);
    EXPECT_NE(said.find(L"备注"), std::wstring::npos) << said;
    EXPECT_NE(said.find(L"|"), std::wstring::npos) << said;
    AnswerMessageBox(box);
    ASSERT_TRUE(WaitGone(box, kStepTimeout));
    EXPECT_TRUE(::IsWindowVisible(dialog)) << "the dialog went with the refused text";
    EXPECT_EQ(TextOf(Control(dialog, ControlId(sd::kRemark))), L"备注|竖线");
    EXPECT_EQ(view.RowCount(), 2) << "the refused server was added all the same";
    added.remark = "新加的";
    SetText(Control(dialog, ControlId(sd::kRemark)), FromCp936(added.remark));
    Click(dialog, ControlId(sd::kConfirm));
    ASSERT_TRUE(WaitGone(dialog, kStepTimeout)) << "the add dialog stays";
    ASSERT_NO_FATAL_FAILURE(ExpectRows(view, {first, second, added}));

    // Edit the new one.
    ASSERT_NO_FATAL_FAILURE(PickRow(program, main, 2, added.remark));
    Click(main, ControlId(mw::kEdit));
    dialog = WaitForWindow(program.Id(), kEditTitle, kStepTimeout);
    ASSERT_NE(dialog, nullptr) << "the edit dialog did not open";
    ExpectDialogShows(dialog, added);
    ServerEntry edited = added;
    edited.port = "23389";
    edited.remark = "改过的";
    FillDialog(dialog, edited);
    Click(dialog, ControlId(sd::kConfirm));
    ASSERT_TRUE(WaitGone(dialog, kStepTimeout)) << "the edit dialog stays";
    ASSERT_NO_FATAL_FAILURE(ExpectRows(view, {first, second, edited}));

    // Delete the first one.
    ASSERT_NO_FATAL_FAILURE(PickRow(program, main, 0, first.remark));
    Click(main, ControlId(mw::kDelete));
    box = WaitForMessageBox(program.Id(), kStepTimeout);
    ASSERT_NE(box, nullptr) << "no confirmation before the delete";
    EXPECT_EQ(MessageBoxText(box), L"确认删除该项？");
    EXPECT_EQ(TextOf(box), L"删除项目");
    AnswerMessageBox(box);
    ASSERT_TRUE(WaitGone(box, kStepTimeout));
    ASSERT_NO_FATAL_FAILURE(ExpectRows(view, {second, edited}));

    // A start-up password.
    Click(main, ControlId(mw::kStartupPassword));
    HWND setup = WaitForWindow(program.Id(), kPasswordTitle, kStepTimeout);
    ASSERT_NE(setup, nullptr) << "the password window did not open";
    SetText(Control(setup, ControlId(ps::kNew)), L"j0urney");
    SetText(Control(setup, ControlId(ps::kRepeat)), L"j0urney");
    Click(setup, ControlId(ps::kOk));
    ASSERT_TRUE(WaitGone(setup, kStepTimeout)) << "the password window stays";
    EXPECT_TRUE(WindowsOf(program.Id(), kDialogClass).empty()) << "a message came up";

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectEnd(program, main));
    ServerList expected;
    expected.Append(second);
    expected.Append(edited);
    const std::string saved = ReadDataText();
    EXPECT_EQ(saved, BuildDataText(expected, StartMode{false, true}, "j0urney"));

    // The next start asks for the password and shows the same servers.
    Process again;
    HWND sign_in = Start(again, kSignInTitle);
    ASSERT_NE(sign_in, nullptr);
    SetText(Control(sign_in, ControlId(ui::sign_in::kPassword)), L"j0urney");
    Click(sign_in, ControlId(ui::sign_in::kOk));
    main = WaitForWindow(again.Id(), kMainTitle, kStepTimeout);
    ASSERT_NE(main, nullptr) << "the new password did not let the user in";
    RemoteListView view_again(again.Handle(), Control(main, ControlId(mw::kServerList)));
    ASSERT_TRUE(view_again.Ready());
    ASSERT_NO_FATAL_FAILURE(ExpectRows(view_again, {second, edited}));
    ASSERT_NO_FATAL_FAILURE(PickRow(again, main, 1, edited.remark));
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectEnd(again, main));
    EXPECT_EQ(ReadDataText(), saved);
}

TEST_F(Journey, ThePickedResolutionSurvivesAKill) {
    Process program;
    HWND main = Start(program, kMainTitle);
    ASSERT_NE(main, nullptr);
    HWND combo = Control(main, ControlId(mw::kResolution));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);
    EXPECT_EQ(ReadBytes(PreferencesFile()), std::optional<std::string>("[分辨率配置]\r\n分辨率=0\r\n"))
        << "the start writes the choice it restored";

    const LRESULT wanted = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(L"1366 x 768"));
    ASSERT_EQ(wanted, 9);

    // The user opens the list with a click and goes down to the item.
    ASSERT_TRUE(BringToFront(main, kStepTimeout)) << "cannot bring the window forward";
    RECT r;
    ::GetClientRect(combo, &r);
    ClickAt(combo, r.right / 2, r.bottom / 2);
    ASSERT_TRUE(PollUntil([&] { return Send(combo, CB_GETDROPPEDSTATE) != 0; }, kStepTimeout))
        << "the click did not open the list";
    ASSERT_TRUE(WaitForFocus(main, combo, kStepTimeout)) << "the list has no keyboard focus";
    for (LRESULT i = 0; i < wanted; ++i) PressKey(VK_DOWN);
    ASSERT_TRUE(PollUntil([&] { return Send(combo, CB_GETCURSEL) == wanted; }, kStepTimeout))
        << "the keys went elsewhere; the list is at " << Send(combo, CB_GETCURSEL);
    PressKey(VK_RETURN);
    ASSERT_TRUE(PollUntil([&] { return Send(combo, CB_GETDROPPEDSTATE) == 0; }, kStepTimeout))
        << "Enter did not close the list";
    EXPECT_EQ(Send(combo, CB_GETCURSEL), wanted);
    const std::string picked = "[分辨率配置]\r\n分辨率=9\r\n";
    EXPECT_TRUE(PollUntil([&] { return ReadBytes(PreferencesFile()) == picked; }, kStepTimeout))
        << "the pick was not written at once";

    ASSERT_TRUE(::TerminateProcess(program.Handle(), 1));
    ASSERT_EQ(::WaitForSingleObject(program.Handle(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(ReadBytes(PreferencesFile()), std::optional<std::string>(picked));
    EXPECT_FALSE(FileExists(DataFile())) << "a killed program saved its data";

    Process again;
    main = Start(again, kMainTitle);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Send(Control(main, ControlId(mw::kResolution)), CB_GETCURSEL), wanted);
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectEnd(again, main));
    EXPECT_EQ(ReadBytes(PreferencesFile()), std::optional<std::string>(picked));
}

}  // namespace
}  // namespace tessoral::e2e
