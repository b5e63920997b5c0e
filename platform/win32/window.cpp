#include "platform/win32/window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/resource.h"
#include "platform/win32/browser.h"
#include "platform/win32/messages.h"
#include "platform/win32/text_convert.h"
#include "ui/state_pictures.h"

namespace tessoral::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"TessoralWindow";
constexpr UINT_PTR kForwardingId = 1;
constexpr UINT_PTR kHoverId = 2;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kLinkHotColour = RGB(51, 153, 255);

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}
// A drop-down list's height includes its list: room for all fourteen items.
constexpr int kDropDownListHeight = 240;

using ui::ControlKind;

COLORREF ToColorRef(const ui::Rgb& rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

bool RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        return ::RegisterClassExW(&wc) != 0;
    }();
    return registered;
}

struct Created {
    const wchar_t* window_class;
    DWORD style;
    DWORD ex_style;
};

Created ClassAndStyle(const ui::ControlSpec& c) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    if (c.Has(ui::kTabStop)) style |= WS_TABSTOP;
    if (c.Has(ui::kDisabled)) style |= WS_DISABLED;
    switch (c.kind) {
    case ControlKind::Label:
        return {L"STATIC", style | SS_LEFT, 0};
    case ControlKind::Hyperlink:
        return {L"STATIC", style | SS_LEFT | SS_NOTIFY, 0};
    case ControlKind::PictureBox:
        return {L"STATIC", style | SS_ICON | SS_CENTERIMAGE, 0};
    case ControlKind::Browser:
        return {L"STATIC", style, 0};
    case ControlKind::GroupBox:
        return {L"BUTTON", style | BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::PushButton:
        return {L"BUTTON",
                style | (c.Has(ui::kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                    BS_MULTILINE,  // a caption too long for one line wraps
                0};
    case ControlKind::PictureButton:
        return {L"BUTTON", style | BS_OWNERDRAW, 0};
    case ControlKind::CheckBox:
        return {L"BUTTON", style | BS_AUTOCHECKBOX, 0};
    case ControlKind::RadioButton:
        // Not BS_AUTORADIOBUTTON: setting an automatic radio's mark from the
        // program clears its group on some systems, and the program relies
        // on a mark changing only the radio it is set on. A click is handled
        // like an automatic radio's in OnCommand.
        return {L"BUTTON", style | BS_RADIOBUTTON | (c.Has(ui::kGroupStart) ? WS_GROUP : 0), 0};
    case ControlKind::Edit: {
        DWORD edit = ES_LEFT;
        if (c.Has(ui::kMultiLine)) {
            edit |= ES_MULTILINE;
            if (!c.Has(ui::kReadOnly)) edit |= ES_WANTRETURN | ES_AUTOVSCROLL;
        } else {
            edit |= ES_AUTOHSCROLL;
        }
        if (c.Has(ui::kReadOnly)) edit |= ES_READONLY;
        if (c.Has(ui::kPassword)) edit |= ES_PASSWORD;
        if (c.Has(ui::kVScroll)) edit |= WS_VSCROLL;
        return {L"EDIT", style | edit, WS_EX_CLIENTEDGE};
    }
    case ControlKind::ComboBox:
        return {WC_COMBOBOXW, style | CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case ControlKind::ListView:
        return {WC_LISTVIEWW,
                style | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER |
                    LVS_SHAREIMAGELISTS,
                WS_EX_STATICEDGE};
    case ControlKind::TabControl:
        return {WC_TABCONTROLW, style | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case ControlKind::Timer:
    case ControlKind::TcpClient:
        break;
    }
    return {nullptr, 0, 0};
}

void SetWideText(HWND hwnd, std::string_view text) {
    ::SetWindowTextW(hwnd, Widen(text).c_str());
}

std::string WideText(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return Narrow(text);
}

bool HasStyle(HWND hwnd, LONG_PTR style) {
    return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & style) == style;
}

bool IsClass(HWND hwnd, const wchar_t* name) {
    wchar_t found[32] = {};
    ::GetClassNameW(hwnd, found, 32);
    return ::lstrcmpiW(found, name) == 0;
}

// The three monitors of the status column. Made once; the list view does
// not own a state image list it was given with LVS_SHAREIMAGELISTS, and
// this one lives as long as the program.
HIMAGELIST StateImageList() {
    static HIMAGELIST list = [] {
        constexpr int w = ui::kStatePictureWidth;
        constexpr int h = ui::kStatePictureHeight;
        HIMAGELIST images = ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, ui::kStatePictureCount, 0);
        for (int i = 0; i < ui::kStatePictureCount; ++i) {
            const ui::StatePicture pixels = ui::DrawStatePicture(i);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = -h;  // top row first
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            HDC screen = ::GetDC(nullptr);
            HBITMAP colour = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            ::ReleaseDC(nullptr, screen);
            std::vector<uint8_t> mask_bits(static_cast<size_t>(2 * h), 0);  // rows of 16 bits
            auto* out = static_cast<uint32_t*>(bits);
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = pixels[static_cast<size_t>(y * w + x)];
                    const bool clear = (p >> 24) == 0;
                    out[y * w + x] = clear ? 0 : p;
                    if (clear) mask_bits[static_cast<size_t>(y * 2 + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
            HBITMAP mask = ::CreateBitmap(w, h, 1, 1, mask_bits.data());
            ImageList_Add(images, colour, mask);
            ::DeleteObject(colour);
            ::DeleteObject(mask);
        }
        return images;
    }();
    return list;
}

}  // namespace

Win32Window::Win32Window(const ui::WindowSpec& spec, std::unique_ptr<ui::WindowLogic> logic,
                         WindowTracker& tracker)
    : spec_(spec), logic_(std::move(logic)), tracker_(tracker) {}

Win32Window::~Win32Window() {
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
}

bool Win32Window::Create(HWND owner) {
    if (!RegisterWindowClass(WindowProc)) return false;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD ex_style = WS_EX_CONTROLPARENT;
    if (spec_.minimize_box) style |= WS_MINIMIZEBOX;
    if (spec_.has_icon) {
        ex_style |= WS_EX_APPWINDOW;
    } else {
        ex_style |= WS_EX_DLGMODALFRAME;  // no icon in the caption
    }
    // Centred on the work area; the size is the outer size.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - spec_.width) / 2;
    const int y = work.top + (work.bottom - work.top - spec_.height) / 2;
    hwnd_ = ::CreateWindowExW(ex_style, kWindowClass, Widen(spec_.title).c_str(), style, x, y,
                              spec_.width, spec_.height, owner, nullptr,
                              ::GetModuleHandleW(nullptr), this);
    if (!hwnd_) return false;

    if (spec_.has_icon) {
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        auto load = [&](int metric_x, int metric_y) {
            return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_TESSORAL),
                                                   IMAGE_ICON, ::GetSystemMetrics(metric_x),
                                                   ::GetSystemMetrics(metric_y), LR_SHARED));
        };
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG,
                       reinterpret_cast<LPARAM>(load(SM_CXICON, SM_CYICON)));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL,
                       reinterpret_cast<LPARAM>(load(SM_CXSMICON, SM_CYSMICON)));
    }

    BuildControls();
    logic_->OnCreated(*this);
    created_ = true;
    if (!destroy_requested_ && hwnd_) {
        ::ShowWindow(hwnd_, SW_SHOW);
        ::UpdateWindow(hwnd_);
        // Focus the first tab stop, as a dialog would (activation may have
        // done so already).
        if (!::IsChild(hwnd_, ::GetFocus())) MoveFocus(false);
        logic_->OnPositionChanged();
    }
    return true;
}

