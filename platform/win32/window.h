// A window built from its table: real Win32 controls behind ui::Controls,
// and the Win32 notifications turned into the logic's events.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/handle.h"
#include "ui/controls.h"
#include "ui/layout.h"
#include "ui/window_logic.h"

namespace tessoral::win32 {

class Win32Window;

// Told when windows come and go, so that modal loads and the end of the
// program can follow them.
class WindowTracker {
public:
    virtual ~WindowTracker() = default;
    virtual void WindowDestroying(Win32Window& window) = 0;
    virtual void WindowGone(Win32Window& window) = 0;
    // Explorer has started again, with an empty notification area.
    virtual void TaskbarRestarted() = 0;
};

// The control id of the control at `index` in its window's table.
inline constexpr int ControlId(int index) { return 100 + index; }

class Win32Window final : public ui::Controls {
public:
    Win32Window(const ui::WindowSpec& spec, std::unique_ptr<ui::WindowLogic> logic,
                WindowTracker& tracker);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Builds the window and its controls, runs the created handler, then
    // shows the window unless the handler asked for it to go.
    bool Create(HWND owner);

    HWND Handle() const { return hwnd_; }
    const ui::WindowSpec& Spec() const { return spec_; }
    HWND ControlHandle(int index) const;
    // Enter, Esc and Tab, as every window of the program treats them. True
    // when the message was used up.
    bool PreTranslate(const MSG& msg);

    // ui::Controls
    std::string Title() override;
    void SetTitle(std::string_view title) override;
    bool Minimized() override;
    void SetVisible(bool visible) override;
    void Restore() override;
    void Activate() override;
    void Destroy() override;
    std::string Text(int control) override;
    void SetText(int control, std::string_view text) override;
    bool Enabled(int control) override;
    void SetEnabled(int control, bool enabled) override;
    bool Checked(int control) override;
    void SetChecked(int control, bool checked) override;
    int Selection(int control) override;
    void SetSelection(int control, int index) override;
    std::string ItemText(int control, int index) override;
    int SelectedRow(int control) override;
    int RowCount(int control) override;
    int RowValue(int control, int row) override;
    void DeleteAllRows(int control) override;
    int AppendRow(int control, std::string_view text, int value) override;
    void SetCell(int control, int row, int column, std::string_view text) override;
    void SetStateImage(int control, int row, int image) override;
    void SetRedraw(int control, bool redraw) override;
    void SetPicture(int control, ui::Picture picture) override;
    void ShowWebPage(int control, std::string_view address) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK HoverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                           UINT_PTR id, DWORD_PTR data);
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void OnCommand(int index, int code);
    LRESULT OnNotify(const NMHDR& header);
    LRESULT OnControlColor(HDC dc, HWND control, bool edit);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void PaintGroupBox(HWND group, const ui::ControlSpec& control);
    void BuildControls();
    HWND BuildControl(const ui::ControlSpec& control, int index);
    HFONT FontFor(const ui::FontSpec* font);
    int IndexOf(HWND control) const;
    void MoveFocus(bool backwards);
    void SelectRadio(int index);
    bool TakesEnter(HWND focus) const;

    const ui::WindowSpec& spec_;
    std::unique_ptr<ui::WindowLogic> logic_;
    WindowTracker& tracker_;
    HWND hwnd_ = nullptr;
    bool destroy_requested_ = false;
    bool created_ = false;     // the created handler has run
    int hot_control_ = -1;
    bool pick_echo_ = false;   // a combo box pick whose echo may follow     // the link or picture button under the mouse
    HWND last_focus_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<UniqueGdiObject> fonts_;
    std::vector<std::pair<const ui::FontSpec*, HFONT>> font_cache_;
    std::vector<std::pair<COLORREF, UniqueGdiObject>> brushes_;
    UniqueIcon padlock_;
};

}  // namespace tessoral::win32
