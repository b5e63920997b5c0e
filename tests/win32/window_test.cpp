// The real controls built from the tables, and the keyboard and modal
// behaviour every window shares, under Wine.
#include "platform/win32/window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "platform/win32/desktop.h"
#include "platform/win32/text_convert.h"
#include "ui/layouts.h"

namespace tessoral::win32 {
namespace {

using ui::ControlKind;
using ui::WindowId;

struct Event {
    enum Kind { Created, Clicked, CanClose, Destroyed } kind;
    int control;
    bool operator==(const Event& o) const { return kind == o.kind && control == o.control; }
};

// Records what the backend raises, and lets a test act inside a modal load.
class RecordingLogic final : public ui::WindowLogic {
public:
    explicit RecordingLogic(std::vector<Event>& events) : events_(events) {}
    std::function<void(ui::Controls&)> on_created;

    void OnCreated(ui::Controls& c) override {
        WindowLogic::OnCreated(c);
        events_.push_back({Event::Created, -1});
        if (on_created) on_created(c);
    }
    void OnClicked(int control) override { events_.push_back({Event::Clicked, control}); }
    void OnCanClose() override { events_.push_back({Event::CanClose, -1}); }
    void OnDestroyed() override {
        events_.push_back({Event::Destroyed, -1});
        WindowLogic::OnDestroyed();
    }

private:
    std::vector<Event>& events_;
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&icc);
    }

    Win32Window& Load(WindowId id, std::function<void(ui::Controls&)> on_created = nullptr) {
        auto logic = std::make_unique<RecordingLogic>(events);
        logic->on_created = std::move(on_created);
        desktop.LoadWindow(id, /*modal=*/false, std::move(logic));
        desktop.PumpPending();
        Win32Window* window = desktop.Find(id);
        if (!window) throw std::runtime_error("window not loaded");
        return *window;
    }
    void LoadModal(WindowId id, std::function<void(ui::Controls&)> on_created) {
        auto logic = std::make_unique<RecordingLogic>(events);
        logic->on_created = std::move(on_created);
        desktop.LoadWindow(id, /*modal=*/true, std::move(logic));
    }

    // Presses a key on the focused control, through the program's loop.
    void Press(WORD key) {
        HWND focus = ::GetFocus();
        ASSERT_NE(focus, nullptr);
        const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
        ::PostMessageW(focus, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
        ::PostMessageW(focus, WM_KEYUP, key,
                       1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
        desktop.PumpPending();
    }

    bool Clicked(int control) const {
        for (const Event& e : events) {
            if (e.kind == Event::Clicked && e.control == control) return true;
        }
        return false;
    }
    size_t Count(Event::Kind kind) const {
        size_t n = 0;
        for (const Event& e : events) n += e.kind == kind;
        return n;
    }

    ui::ProgramState state;
    Win32Desktop desktop{state};
    std::vector<Event> events;
};

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return text;
}

const wchar_t* ExpectedClass(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::Hyperlink:
    case ControlKind::PictureBox:
    case ControlKind::Browser: return L"Static";
    case ControlKind::Edit: return L"Edit";
    case ControlKind::ComboBox: return L"ComboBox";
    case ControlKind::ListView: return L"SysListView32";
    case ControlKind::TabControl: return L"SysTabControl32";
    default: return L"Button";
    }
}

class BuilderTest : public WindowTest, public ::testing::WithParamInterface<WindowId> {};