void Win32Window::BuildControls() {
    controls_.assign(spec_.controls.size(), nullptr);
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        controls_[i] = BuildControl(spec_.controls[i], static_cast<int>(i));
    }
}

HWND Win32Window::BuildControl(const ui::ControlSpec& c, int index) {
    if (!c.HasWindow()) return nullptr;
    const Created created = ClassAndStyle(c);
    HWND parent = c.parent == ui::kWindowParent ? hwnd_ : controls_[static_cast<size_t>(c.parent)];
    int height = c.height;
    if (c.kind == ControlKind::ComboBox) height += kDropDownListHeight;
    const bool has_caption = c.kind != ControlKind::Edit && c.kind != ControlKind::ComboBox &&
                             c.kind != ControlKind::ListView && c.kind != ControlKind::TabControl;
    HWND hwnd = ::CreateWindowExW(
        created.ex_style, created.window_class, has_caption ? Widen(c.text).c_str() : L"",
        created.style, c.x, c.y, c.width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(index))),
        ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return nullptr;
    // Later controls of the table lie over earlier ones (the banner's covers,
    // the resolution list over its tab).
    ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font)), FALSE);

    switch (c.kind) {
    case ControlKind::Hyperlink:
    case ControlKind::PictureButton:
        ::SetWindowSubclass(hwnd, HoverProc, kHoverId, reinterpret_cast<DWORD_PTR>(this));
        break;
    case ControlKind::GroupBox:
    case ControlKind::TabControl:
        // Children's notifications reach the window through their parent.
        ::SetWindowSubclass(hwnd, ForwardingProc, kForwardingId, reinterpret_cast<DWORD_PTR>(this));
        for (size_t t = 0; t < c.items.size(); ++t) {
            std::wstring title = Widen(c.items[t]);
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = title.data();
            ::SendMessageW(hwnd, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
        }
        break;
    case ControlKind::Edit:
        if (c.Has(ui::kPassword)) ::SendMessageW(hwnd, EM_SETPASSWORDCHAR, L'*', 0);
        // 0 lifts the default limit of about 32 K characters.
        ::SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<WPARAM>(c.max_length), 0);
        SetWideText(hwnd, c.text);
        break;
    case ControlKind::ComboBox:
        for (const char* item : c.items) {
            ::SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        if (!c.items.empty()) ::SendMessageW(hwnd, CB_SETCURSEL, 0, 0);
        {
            // The closed box's height comes from its selection field: size
            // that field so the box is as high as the layout says. What the
            // field's height includes differs between systems, so set it,
            // measure, and correct once (the relation is linear).
            const LRESULT item = ::SendMessageW(hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
            if (item != CB_ERR) {
                LPARAM field = static_cast<LPARAM>(item);
                for (int pass = 0; pass < 2 && field > 0; ++pass) {
                    ::SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
                    RECT r;
                    ::GetWindowRect(hwnd, &r);
                    const LONG off = c.height - (r.bottom - r.top);
                    if (off == 0) break;
                    field += off;
                }
            }
        }
        break;
    case ControlKind::ListView: {
        ListView_SetExtendedListViewStyle(
            hwnd, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP | LVS_EX_SUBITEMIMAGES);
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        ListView_SetTextColor(hwnd, RGB(0, 0, 0));
        ListView_SetTextBkColor(hwnd, face);
        ListView_SetBkColor(hwnd, face);
        ListView_SetImageList(hwnd, StateImageList(), LVSIL_STATE);
        static const ui::FontSpec kListFont{"宋体", -12, 400};
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(&kListFont)), FALSE);
        for (size_t col = 0; col < c.columns.size(); ++col) {
            std::wstring title = Widen(c.columns[col].title);
            LVCOLUMNW column{};
            column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
            column.fmt = c.columns[col].align == ui::Align::Centre ? LVCFMT_CENTER : LVCFMT_LEFT;
            column.cx = c.columns[col].width;
            column.pszText = title.data();
            column.iSubItem = static_cast<int>(col);
            ::SendMessageW(hwnd, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&column));
        }
        break;
    }
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
        if (c.Has(ui::kChecked)) ::SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        break;
    default:
        break;
    }
    return hwnd;
}

