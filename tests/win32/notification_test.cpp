// Which user actions on the real list view and combo box reach the logic as
// events, and the real profile functions on a Western system code page.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/preferences.h"
#include "platform/win32/desktop.h"
#include "platform/win32/text_convert.h"
#include "platform/win32/window.h"
#include "ui/layouts.h"

namespace tessoral::win32 {
namespace {

namespace mw = ui::main_window;

// Counts the two events under test.
class CountingLogic final : public ui::WindowLogic {
public:
    CountingLogic(int& rows_changed, int& picks) : rows_changed_(rows_changed), picks_(picks) {}
    void OnCurrentRowChanged(int control) override {
        if (control == mw::kServerList) ++rows_changed_;
    }
    void OnItemPicked(int control) override {
        if (control == mw::kResolution) ++picks_;
    }

private:
    int& rows_changed_;
    int& picks_;
};

class NotificationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&icc);
    }

    void SetUp() override {
        desktop.LoadWindow(ui::WindowId::Main, /*modal=*/false,
                           std::make_unique<CountingLogic>(rows_changed, picks));
        desktop.PumpPending();
        window = desktop.Find(ui::WindowId::Main);
        ASSERT_NE(window, nullptr);
        list = window->ControlHandle(mw::kServerList);
        combo = window->ControlHandle(mw::kResolution);
        Fill();
        ASSERT_EQ(rows_changed, 0) << "filling the list raised the event";
    }

    // As the program refills the list after a change.
    void Fill() {
        window->DeleteAllRows(mw::kServerList);
        for (int position = 1; position <= 3; ++position) {
            window->AppendRow(mw::kServerList, "127.0.0.1", position);
        }
        desktop.PumpPending();
    }

    POINT RowCentre(int row) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        EXPECT_TRUE(::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&r)));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    // A left click at a point of `target`'s client area, through the loop.
    void ClickAt(HWND target, POINT p) {
        const LPARAM at = MAKELPARAM(p.x, p.y);
        ::PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(target, WM_LBUTTONUP, 0, at);
        desktop.PumpPending();
    }
    void ClickRow(int row) { ClickAt(list, RowCentre(row)); }

    // A key on the focused control, through the program's loop.
    void Press(WORD key) {
        HWND focus = ::GetFocus();
        ASSERT_NE(focus, nullptr);
        const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        ::PostMessageW(focus, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
        ::PostMessageW(focus, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
        desktop.PumpPending();
    }

    bool Dropped() { return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }
    void DropDown() {
        ::SetFocus(combo);
        ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        desktop.PumpPending();
        ASSERT_TRUE(Dropped());
    }

    ui::ProgramState state;
    Win32Desktop desktop{state};
    Win32Window* window = nullptr;
    HWND list = nullptr;
    HWND combo = nullptr;
    int rows_changed = 0;
    int picks = 0;
};

// ---- the list view's current row ---------------------------------------------------

TEST_F(NotificationTest, AClickOnAnotherRowChangesTheCurrentRowOnce) {
    ClickRow(1);
    EXPECT_EQ(rows_changed, 1);
    EXPECT_EQ(window->SelectedRow(mw::kServerList), 1);
    ClickRow(1);
    EXPECT_EQ(rows_changed, 1) << "the current row clicked again";
    ClickRow(2);
    EXPECT_EQ(rows_changed, 2);
    EXPECT_EQ(window->SelectedRow(mw::kServerList), 2);
}

TEST_F(NotificationTest, AClickIntoEmptySpaceOnlyClearsTheSelection) {
    ClickRow(0);
    ASSERT_EQ(rows_changed, 1);
    RECT client;
    ::GetClientRect(list, &client);
    const POINT last = RowCentre(2);
    const POINT below{last.x, (last.y + client.bottom) / 2};
    ASSERT_GT(below.y, last.y + 20) << "no empty space under the rows";
    ClickAt(list, below);
    EXPECT_EQ(window->SelectedRow(mw::kServerList), -1);
    EXPECT_EQ(rows_changed, 1);
}

TEST_F(NotificationTest, TheDownArrowMovesTheCurrentRow) {
    ClickRow(0);
    ASSERT_EQ(rows_changed, 1);
    ASSERT_EQ(::GetFocus(), list);
    Press(VK_DOWN);
    EXPECT_EQ(rows_changed, 2);
    EXPECT_EQ(window->SelectedRow(mw::kServerList), 1);
    Press(VK_DOWN);
    Press(VK_DOWN);  // already on the last row: it stays
    EXPECT_EQ(rows_changed, 3);
    EXPECT_EQ(window->SelectedRow(mw::kServerList), 2);
}

TEST_F(NotificationTest, TheProgramsRefillRaisesNothing) {
    ClickRow(1);
    ASSERT_EQ(rows_changed, 1);
    ::SetFocus(list);
    Fill();
    EXPECT_EQ(rows_changed, 1);
    EXPECT_EQ(window->SelectedRow(mw::kServerList), -1);
    // The next click on the same place is a change again.
    ClickRow(1);
    EXPECT_EQ(rows_changed, 2);
}

// ---- the combo box's picks -------------------------------------------------------

TEST_F(NotificationTest, TheProgramsSelectionIsNoPick) {
    window->SetSelection(mw::kResolution, 9);
    window->SetSelection(mw::kResolution, -1);
    window->SetSelection(mw::kResolution, 3);
    desktop.PumpPending();
    EXPECT_EQ(picks, 0);
    EXPECT_EQ(window->Selection(mw::kResolution), 3);
}

TEST_F(NotificationTest, TheDownArrowOnTheClosedBoxPicksOnce) {
    window->SetSelection(mw::kResolution, 3);
    ::SetFocus(combo);
    Press(VK_DOWN);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(window->Selection(mw::kResolution), 4);
    EXPECT_EQ(picks, 1);
    Press(VK_DOWN);
    EXPECT_EQ(window->Selection(mw::kResolution), 5);
    EXPECT_EQ(picks, 2) << "the next key is a pick of its own";
}

TEST_F(NotificationTest, EnterInTheDroppedListPicksOnceAlsoTheSameItem) {
    window->SetSelection(mw::kResolution, 3);
    ASSERT_NO_FATAL_FAILURE(DropDown());
    EXPECT_EQ(picks, 0) << "dropping the list is no pick";
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(picks, 0) << "moving in the open list is no pick yet";
    Press(VK_RETURN);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(window->Selection(mw::kResolution), 5);
    EXPECT_EQ(picks, 1);

    ASSERT_NO_FATAL_FAILURE(DropDown());
    Press(VK_RETURN);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(window->Selection(mw::kResolution), 5);
    EXPECT_EQ(picks, 2) << "the item already selected, picked again";
}

TEST_F(NotificationTest, EscInTheDroppedListIsNoPick) {
    window->SetSelection(mw::kResolution, 3);
    ASSERT_NO_FATAL_FAILURE(DropDown());
    Press(VK_ESCAPE);
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(picks, 0);
    EXPECT_NE(desktop.Find(ui::WindowId::Main), nullptr) << "Esc belonged to the list";
}

TEST_F(NotificationTest, AClickIntoTheDroppedListPicksOnce) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetComboBoxInfo(combo, &info));
    HWND items = info.hwndList;
    for (int item : {9, 9}) {
        SCOPED_TRACE(item);
        const int before = picks;
        ASSERT_NO_FATAL_FAILURE(DropDown());
        ::SendMessageW(items, LB_SETTOPINDEX, static_cast<WPARAM>(item), 0);
        RECT r{};
        ASSERT_NE(::SendMessageW(items, LB_GETITEMRECT, static_cast<WPARAM>(item),
                                 reinterpret_cast<LPARAM>(&r)),
                  LB_ERR);
        ClickAt(items, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        EXPECT_FALSE(Dropped());
        EXPECT_EQ(window->Selection(mw::kResolution), item);
        EXPECT_EQ(picks, before + 1);
    }
}

