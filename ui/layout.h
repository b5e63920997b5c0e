// Windows as data: each window is one table of controls, and one builder
// (the Win32 backend, or the in-memory one of the tests) makes them real.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessoral::ui {

enum class ControlKind {
    Label,
    GroupBox,
    PushButton,
    Edit,
    CheckBox,
    RadioButton,
    ComboBox,
    ListView,
    TabControl,
    PictureBox,
    Hyperlink,
    PictureButton,
    Browser,
    Timer,      // no window of its own
    TcpClient,  // no window of its own
};

// Settings a control may have beyond its kind.
enum ControlFlag : uint32_t {
    kTabStop = 1u << 0,
    kDefaultButton = 1u << 1,
    kDisabled = 1u << 2,
    kChecked = 1u << 3,      // radio buttons and check boxes
    kMultiLine = 1u << 4,
    kReadOnly = 1u << 5,
    kPassword = 1u << 6,     // shown as "*"
    kVScroll = 1u << 7,
    kSunkenEdge = 1u << 8,   // thin sunken edit edge
    kGroupStart = 1u << 9,   // first radio button of its group
};

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct FontSpec {
    const char* face;  // code page 936
    int height;        // LOGFONT height: negative is the character height
    int weight;        // 400 normal, 700 bold
};

enum class Align { Left, Centre };

struct ColumnSpec {
    const char* title;
    int width;
    Align align;
};

inline constexpr int kWindowParent = -1;

struct ControlSpec {
    const char* name;  // the control's identifier, as the handlers know it
    ControlKind kind;
    int parent;        // index of the parent control, or kWindowParent
    int x, y, width, height;
    const char* text;  // caption or initial text; empty for none
    uint32_t flags = 0;
    int max_length = 0;  // edit boxes: 0 means no limit
    const FontSpec* font = nullptr;  // nullptr: the system's default GUI font
    const Rgb* text_color = nullptr;
    const Rgb* back_color = nullptr;
    std::vector<const char*> items = {};  // combo box items, tab titles
    std::vector<ColumnSpec> columns = {};  // list view columns

    bool Has(ControlFlag flag) const { return (flags & flag) != 0; }
    bool HasWindow() const { return kind != ControlKind::Timer && kind != ControlKind::TcpClient; }
};

struct WindowSpec {
    const char* name;
    const char* title;
    int width, height;  // outer size, frame and title bar included
    bool minimize_box;
    bool has_icon;
    bool esc_closes;
    std::vector<ControlSpec> controls;

    // Index of the default button, or -1.
    int DefaultButton() const;
    // Index of the control with this name, or -1.
    int IndexOf(const char* control_name) const;
};

}  // namespace tessoral::ui