HFONT Win32Window::FontFor(const ui::FontSpec* font) {
    if (!font) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const auto& [spec, handle] : font_cache_) {
        if (spec == font) return handle;
    }
    LOGFONTW lf{};
    lf.lfHeight = font->height;
    lf.lfWeight = font->weight;
    lf.lfCharSet = GB2312_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = Widen(font->face);
    ::lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT handle = ::CreateFontIndirectW(&lf);
    fonts_.emplace_back(handle);
    font_cache_.emplace_back(font, handle);
    return handle;
}

HWND Win32Window::ControlHandle(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= controls_.size()) return nullptr;
    return controls_[static_cast<size_t>(index)];
}

int Win32Window::IndexOf(HWND control) const {
    for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i] && controls_[i] == control) return static_cast<int>(i);
    }
    return -1;
}

// ---- messages -------------------------------------------------------------

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        // Bind the object to its window before any other message arrives.
        auto* created = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* self = static_cast<Win32Window*>(created->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
    auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const LRESULT result = ::DefWindowProcW(hwnd, message, wparam, lparam);
        self->hwnd_ = nullptr;
        if (self->logic_) self->logic_->OnDestroyed();
        self->tracker_.WindowGone(*self);  // may delete self
        return result;
    }
    // No exception may cross into the system's code.
    try {
        return self->OnMessage(message, wparam, lparam);
    } catch (...) {
        return ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

// Links and picture buttons follow the mouse: drawn lighter under it, a
// hand over the link, and the link acts when the button goes down on it.
LRESULT CALLBACK Win32Window::HoverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Window*>(data);
    const int index = self->IndexOf(hwnd);
    const bool link = index >= 0 &&
                      self->spec_.controls[static_cast<size_t>(index)].kind == ControlKind::Hyperlink;
    switch (message) {
    case WM_MOUSEMOVE:
        if (self->hot_control_ != index) {
            self->hot_control_ = index;
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
            ::TrackMouseEvent(&track);
            ::InvalidateRect(hwnd, nullptr, TRUE);
        }
        break;
    case WM_MOUSELEAVE:
        if (self->hot_control_ == index) self->hot_control_ = -1;
        ::InvalidateRect(hwnd, nullptr, TRUE);
        break;
    case WM_SETCURSOR:
        if (link) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        if (link && self->logic_) self->logic_->OnLinkPressed(index);
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, HoverProc, kHoverId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK Win32Window::ForwardingProc(HWND hwnd, UINT message, WPARAM wparam,
                                             LPARAM lparam, UINT_PTR, DWORD_PTR data) {
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_DRAWITEM:
        return ::SendMessageW(reinterpret_cast<Win32Window*>(data)->hwnd_, message, wparam, lparam);
    case WM_ERASEBKGND: {
        // The window clips its children, so nobody else paints under a group.
        RECT r;
        ::GetClientRect(hwnd, &r);
        ::FillRect(reinterpret_cast<HDC>(wparam), &r, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_PAINT: {
        // Neither a themed group box nor Wine's draws its caption in the
        // colour the parent asks for, so a coloured one is painted here.
        auto* self = reinterpret_cast<Win32Window*>(data);
        const int index = self->IndexOf(hwnd);
        if (index >= 0 && self->spec_.controls[static_cast<size_t>(index)].text_color) {
            self->PaintGroupBox(hwnd, self->spec_.controls[static_cast<size_t>(index)]);
            return 0;
        }
        break;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, ForwardingProc, kForwardingId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT Win32Window::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND:
        if (lparam != 0) {
            OnCommand(IndexOf(reinterpret_cast<HWND>(lparam)), HIWORD(wparam));
            return 0;
        }
        break;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
    case WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), false);
    case WM_CTLCOLOREDIT:
        return OnControlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), true);
    case WM_DRAWITEM:
        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return TRUE;
    case WM_CLOSE:
        // The main window saves before it goes; it never refuses to close.
        if (spec_.has_icon) logic_->OnCanClose();
        tracker_.WindowDestroying(*this);
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_QUERYENDSESSION:
        logic_->OnCanClose();
        return TRUE;
    case kMsgDestroyRequest:
        tracker_.WindowDestroying(*this);
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_ACTIVATE:
        // Like a dialog: the control that had the focus gets it back when
        // the window is active again (after a message box, say).
        if (LOWORD(wparam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd_, focus)) last_focus_ = focus;
        } else if (!HIWORD(wparam)) {
            if (last_focus_ && ::IsWindow(last_focus_) && ::IsWindowEnabled(last_focus_)) {
                ::SetFocus(last_focus_);
            } else {
                MoveFocus(false);
            }
            return 0;
        }
        break;
    case WM_MOVE:
        if (created_ && !destroy_requested_) logic_->OnPositionChanged();
        break;
    case kMsgPickDone:
        pick_echo_ = false;
        return 0;
    case kMsgTrayIcon:
        logic_->OnTrayEvent(ui::TrayEventFromMessage(static_cast<unsigned>(LOWORD(lparam))));
        return 0;
    case kMsgProbeResult:
        logic_->OnProbeResults();
        return 0;
    default:
        if (message == TaskbarCreatedMessage() && spec_.has_icon) tracker_.TaskbarRestarted();
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Win32Window::OnCommand(int index, int code) {
    if (index < 0) return;
    switch (spec_.controls[static_cast<size_t>(index)].kind) {
    case ControlKind::RadioButton:
        if (code == BN_CLICKED) {
            SelectRadio(index);
            logic_->OnClicked(index);
        }
        break;
    case ControlKind::PushButton:
    case ControlKind::PictureButton:
    case ControlKind::CheckBox:
        if (code == BN_CLICKED) logic_->OnClicked(index);
        break;
    case ControlKind::Edit:
        if (code == EN_CHANGE) logic_->OnTextChanged(index);
        break;
    case ControlKind::ComboBox: {
        // A pick from the dropped list (also of the item already selected),
        // or an arrow key on the closed box.
        // The box follows a pick with a change notice of its own (after
        // SELENDOK on a closed box, after the close-up of a click), so a
        // change counts only when no pick came just before it.
        const bool dropped = ::SendMessageW(ControlHandle(index), CB_GETDROPPEDSTATE, 0, 0) != 0;
        if (code == CBN_SELENDOK) {
            pick_echo_ = true;
            ::PostMessageW(hwnd_, kMsgPickDone, 0, 0);
            logic_->OnItemPicked(index);
        } else if (code == CBN_SELCHANGE && !dropped && !pick_echo_) {
            logic_->OnItemPicked(index);
        }
        break;
    }
    default:
        break;
    }
}

LRESULT Win32Window::OnNotify(const NMHDR& header) {
    const int index = IndexOf(header.hwndFrom);
    if (index < 0) return 0;
    if (spec_.controls[static_cast<size_t>(index)].kind == ControlKind::ListView &&
        header.code == LVN_ITEMCHANGED) {
        // The current item is the focused one: it changes on a click on
        // another row or an arrow key, not on a click into empty space.
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) &&
            !(change.uOldState & LVIS_FOCUSED)) {
            logic_->OnCurrentRowChanged(index);
        }
    }
    return 0;
}

