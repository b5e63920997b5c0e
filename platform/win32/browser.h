// The system's web browser control in a child window, for the banner.
#pragma once

#include <windows.h>

#include <string>

namespace tessoral::win32 {

// Creates the browser in `rect` of `parent`, online, silent and at text
// zoom 2, and loads `address` once. nullptr where no browser control works;
// the caller then keeps an empty box.
HWND CreateWebBrowser(HWND parent, const RECT& rect, int id, const std::wstring& address);

}  // namespace tessoral::win32
