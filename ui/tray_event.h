// What a mouse action on the notification-area icon means to the program.
#pragma once

namespace tessoral::ui {

enum class TrayEvent { None = 0, Click = 1, DoubleClick = 2, Menu = 3 };

// From the icon's callback message: its lParam holds the mouse message.
inline TrayEvent TrayEventFromMessage(unsigned mouse_message) {
    switch (mouse_message) {
    case 0x0202: return TrayEvent::Click;        // WM_LBUTTONUP
    case 0x0203: return TrayEvent::DoubleClick;  // WM_LBUTTONDBLCLK
    case 0x0205:                                 // WM_RBUTTONUP
    case 0x007B: return TrayEvent::Menu;         // WM_CONTEXTMENU
    default: return TrayEvent::None;
    }
}

}  // namespace tessoral::ui
