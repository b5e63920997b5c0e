#include "platform/win32/desktop.h"

#include <algorithm>

#include <shellapi.h>

#include "platform/win32/text_convert.h"
#include "ui/window_factory.h"

namespace tessoral::win32 {

Win32Desktop::~Win32Desktop() = default;

int Win32Desktop::ShowMessage(std::string_view text, std::string_view title, unsigned flags) {
    if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
    return ::MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(), flags);
}

bool Win32Desktop::EventExists(std::string_view name) {
    // The handle is kept: these events live as long as the process.
    return ::OpenEventW(EVENT_ALL_ACCESS, FALSE, Widen(name).c_str()) != nullptr;
}

void Win32Desktop::CreateNamedEvent(std::string_view name) {
    ::CreateEventW(nullptr, FALSE, FALSE, Widen(name).c_str());
}

void Win32Desktop::AddTrayIcon(std::string_view tip) {
    if (Win32Window* main = Find(ui::WindowId::Main)) tray_.Add(main->Handle(), Widen(tip));
}

void Win32Desktop::OpenWebPage(const std::string& address) {
    ::ShellExecuteW(nullptr, L"open", Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Desktop::StartProbes(std::vector<ProbeTarget> targets) {
    if (!probes_) {
        Win32Window* main = Find(ui::WindowId::Main);
        if (!main) return;
        ProbeService::Options options;
        options.look_up = look_up_;
        probes_ = new ProbeService(main->Handle(), std::move(options));
    }
    probes_->Start(std::move(targets));
}

std::vector<ProbeResult> Win32Desktop::TakeProbeResults() {
    return probes_ ? probes_->TakeResults() : std::vector<ProbeResult>{};
}

void Win32Desktop::CreateFolder(const std::string& path) { win32::CreateFolder(path); }

bool Win32Desktop::PathExists(const std::string& path) { return win32::PathExists(path); }

namespace {

// The profile functions keep an INI file in the system code page. Handing
// them our code page 936 bytes as if they were system text makes the file
// hold exactly those bytes on any system, while the path goes through the
// wide call correctly.
std::wstring AsSystemText(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, out.data(), wide);
    return out;
}

std::string FromSystemText(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int narrow =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(narrow), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), narrow, nullptr, nullptr);
    return out;
}

}  // namespace

std::string Win32Desktop::ReadProfileString(const std::string& section, const std::string& key,
                                            const std::string& fallback,
                                            const std::string& path) {
    std::wstring buffer(10240, L'\0');
    const DWORD got = ::GetPrivateProfileStringW(
        AsSystemText(section).c_str(), AsSystemText(key).c_str(), AsSystemText(fallback).c_str(),
        buffer.data(), static_cast<DWORD>(buffer.size()), Widen(path).c_str());
    buffer.resize(got);
    return FromSystemText(buffer);
}

void Win32Desktop::WriteProfileString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& path) {
    ::WritePrivateProfileStringW(AsSystemText(section).c_str(), AsSystemText(key).c_str(),
                                 AsSystemText(value).c_str(), Widen(path).c_str());
}

void Win32Desktop::ExitNow() { ::ExitProcess(0); }

Win32Window* Win32Desktop::Find(ui::WindowId id) {
    for (Entry& e : windows_) {
        if (e.id == id && e.window->Handle()) return e.window.get();
    }
    return nullptr;
}

Win32Desktop::Entry* Win32Desktop::EntryOf(const Win32Window& window) {
    for (Entry& e : windows_) {
        if (e.window.get() == &window) return &e;
    }
    return nullptr;
}

void Win32Desktop::LoadWindow(ui::WindowId id, bool modal) {
    LoadWindow(id, modal, ui::MakeWindowLogic(id, state_, *this));
}

void Win32Desktop::LoadWindow(ui::WindowId id, bool modal,
                              std::unique_ptr<ui::WindowLogic> logic) {
    // The dialogs opened from the main window belong to it; the sign-in
    // window and the main window have no owner.
    HWND owner = nullptr;
    if (id == ui::WindowId::ServerDialog || id == ui::WindowId::PasswordSetup) {
        if (Win32Window* main = Find(ui::WindowId::Main)) owner = main->Handle();
    }
    auto window = std::make_unique<Win32Window>(ui::SpecOf(id), std::move(logic), *this);
    Win32Window* raw = window.get();
    std::vector<HWND> disabled;
    if (modal) {
        for (Entry& e : windows_) {
            HWND other = e.window->Handle();
            if (other && ::IsWindowEnabled(other)) {
                ::EnableWindow(other, FALSE);
                disabled.push_back(other);
            }
        }
    }
    windows_.push_back(Entry{id, std::move(window), std::move(disabled)});
    if (!raw->Create(owner)) {
        WindowDestroying(*raw);
        WindowGone(*raw);
        return;
    }
    if (!modal) return;

    // The window's own loop: back only when the window is gone.
    MSG msg;
    while (EntryOf(*raw) != nullptr) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        Dispatch(msg);
    }
}

void Win32Desktop::Dispatch(MSG& msg) {
    for (Entry& e : windows_) {
        if (e.window->Handle() && e.window->PreTranslate(msg)) return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    gone_.clear();
}

void Win32Desktop::WindowDestroying(Win32Window& window) {
    // Enable the other windows again before this one goes, so that Windows
    // hands the activation back to them.
    Entry* entry = EntryOf(window);
    if (!entry) return;
    // The notification-area icon goes with the main window, however it goes.
    if (tray_.Owner() == window.Handle()) tray_.Remove();
    for (HWND other : entry->disabled) ::EnableWindow(other, TRUE);
    entry->disabled.clear();
}

void Win32Desktop::WindowGone(Win32Window& window) {
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](const Entry& e) { return e.window.get() == &window; });
    if (it == windows_.end()) return;
    if (tray_.Shown() && !::IsWindow(tray_.Owner())) tray_.Remove();
    for (HWND other : it->disabled) ::EnableWindow(other, TRUE);
    // The window's own procedure is still on the stack: free it later.
    gone_.push_back(std::move(it->window));
    windows_.erase(it);
    if (main_loop_running_ && windows_.empty()) ::PostQuitMessage(0);
}

void Win32Desktop::PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

int Win32Desktop::RunMessageLoop() {
    main_loop_running_ = true;
    gone_.clear();
    if (windows_.empty()) return 0;
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got < 0) return 1;
        Dispatch(msg);
    }
}

}  // namespace tessoral::win32