LRESULT Win32Window::OnControlColor(HDC dc, HWND control, bool edit) {
    const int index = IndexOf(control);
    if (index < 0) return ::DefWindowProcW(hwnd_, edit ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                                           reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
    const ui::ControlSpec& c = spec_.controls[static_cast<size_t>(index)];
    COLORREF back = ::GetSysColor(edit ? COLOR_WINDOW : COLOR_BTNFACE);
    if (c.back_color) back = ToColorRef(*c.back_color);
    if (c.text_color) ::SetTextColor(dc, ToColorRef(*c.text_color));
    if (c.kind == ControlKind::Hyperlink) {
        ::SetTextColor(dc, hot_control_ == index ? kLinkHotColour : kLinkColour);
    }
    ::SetBkColor(dc, back);
    for (const auto& [color, brush] : brushes_) {
        if (color == back) return reinterpret_cast<LRESULT>(brush.Get());
    }
    brushes_.emplace_back(back, UniqueGdiObject(::CreateSolidBrush(back)));
    return reinterpret_cast<LRESULT>(brushes_.back().second.Get());
}

void Win32Window::PaintGroupBox(HWND group, const ui::ControlSpec& c) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(group, &ps);
    RECT r;
    ::GetClientRect(group, &r);
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = ::SelectObject(dc, FontFor(c.font));
    const std::wstring caption = Widen(c.text);
    SIZE text{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
    RECT frame = r;
    frame.top += text.cy / 2;
    ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    RECT label{8, 0, 8 + text.cx + 4, text.cy};
    ::FillRect(dc, &label, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(*c.text_color));
    ::TextOutW(dc, 10, 0, caption.c_str(), static_cast<int>(caption.size()));
    ::SelectObject(dc, old);
    ::EndPaint(group, &ps);
}

void Win32Window::OnDrawItem(const DRAWITEMSTRUCT& item) {
    // The contact badge in three shadings: normal, under the mouse, pressed.
    const int index = IndexOf(item.hwndItem);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool hot = !pressed && index >= 0 && hot_control_ == index;
    const RECT r = item.rcItem;
    HDC dc = item.hDC;
    struct Shade {
        COLORREF top, bottom, edge;
    };
    const Shade shade = pressed ? Shade{RGB(0, 96, 196), RGB(0, 128, 230), RGB(0, 64, 140)}
                        : hot   ? Shade{RGB(120, 196, 255), RGB(40, 150, 255), RGB(0, 110, 210)}
                                : Shade{RGB(80, 170, 255), RGB(0, 120, 235), RGB(0, 90, 190)};
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    // A vertical gradient, a line at a time, inside a rounded edge.
    const int height = r.bottom - r.top;
    HRGN round = ::CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, 6, 6);
    ::SelectClipRgn(dc, round);
    for (int y = 0; y < height; ++y) {
        const int t = height > 1 ? y * 255 / (height - 1) : 0;
        auto mix = [t](int a, int b) { return static_cast<BYTE>(a + (b - a) * t / 255); };
        const COLORREF line = RGB(mix(GetRValue(shade.top), GetRValue(shade.bottom)),
                                  mix(GetGValue(shade.top), GetGValue(shade.bottom)),
                                  mix(GetBValue(shade.top), GetBValue(shade.bottom)));
        RECT row{r.left, r.top + y, r.right, r.top + y + 1};
        UniqueGdiObject brush(::CreateSolidBrush(line));
        ::FillRect(dc, &row, static_cast<HBRUSH>(brush.Get()));
    }
    ::SelectClipRgn(dc, nullptr);
    UniqueGdiObject edge(::CreateSolidBrush(shade.edge));
    ::FrameRgn(dc, round, static_cast<HBRUSH>(edge.Get()), 1, 1);
    ::DeleteObject(round);

    // The person: a white head and shoulders in a circle at the left.
    const int shift = pressed ? 1 : 0;
    const int cx = r.left + 11 + shift, cy = r.top + height / 2 + shift;
    UniqueGdiObject white(::CreateSolidBrush(RGB(255, 255, 255)));
    UniqueGdiObject face(::CreateSolidBrush(shade.edge));
    HGDIOBJ old_pen = ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    HGDIOBJ old_brush = ::SelectObject(dc, white.Get());
    ::Ellipse(dc, cx - 8, cy - 8, cx + 9, cy + 9);
    ::SelectObject(dc, face.Get());
    ::Ellipse(dc, cx - 3, cy - 6, cx + 4, cy + 1);
    ::Pie(dc, cx - 6, cy + 1, cx + 7, cy + 12, cx + 7, cy + 6, cx - 6, cy + 6);
    ::SelectObject(dc, old_brush);
    ::SelectObject(dc, old_pen);

    // The account, as the contact page knows it.
    RECT text{r.left + 21 + shift, r.top + shift, r.right - 2 + shift, r.bottom + shift};
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    HGDIOBJ old_font = ::SelectObject(dc, FontFor(nullptr));
    ::DrawTextW(dc, L"10000", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, old_font);
}

