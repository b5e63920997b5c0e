// An in-memory ui::Controls for native tests, built from a window's table.
// It only keeps state; what a click does is the fake window host's business.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/layout.h"

namespace tessoral::testing {

class MemoryControls : public ui::Controls {
public:
    struct Row {
        int value = 0;
        std::array<std::string, 4> cells;  // cells[0] is the row's own text
        int state_image = -1;
        const std::string& text() const { return cells[0]; }
    };

    struct Control {
        std::string text;
        bool enabled = true;
        bool checked = false;
        int selection = -1;
        std::vector<std::string> items;
        std::vector<Row> rows;
        int selected_row = -1;
        bool redraw = true;
        ui::Picture picture = ui::Picture::None;
    };

    explicit MemoryControls(const ui::WindowSpec& spec);

    const ui::WindowSpec& spec() const { return spec_; }
    bool destroy_requested() const { return destroy_requested_; }
    bool visible() const { return visible_; }
    void set_minimized(bool minimized) { minimized_ = minimized; }
    // Throws for an index outside the table.
    Control& At(int control) { return controls_.at(static_cast<size_t>(control)); }
    const std::vector<Row>& Rows(int control) { return At(control).rows; }

    // Appends `text` as the user's typing would: whole characters, and none
    // past the box's length limit (counted in characters, as Windows does).
    void Type(int control, std::string_view text);
    // The user picks a row; -1 clears the selection.
    void SelectRow(int control, int row);

    std::string Title() override { return title_; }
    void SetTitle(std::string_view title) override { title_ = title; }
    bool Minimized() override { return minimized_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    void Restore() override {
        minimized_ = false;
        visible_ = true;
        ++activations_;
    }
    void Activate() override { ++activations_; }
    int activations() const { return activations_; }
    void ShowWebPage(int control, std::string_view address) override {
        At(control).text = std::string(address);  // the page a browser box shows
    }
    void Destroy() override { destroy_requested_ = true; }

    std::string Text(int control) override { return At(control).text; }
    void SetText(int control, std::string_view text) override { At(control).text = text; }
    bool Enabled(int control) override { return At(control).enabled; }
    void SetEnabled(int control, bool enabled) override { At(control).enabled = enabled; }

    bool Checked(int control) override { return At(control).checked; }
    void SetChecked(int control, bool checked) override { At(control).checked = checked; }

    int Selection(int control) override { return At(control).selection; }
    void SetSelection(int control, int index) override;
    std::string ItemText(int control, int index) override;

    int SelectedRow(int control) override { return At(control).selected_row; }
    int RowCount(int control) override { return static_cast<int>(At(control).rows.size()); }
    int RowValue(int control, int row) override;
    void DeleteAllRows(int control) override;
    int AppendRow(int control, std::string_view text, int value) override;
    void SetCell(int control, int row, int column, std::string_view text) override;
    void SetStateImage(int control, int row, int image) override;
    void SetRedraw(int control, bool redraw) override { At(control).redraw = redraw; }

    void SetPicture(int control, ui::Picture picture) override { At(control).picture = picture; }

private:
    // Throws for a row that is not there: the real list view would ignore
    // the call silently, and the fault with it.
    Row& FindRow(int control, int row);

    const ui::WindowSpec& spec_;
    std::vector<Control> controls_;
    std::string title_;
    bool minimized_ = false;
    bool visible_ = true;
    int activations_ = 0;
    bool destroy_requested_ = false;
};

}  // namespace tessoral::testing