TEST_P(BuilderTest, EveryControlAsTheTableSays) {
    const ui::WindowSpec& spec = ui::SpecOf(GetParam());
    Win32Window& window = Load(GetParam());
    HWND hwnd = window.Handle();

    RECT outer;
    ::GetWindowRect(hwnd, &outer);
    EXPECT_EQ(outer.right - outer.left, spec.width);
    EXPECT_EQ(outer.bottom - outer.top, spec.height);
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left - work.left, work.right - outer.right, 1) << "centred";
    EXPECT_NEAR(outer.top - work.top, work.bottom - outer.bottom, 1) << "centred";
    EXPECT_EQ(TextOf(hwnd), Widen(spec.title));
    const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_EQ((style & WS_MINIMIZEBOX) != 0, spec.minimize_box);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_TRUE(::IsWindowVisible(hwnd));

    for (size_t i = 0; i < spec.controls.size(); ++i) {
        const ui::ControlSpec& c = spec.controls[i];
        SCOPED_TRACE(testing::Message() << spec.name << " control " << i);
        HWND control = window.ControlHandle(static_cast<int>(i));
        if (!c.HasWindow()) {
            EXPECT_EQ(control, nullptr);
            continue;
        }
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), ExpectedClass(c.kind));
        HWND parent = c.parent == ui::kWindowParent ? hwnd : window.ControlHandle(c.parent);
        EXPECT_EQ(::GetParent(control), parent);
        EXPECT_EQ(::GetDlgCtrlID(control), ControlId(static_cast<int>(i)));

        RECT r;
        ::GetWindowRect(control, &r);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.x);
        EXPECT_EQ(r.top, c.y);
        EXPECT_EQ(r.right - r.left, c.width);
        EXPECT_EQ(r.bottom - r.top, c.height);

        const LONG_PTR s = ::GetWindowLongPtrW(control, GWL_STYLE);
        EXPECT_TRUE(::IsWindowVisible(control));
        EXPECT_EQ(::IsWindowEnabled(control) != 0, !c.Has(ui::kDisabled));
        EXPECT_EQ((s & WS_TABSTOP) != 0, c.Has(ui::kTabStop));
        if (c.kind == ControlKind::RadioButton) {
            EXPECT_EQ(s & BS_TYPEMASK, BS_RADIOBUTTON);
        }

        switch (c.kind) {
        case ControlKind::Label:
        case ControlKind::GroupBox:
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            EXPECT_EQ(TextOf(control), Widen(c.text));
            break;
        case ControlKind::Edit: {
            EXPECT_EQ(TextOf(control), Widen(c.text));
            EXPECT_EQ(::SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0),
                      c.Has(ui::kPassword) ? L'*' : 0);
            if (c.max_length > 0) {
                EXPECT_EQ(::SendMessageW(control, EM_GETLIMITTEXT, 0, 0), c.max_length);
            } else {
                EXPECT_GE(static_cast<DWORD>(::SendMessageW(control, EM_GETLIMITTEXT, 0, 0)),
                          0x7FFFFFFEu);
            }
            EXPECT_EQ((s & ES_MULTILINE) != 0, c.Has(ui::kMultiLine));
            EXPECT_EQ((s & ES_READONLY) != 0, c.Has(ui::kReadOnly));
            EXPECT_EQ((s & ES_WANTRETURN) != 0, c.Has(ui::kMultiLine) && !c.Has(ui::kReadOnly));
            break;
        }
        default:
            break;
        }
        if (c.kind == ControlKind::PushButton) {
            EXPECT_EQ((s & BS_TYPEMASK) == BS_DEFPUSHBUTTON, c.Has(ui::kDefaultButton));
        }
        if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) {
            EXPECT_EQ(::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED,
                      c.Has(ui::kChecked));
        }
        if (c.font) {
            LOGFONTW lf{};
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)),
                         sizeof lf, &lf);
            EXPECT_EQ(std::wstring(lf.lfFaceName), Widen(c.font->face));
            EXPECT_EQ(lf.lfHeight, c.font->height);
            EXPECT_EQ(lf.lfWeight, c.font->weight);
            EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
        }
        if (c.text_color && c.kind == ControlKind::Edit) {
            // Ask the colours the way the control does when it paints.
            HDC dc = ::CreateCompatibleDC(nullptr);
            ::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(control));
            ::SendMessageW(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(control));
            EXPECT_EQ(::GetTextColor(dc), RGB(c.text_color->r, c.text_color->g, c.text_color->b));
            if (c.back_color) {
                EXPECT_EQ(::GetBkColor(dc), RGB(c.back_color->r, c.back_color->g, c.back_color->b));
            }
            ::DeleteDC(dc);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, BuilderTest,
                         ::testing::Values(WindowId::Main, WindowId::ServerDialog,
                                           WindowId::SignIn, WindowId::PasswordSetup),
                         [](const auto& test_case) { return ui::SpecOf(test_case.param).name; });