// ---- the profile functions ---------------------------------------------------------

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, folder);
        wchar_t file[MAX_PATH] = {};
        ::GetTempFileNameW(folder, L"ini", 0, file);
        path = file;
        ::DeleteFileW(file);
    }
    void TearDown() override { ::DeleteFileW(path.c_str()); }

    std::string Bytes() {
        std::ifstream in(Path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Put(const std::string& bytes) {
        std::ofstream out(Path(), std::ios::binary);
        out << bytes;
    }
    std::string Path() { return Narrow(path); }

    ui::ProgramState state;
    Win32Desktop desktop{state};
    std::wstring path;
};

TEST_F(ProfileTest, WritesAndReadsCodePage936OnAnySystem) {
    desktop.WriteProfileString(kResolutionSection, kResolutionKey, "0", Path());
    EXPECT_EQ(Bytes(), "[分辨率配置]\r\n分辨率=0\r\n") << "system code page " << ::GetACP();
    EXPECT_EQ(desktop.ReadProfileString(kResolutionSection, kResolutionKey, "x", Path()), "0");
    EXPECT_TRUE(desktop.PathExists(Path()));

    desktop.WriteProfileString(kResolutionSection, kResolutionKey, "9", Path());
    EXPECT_EQ(Bytes(), "[分辨率配置]\r\n分辨率=9\r\n");
    EXPECT_EQ(desktop.ReadProfileString(kResolutionSection, kResolutionKey, "x", Path()), "9");
}

TEST_F(ProfileTest, MissingEntriesGiveTheFallbackAndOtherSectionsStay) {
    EXPECT_FALSE(desktop.PathExists(Path()));
    EXPECT_EQ(desktop.ReadProfileString(kResolutionSection, kResolutionKey, "0", Path()), "0");

    Put("[前]\r\n键=甲\r\n[分辨率配置]\r\n分辨率=\r\n[后]\r\n分辨率=乙\r\n");
    EXPECT_EQ(desktop.ReadProfileString(kResolutionSection, kResolutionKey, "0", Path()), "")
        << "an empty value is no missing key";
    EXPECT_EQ(desktop.ReadProfileString("后", kResolutionKey, "0", Path()), "乙");
    EXPECT_EQ(desktop.ReadProfileString("前", kResolutionKey, "0", Path()), "0");

    desktop.WriteProfileString(kResolutionSection, kResolutionKey, "13", Path());
    EXPECT_EQ(Bytes(), "[前]\r\n键=甲\r\n[分辨率配置]\r\n分辨率=13\r\n[后]\r\n分辨率=乙\r\n");
}

}  // namespace
}  // namespace tessoral::win32
