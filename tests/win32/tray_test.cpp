// The real main window in the notification area, under Wine.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "platform/win32/desktop.h"
#include "platform/win32/messages.h"
#include "platform/win32/tray_icon.h"

namespace tessoral::win32 {
namespace {

namespace mw = ui::main_window;

// Whether the shell knows an icon of this window and id: only an existing
// icon can be modified.
bool IconExists(HWND owner) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner;
    data.uID = TrayIcon::kId;
    data.uFlags = NIF_TIP;
    ::lstrcpyW(data.szTip, L"Tessoral V6.0");
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != 0;
}

class TrayWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&icc);
        // Nothing outside this machine: the banner shows a blank page.
        state.addresses = {"about:blank", "about:blank", "about:blank"};
        state.data_folder = "C:\\tessoral-tray-test\\";
        desktop.LoadWindow(ui::WindowId::Main, /*modal=*/false);
        desktop.PumpPending();
        Win32Window* window = desktop.Find(ui::WindowId::Main);
        ASSERT_NE(window, nullptr);
        main = window->Handle();
    }
    void TearDown() override {
        ::DeleteFileW(L"C:\\tessoral-tray-test\\configx.ini");
        ::RemoveDirectoryW(L"C:\\tessoral-tray-test");
    }
    void Pump() {
        for (int i = 0; i < 20; ++i) {
            desktop.PumpPending();
            ::Sleep(10);
        }
    }

    ui::ProgramState state;
    Win32Desktop desktop{state};
    HWND main = nullptr;
};

TEST_F(TrayWindowTest, IconLivesAsLongAsTheWindow) {
    EXPECT_TRUE(desktop.Tray().Shown());
    EXPECT_TRUE(IconExists(main));
    ::SendMessageW(main, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_FALSE(desktop.Tray().Shown());
    EXPECT_FALSE(IconExists(main));
}

TEST_F(TrayWindowTest, MinimiseHidesAndATrayClickRestores) {
    ::ShowWindow(main, SW_MINIMIZE);
    Pump();
    EXPECT_TRUE(::IsIconic(main));
    EXPECT_FALSE(::IsWindowVisible(main)) << "hidden, taskbar button and all";
    EXPECT_TRUE(IconExists(main));

    ::PostMessageW(main, kMsgTrayIcon, TrayIcon::kId, WM_LBUTTONUP);
    Pump();
    EXPECT_FALSE(::IsIconic(main));
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(::GetActiveWindow(), main);

    // Mouse moves over the icon restore nothing.
    ::ShowWindow(main, SW_MINIMIZE);
    Pump();
    ::PostMessageW(main, kMsgTrayIcon, TrayIcon::kId, WM_MOUSEMOVE);
    Pump();
    EXPECT_FALSE(::IsWindowVisible(main));
    ::PostMessageW(main, kMsgTrayIcon, TrayIcon::kId, WM_RBUTTONUP);
    Pump();
    EXPECT_TRUE(::IsWindowVisible(main));
}

TEST_F(TrayWindowTest, ANewTaskbarGetsTheIconAgain) {
    ASSERT_TRUE(IconExists(main));
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = main;
    data.uID = TrayIcon::kId;
    ::Shell_NotifyIconW(NIM_DELETE, &data);  // as a restarted Explorer would know nothing
    ASSERT_FALSE(IconExists(main));
    ::SendMessageW(main, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconExists(main));
}

}  // namespace
}  // namespace tessoral::win32