void Win32Window::SelectRadio(int index) {
    // The user's click selects this radio and clears the others that share
    // its parent, as an automatic radio group does.
    const int parent = spec_.controls[static_cast<size_t>(index)].parent;
    for (size_t i = 0; i < spec_.controls.size(); ++i) {
        const ui::ControlSpec& other = spec_.controls[i];
        if (other.kind == ControlKind::RadioButton && other.parent == parent) {
            ::SendMessageW(controls_[i], BM_SETCHECK,
                           static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

// ---- keyboard -------------------------------------------------------------

bool Win32Window::TakesEnter(HWND focus) const {
    if (IsClass(focus, L"EDIT")) {
        return HasStyle(focus, ES_MULTILINE) && !HasStyle(focus, ES_READONLY);
    }
    return false;
}

bool Win32Window::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !hwnd_) return false;
    if (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)) return false;
    HWND focus = ::GetFocus();
    // An open drop-down list keeps its own Enter and Esc.
    const int focus_index = IndexOf(focus);
    const bool dropped = focus_index >= 0 &&
                         spec_.controls[static_cast<size_t>(focus_index)].kind ==
                             ControlKind::ComboBox &&
                         ::SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0) != 0;
    switch (msg.wParam) {
    case VK_RETURN: {
        if (dropped || TakesEnter(focus)) return false;
        const int button = spec_.DefaultButton();
        if (button >= 0 && ::IsWindowEnabled(ControlHandle(button))) logic_->OnClicked(button);
        return true;
    }
    case VK_ESCAPE:
        if (dropped) return false;
        if (spec_.esc_closes) ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        return true;
    case VK_TAB:
        MoveFocus(::GetKeyState(VK_SHIFT) < 0);
        return true;
    default:
        return false;
    }
}

