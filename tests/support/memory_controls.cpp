#include "tests/support/memory_controls.h"

#include <stdexcept>

namespace tessoral::testing {

MemoryControls::MemoryControls(const ui::WindowSpec& spec) : spec_(spec), title_(spec.title) {
    controls_.reserve(spec.controls.size());
    for (const ui::ControlSpec& s : spec.controls) {
        Control c;
        c.text = s.text;
        c.enabled = !s.Has(ui::kDisabled);
        c.checked = s.Has(ui::kChecked);
        c.items.assign(s.items.begin(), s.items.end());
        if (s.kind == ui::ControlKind::ComboBox && !c.items.empty()) c.selection = 0;
        controls_.push_back(std::move(c));
    }
}

void MemoryControls::Type(int control, std::string_view text) {
    Control& c = At(control);
    const int limit = spec_.controls.at(static_cast<size_t>(control)).max_length;
    int characters = 0;
    for (size_t i = 0; i < c.text.size(); ++i, ++characters) {
        if (static_cast<unsigned char>(c.text[i]) >= 0x80) ++i;
    }
    for (size_t i = 0; i < text.size(); ++characters) {
        if (limit > 0 && characters >= limit) return;
        const size_t width = static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
        c.text.append(text.substr(i, width));
        i += width;
    }
}

void MemoryControls::SelectRow(int control, int row) {
    Control& c = At(control);
    if (row != -1) FindRow(control, row);
    c.selected_row = row;
}

void MemoryControls::SetSelection(int control, int index) {
    Control& c = At(control);
    // Like the combo box: an index outside the list leaves nothing selected.
    c.selection = index >= 0 && index < static_cast<int>(c.items.size()) ? index : -1;
}

std::string MemoryControls::ItemText(int control, int index) {
    const Control& c = At(control);
    if (index < 0 || index >= static_cast<int>(c.items.size())) return std::string();
    return c.items[static_cast<size_t>(index)];
}

int MemoryControls::RowValue(int control, int row) {
    const Control& c = At(control);
    if (row < 0 || row >= static_cast<int>(c.rows.size())) return 0;
    return c.rows[static_cast<size_t>(row)].value;
}

void MemoryControls::DeleteAllRows(int control) {
    Control& c = At(control);
    c.rows.clear();
    c.selected_row = -1;
}

int MemoryControls::AppendRow(int control, std::string_view text, int value) {
    Control& c = At(control);
    Row row;
    row.value = value;
    row.cells[0] = text;
    c.rows.push_back(std::move(row));
    return static_cast<int>(c.rows.size()) - 1;
}

void MemoryControls::SetCell(int control, int row, int column, std::string_view text) {
    FindRow(control, row).cells.at(static_cast<size_t>(column)) = text;
}

void MemoryControls::SetStateImage(int control, int row, int image) {
    FindRow(control, row).state_image = image;
}

MemoryControls::Row& MemoryControls::FindRow(int control, int row) {
    Control& c = At(control);
    if (row < 0 || row >= static_cast<int>(c.rows.size())) {
        throw std::out_of_range("row " + std::to_string(row) + " of control " +
                                std::to_string(control) + " does not exist");
    }
    return c.rows[static_cast<size_t>(row)];
}

}  // namespace tessoral::testing
