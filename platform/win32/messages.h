// Every private window message of the program, in one place.
#pragma once

#include <windows.h>

namespace tessoral::win32 {

// Posted by Controls::Destroy: the window goes when the loop gets here.
inline constexpr UINT kMsgDestroyRequest = WM_APP + 1;
// Posted by a probe worker with its result (position, status).
inline constexpr UINT kMsgProbeResult = WM_APP + 2;
// Posted after a combo box pick: its echoing change notices are past.
inline constexpr UINT kMsgPickDone = WM_APP + 3;
// The notification-area icon's callback message.
inline constexpr UINT kMsgTrayIcon = WM_APP + 100;

}  // namespace tessoral::win32