void Win32Window::MoveFocus(bool backwards) {
    const int count = static_cast<int>(controls_.size());
    if (count == 0) return;
    int at = IndexOf(::GetFocus());
    if (at < 0) at = backwards ? 0 : count - 1;
    for (int step = 1; step <= count; ++step) {
        const int i = ((backwards ? at - step : at + step) % count + count) % count;
        HWND control = controls_[static_cast<size_t>(i)];
        if (control && spec_.controls[static_cast<size_t>(i)].Has(ui::kTabStop) &&
            ::IsWindowVisible(control) && ::IsWindowEnabled(control)) {
            ::SetFocus(control);
            if (IsClass(control, L"EDIT")) ::SendMessageW(control, EM_SETSEL, 0, -1);
            return;
        }
    }
}

// ---- ui::Controls ---------------------------------------------------------

std::string Win32Window::Title() { return WideText(hwnd_); }
void Win32Window::SetTitle(std::string_view title) { SetWideText(hwnd_, title); }
bool Win32Window::Minimized() { return ::IsIconic(hwnd_) != 0; }
void Win32Window::SetVisible(bool visible) { ::ShowWindow(hwnd_, visible ? SW_SHOW : SW_HIDE); }
void Win32Window::Restore() { ::ShowWindow(hwnd_, SW_RESTORE); }
void Win32Window::Activate() {
    ::SetActiveWindow(hwnd_);
    ::SetForegroundWindow(hwnd_);
}