TEST_F(WindowTest, MainWindowListsAndChoices) {
    namespace mw = ui::main_window;
    Win32Window& window = Load(WindowId::Main);
    HWND list = window.ControlHandle(mw::kServerList);

    const ui::ControlSpec& spec = ui::MainWindowSpec().controls[mw::kServerList];
    HWND header = ListView_GetHeader(list);
    ASSERT_EQ(Header_GetItemCount(header), 4);
    for (int col = 0; col < 4; ++col) {
        SCOPED_TRACE(col);
        wchar_t title[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = 64;
        ASSERT_TRUE(ListView_GetColumn(list, col, &column));
        EXPECT_EQ(std::wstring(title), Widen(spec.columns[col].title));
        EXPECT_EQ(ListView_GetColumnWidth(list, col), spec.columns[col].width);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK,
                  spec.columns[col].align == ui::Align::Centre ? LVCFMT_CENTER : LVCFMT_LEFT);
    }
    const DWORD ex = ListView_GetExtendedListViewStyle(list);
    const DWORD wanted =
        LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES;
    EXPECT_EQ(ex & wanted, wanted);
    const LONG_PTR style = ::GetWindowLongPtrW(list, GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & LVS_NOSORTHEADER);
    EXPECT_TRUE(::GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_EQ(ListView_GetBkColor(list), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(window.RowCount(mw::kServerList), 0);
    EXPECT_EQ(window.SelectedRow(mw::kServerList), -1);
    EXPECT_EQ(window.RowValue(mw::kServerList, -1), 0);

    // Rows carry their position; a row that does not exist has value 0.
    EXPECT_EQ(window.AppendRow(mw::kServerList, "服务器", 1), 0);
    EXPECT_EQ(window.AppendRow(mw::kServerList, "b", 2), 1);
    window.SetCell(mw::kServerList, 1, 3, "在线");
    EXPECT_EQ(window.RowValue(mw::kServerList, 1), 2);
    EXPECT_EQ(window.RowValue(mw::kServerList, 2), 0);
    wchar_t cell[16] = {};
    ListView_GetItemText(list, 1, 3, cell, 16);
    EXPECT_EQ(std::wstring(cell), L"在线");

    HWND combo = window.ControlHandle(mw::kResolution);
    ASSERT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), ui::kResolutionCount);
    for (int i = 0; i < ui::kResolutionCount; ++i) {
        EXPECT_EQ(window.ItemText(mw::kResolution, i), ui::kResolutions[i]);
    }
    EXPECT_EQ(window.Selection(mw::kResolution), 0);
    EXPECT_EQ(::GetWindowLongPtrW(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST);

    HWND tab = window.ControlHandle(mw::kResolutionTab);
    ASSERT_EQ(TabCtrl_GetItemCount(tab), 1);
    wchar_t tab_title[16] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = tab_title;
    item.cchTextMax = 16;
    TabCtrl_GetItem(tab, 0, &item);
    EXPECT_EQ(std::wstring(tab_title), L"分辨率");

    // The program's own change of one radio leaves the other as it was; a
    // click selects the clicked one and clears the other.
    window.SetChecked(mw::kConsole, true);
    EXPECT_TRUE(window.Checked(mw::kConsole));
    EXPECT_TRUE(window.Checked(mw::kAdmin));
    ::SendMessageW(window.ControlHandle(mw::kAdmin), BM_CLICK, 0, 0);
    EXPECT_FALSE(window.Checked(mw::kConsole));
    EXPECT_TRUE(window.Checked(mw::kAdmin));
    ::SendMessageW(window.ControlHandle(mw::kConsole), BM_CLICK, 0, 0);
    EXPECT_TRUE(window.Checked(mw::kConsole));
    EXPECT_FALSE(window.Checked(mw::kAdmin));
}

// The test runs pick Wine's locale through LC_ALL: a Western one for all
// tests, a Chinese one for the window tests once more.
TEST(SystemCodePage, IsTheOneThisRunAsksFor) {
    const char* locale = std::getenv("LC_ALL");
    const std::string name = locale ? locale : "";
    if (name.rfind("zh_CN", 0) == 0) {
        EXPECT_EQ(::GetACP(), 936u);
    } else if (name == "C.UTF-8") {
        EXPECT_EQ(::GetACP(), 1252u);
    } else {
        GTEST_SKIP() << "no locale asked for";
    }
}

TEST_F(WindowTest, TextsKeepTheirCharactersWhateverTheSystemCodePage) {
    namespace sd = ui::server_dialog;
    Win32Window& window = Load(WindowId::ServerDialog);
    EXPECT_EQ(TextOf(window.Handle()), L"添加服务器列表");
    EXPECT_EQ(TextOf(window.ControlHandle(sd::kRemark)), L"填写备注更容易区分");
    // A character outside the system code page of a Western Windows.
    window.SetText(sd::kHost, "服务器\xA1\xA4");
    EXPECT_EQ(TextOf(window.ControlHandle(sd::kHost)), L"服务器\u00B7");
    EXPECT_EQ(window.Text(sd::kHost), "服务器\xA1\xA4");
}

// ---- keyboard -------------------------------------------------------------

TEST_F(WindowTest, EnterClicksTheDefaultButtonFromSingleLineBoxes) {
    namespace sd = ui::server_dialog;
    Win32Window& window = Load(WindowId::ServerDialog);
    for (int box : {sd::kHost, sd::kPort, sd::kAccount, sd::kPassword}) {
        SCOPED_TRACE(box);
        events.clear();
        ::SetFocus(window.ControlHandle(box));
        Press(VK_RETURN);
        EXPECT_TRUE(Clicked(sd::kConfirm));
    }
}

TEST_F(WindowTest, EnterInTheRemarkBoxStartsANewLine) {
    namespace sd = ui::server_dialog;
    Win32Window& window = Load(WindowId::ServerDialog);
    window.SetText(sd::kRemark, "ab");
    HWND remark = window.ControlHandle(sd::kRemark);
    ::SetFocus(remark);
    ::SendMessageW(remark, EM_SETSEL, 2, 2);
    Press(VK_RETURN);
    EXPECT_FALSE(Clicked(sd::kConfirm));
    EXPECT_EQ(window.Text(sd::kRemark), "ab\r\n");
}

TEST_F(WindowTest, EnterDoesNothingWhileTheDefaultButtonIsDisabled) {
    namespace mw = ui::main_window;
    Win32Window& window = Load(WindowId::Main);
    ::SetFocus(window.ControlHandle(mw::kServerList));
    Press(VK_RETURN);
    EXPECT_FALSE(Clicked(mw::kConnect));

    window.SetEnabled(mw::kConnect, true);
    ::SetFocus(window.ControlHandle(mw::kServerList));
    Press(VK_RETURN);
    EXPECT_TRUE(Clicked(mw::kConnect));
}

TEST_F(WindowTest, EscClosesDialogsWithoutHandlersAndLeavesTheMainWindow) {
    Win32Window& main = Load(WindowId::Main);
    ::SetFocus(main.ControlHandle(ui::main_window::kAdd));
    Press(VK_ESCAPE);
    EXPECT_NE(desktop.Find(WindowId::Main), nullptr);
    EXPECT_EQ(Count(Event::CanClose), 0u);

    for (WindowId id : {WindowId::ServerDialog, WindowId::SignIn, WindowId::PasswordSetup}) {
        SCOPED_TRACE(ui::SpecOf(id).name);
        events.clear();
        Load(id);
        Press(VK_ESCAPE);
        EXPECT_EQ(desktop.Find(id), nullptr);
        EXPECT_EQ(events, (std::vector<Event>{{Event::Created, -1}, {Event::Destroyed, -1}}));
    }
}

TEST_F(WindowTest, TabVisitsTheTabStopsInOrder) {
    namespace si = ui::sign_in;
    Win32Window& window = Load(WindowId::SignIn);
    EXPECT_EQ(::GetFocus(), window.ControlHandle(si::kPassword)) << "first tab stop has focus";
    const int order[] = {si::kOk, si::kCancel, si::kPassword};
    for (int expected : order) {
        Press(VK_TAB);
        EXPECT_EQ(::GetFocus(), window.ControlHandle(expected)) << expected;
    }
}

TEST_F(WindowTest, TabSkipsDisabledControls) {
    namespace mw = ui::main_window;
    Win32Window& window = Load(WindowId::Main);
    ::SetFocus(window.ControlHandle(mw::kServerList));
    Press(VK_TAB);  // the connect button is disabled
    EXPECT_EQ(::GetFocus(), window.ControlHandle(mw::kAdd));
}

TEST_F(WindowTest, PasswordBoxRefusesASeventeenthCharacter) {
    namespace si = ui::sign_in;
    Win32Window& window = Load(WindowId::SignIn);
    HWND box = window.ControlHandle(si::kPassword);
    for (int i = 0; i < 17; ++i) ::SendMessageW(box, WM_CHAR, L'a' + i, 1);
    EXPECT_EQ(window.Text(si::kPassword), "abcdefghijklmnop");
}

// ---- modality and destruction --------------------------------------------

TEST_F(WindowTest, ModalLoadDisablesTheOthersAndReturnsOnlyOnceDestroyed) {
    Win32Window& main = Load(WindowId::Main);
    HWND main_hwnd = main.Handle();
    bool main_was_enabled = true;
    bool alive_after_request = false;
    HWND dialog = nullptr;
    LoadModal(
        WindowId::ServerDialog,
        [&](ui::Controls& c) {
            main_was_enabled = ::IsWindowEnabled(main_hwnd) != 0;
            dialog = desktop.Find(WindowId::ServerDialog)->Handle();
            c.Destroy();
            // A request only: the window is still there until the loop runs.
            alive_after_request = ::IsWindow(dialog) != 0;
        });
    EXPECT_FALSE(main_was_enabled);
    EXPECT_TRUE(alive_after_request);
    EXPECT_FALSE(::IsWindow(dialog)) << "the modal load returns after the window is gone";
    EXPECT_TRUE(::IsWindowEnabled(main_hwnd));
    EXPECT_EQ(Count(Event::CanClose), 0u) << "a destroy request runs no close handling";
}

TEST_F(WindowTest, MainWindowAsksBeforeClosingAndOnEndOfSession) {
    Win32Window& main = Load(WindowId::Main);
    HWND hwnd = main.Handle();
    EXPECT_TRUE(::SendMessageW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    EXPECT_EQ(Count(Event::CanClose), 1u);
    EXPECT_TRUE(::IsWindow(hwnd));
    ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(Count(Event::CanClose), 2u);
    EXPECT_FALSE(::IsWindow(hwnd));
}

}  // namespace
}  // namespace tessoral::win32
