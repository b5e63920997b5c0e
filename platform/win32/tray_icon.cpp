#include "platform/win32/tray_icon.h"

#include <shellapi.h>

#include "app/resource.h"
#include "platform/win32/messages.h"

namespace tessoral::win32 {

bool TrayIcon::Add(HWND owner, const std::wstring& tip) {
    Remove();
    owner_ = owner;
    tip_ = tip;
    // The 48-pixel picture; the shell scales it to the notification area.
    icon_.Reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                MAKEINTRESOURCEW(IDI_TESSORAL), IMAGE_ICON, 48,
                                                48, 0)));
    return Notify(NIM_ADD);
}

void TrayIcon::AddAgain() {
    if (owner_) Notify(NIM_ADD);
}

void TrayIcon::Remove() {
    if (!owner_) return;
    Notify(NIM_DELETE);
    owner_ = nullptr;
    icon_.Reset();  // destroyed only once the shell has let go of it
}

bool TrayIcon::Notify(DWORD message) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = owner_;
    data.uID = kId;
    if (message == NIM_ADD) {
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = kMsgTrayIcon;
        data.hIcon = icon_.Get();
        ::lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(sizeof data.szTip / sizeof(wchar_t)));
    }
    return ::Shell_NotifyIconW(message, &data) != 0;
}

}  // namespace tessoral::win32