void Win32Window::ShowWebPage(int control, std::string_view address) {
    HWND placeholder = ControlHandle(control);
    if (!placeholder) return;
    RECT r;
    ::GetWindowRect(placeholder, &r);
    HWND parent = ::GetParent(placeholder);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    HWND browser = CreateWebBrowser(parent, r, ControlId(control), Widen(address));
    if (!browser) return;  // the empty box stays
    // In the placeholder's place in the z-order, under the covers at its edges.
    ::SetWindowPos(browser, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::DestroyWindow(placeholder);
    controls_[static_cast<size_t>(control)] = browser;
}

void Win32Window::Destroy() {
    if (destroy_requested_ || !hwnd_) return;
    destroy_requested_ = true;
    ::PostMessageW(hwnd_, kMsgDestroyRequest, 0, 0);
}

std::string Win32Window::Text(int control) { return WideText(ControlHandle(control)); }
void Win32Window::SetText(int control, std::string_view text) {
    SetWideText(ControlHandle(control), text);
}
bool Win32Window::Enabled(int control) { return ::IsWindowEnabled(ControlHandle(control)) != 0; }
void Win32Window::SetEnabled(int control, bool enabled) {
    ::EnableWindow(ControlHandle(control), enabled);
}
bool Win32Window::Checked(int control) {
    return ::SendMessageW(ControlHandle(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Win32Window::SetChecked(int control, bool checked) {
    ::SendMessageW(ControlHandle(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32Window::Selection(int control) {
    return static_cast<int>(::SendMessageW(ControlHandle(control), CB_GETCURSEL, 0, 0));
}
void Win32Window::SetSelection(int control, int index) {
    ::SendMessageW(ControlHandle(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
std::string Win32Window::ItemText(int control, int index) {
    HWND combo = ControlHandle(control);
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return Narrow(text);
}

int Win32Window::SelectedRow(int control) {
    return static_cast<int>(ListView_GetNextItem(ControlHandle(control), -1, LVNI_SELECTED));
}
int Win32Window::RowCount(int control) {
    return static_cast<int>(ListView_GetItemCount(ControlHandle(control)));
}
int Win32Window::RowValue(int control, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !::SendMessageW(ControlHandle(control), LVM_GETITEMW, 0,
                                   reinterpret_cast<LPARAM>(&item))) {
        return 0;
    }
    return static_cast<int>(item.lParam);
}
void Win32Window::DeleteAllRows(int control) { ListView_DeleteAllItems(ControlHandle(control)); }
int Win32Window::AppendRow(int control, std::string_view text, int value) {
    HWND list = ControlHandle(control);
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = wide.data();
    item.lParam = value;
    return static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0,
                                           reinterpret_cast<LPARAM>(&item)));
}
void Win32Window::SetCell(int control, int row, int column, std::string_view text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    ::SendMessageW(ControlHandle(control), LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}
void Win32Window::SetStateImage(int control, int row, int image) {
    const UINT state = image < 0 ? 0 : INDEXTOSTATEIMAGEMASK(static_cast<UINT>(image) + 1);
    ListView_SetItemState(ControlHandle(control), row, state, LVIS_STATEIMAGEMASK);
}
void Win32Window::SetRedraw(int control, bool redraw) {
    HWND list = ControlHandle(control);
    ::SendMessageW(list, WM_SETREDRAW, redraw, 0);
    if (redraw) ::InvalidateRect(list, nullptr, TRUE);
}

void Win32Window::SetPicture(int control, ui::Picture picture) {
    HWND box = ControlHandle(control);
    if (picture == ui::Picture::Padlock && !padlock_) {
        padlock_.Reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                       MAKEINTRESOURCEW(IDI_PADLOCK), IMAGE_ICON,
                                                       32, 32, 0)));
    }
    ::SendMessageW(box, STM_SETICON,
                   reinterpret_cast<WPARAM>(picture == ui::Picture::Padlock ? padlock_.Get()
                                                                             : nullptr),
                   0);
}

}  // namespace tessoral::win32
