// The main window's icon in the notification area.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handle.h"

namespace tessoral::win32 {

class TrayIcon {
public:
    static constexpr UINT kId = 100;

    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { Remove(); }

    // Adds the icon for `owner`; the callback message is kMsgTrayIcon.
    bool Add(HWND owner, const std::wstring& tip);
    // After Explorer restarts, its new taskbar knows no icons: add ours again.
    void AddAgain();
    void Remove();
    bool Shown() const { return owner_ != nullptr; }
    HWND Owner() const { return owner_; }

private:
    bool Notify(DWORD message);

    HWND owner_ = nullptr;
    std::wstring tip_;
    UniqueIcon icon_;
};

}  // namespace tessoral::win32
