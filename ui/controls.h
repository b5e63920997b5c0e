// What the handlers may do with a window and its controls. Controls are
// addressed by their index in the window's table (the enums of layouts.h).
// The Win32 backend works on real controls; tests use an in-memory one.
#pragma once

#include <string>
#include <string_view>

namespace tessoral::ui {

enum class Picture { None, Padlock };

class Controls {
public:
    virtual ~Controls() = default;

    // The window itself.
    virtual std::string Title() = 0;
    virtual void SetTitle(std::string_view title) = 0;
    virtual bool Minimized() = 0;
    virtual void SetVisible(bool visible) = 0;
    // Out of the minimised state, shown and active again.
    virtual void Restore() = 0;
    virtual void Activate() = 0;
    // A request: the window goes when control is back in the message loop,
    // without any close handling.
    virtual void Destroy() = 0;

    // Edit boxes and captions.
    virtual std::string Text(int control) = 0;
    virtual void SetText(int control, std::string_view text) = 0;
    virtual bool Enabled(int control) = 0;
    virtual void SetEnabled(int control, bool enabled) = 0;

    // Check boxes and radio buttons. Setting one radio's mark leaves the
    // other radios of its group as they are.
    virtual bool Checked(int control) = 0;
    virtual void SetChecked(int control, bool checked) = 0;

    // Combo boxes: the selected index, -1 for none.
    virtual int Selection(int control) = 0;
    virtual void SetSelection(int control, int index) = 0;
    virtual std::string ItemText(int control, int index) = 0;

    // List views, rows by 0-based index.
    virtual int SelectedRow(int control) = 0;
    virtual int RowCount(int control) = 0;
    // 0 for a row that does not exist.
    virtual int RowValue(int control, int row) = 0;
    virtual void DeleteAllRows(int control) = 0;
    virtual int AppendRow(int control, std::string_view text, int value) = 0;
    virtual void SetCell(int control, int row, int column, std::string_view text) = 0;
    // -1 shows no picture.
    virtual void SetStateImage(int control, int row, int image) = 0;
    // Batches changes of many rows: no redraw until the matching call with false.
    virtual void SetRedraw(int control, bool redraw) = 0;

    virtual void SetPicture(int control, Picture picture) = 0;
    // A browser box: load the page (once; an empty box when no browser works).
    virtual void ShowWebPage(int control, std::string_view address) = 0;
};

}  // namespace tessoral::ui
