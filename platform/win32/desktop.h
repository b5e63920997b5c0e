// The Win32 side of the window logic's services: windows and their loops,
// message boxes, named events, folders and files.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/data_protection.h"
#include "platform/win32/file_store.h"
#include "platform/win32/process.h"
#include "platform/win32/registry.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/probe_service.h"
#include "platform/win32/window.h"
#include "ui/program_state.h"
#include "ui/services.h"

namespace tessoral::win32 {

class Win32Desktop final : public ui::Services, public WindowTracker {
public:
    explicit Win32Desktop(ui::ProgramState& state) : state_(state) {}
    ~Win32Desktop() override;

    int ShowMessage(std::string_view text, std::string_view title, unsigned flags) override;
    bool EventExists(std::string_view name) override;
    void CreateNamedEvent(std::string_view name) override;
    void LoadWindow(ui::WindowId id, bool modal) override;
    // The same with a logic of the caller's choosing (tests, tools).
    void LoadWindow(ui::WindowId id, bool modal, std::unique_ptr<ui::WindowLogic> logic);
    [[noreturn]] void ExitNow() override;
    void CreateFolder(const std::string& path) override;
    bool PathExists(const std::string& path) override;
    std::string ReadProfileString(const std::string& section, const std::string& key,
                                  const std::string& fallback, const std::string& path) override;
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& path) override;
    FileStore& Files() override { return files_; }
    void AddTrayIcon(std::string_view tip) override;
    void OpenWebPage(const std::string& address) override;
    const TrayIcon& Tray() const { return tray_; }
    PasswordProtector& Protector() override { return protector_; }
    Registry& UserRegistry() override { return registry_; }
    ProcessLauncher& Launcher() override { return launcher_; }
    void StartProbes(std::vector<ProbeTarget> targets) override;
    std::vector<ProbeResult> TakeProbeResults() override;

    // How probes look names up (tests put in one that asks no DNS).
    void SetNameLookup(NameLookup look_up) { look_up_ = std::move(look_up); }

    // From here on the last window to go ends the loop, and the program.
    // Returns at once when no window is left.
    int RunMessageLoop();

    Win32Window* Find(ui::WindowId id);
    // Handles what is in the queue now, as the loop would, and returns.
    void PumpPending();

    void WindowDestroying(Win32Window& window) override;
    void WindowGone(Win32Window& window) override;
    void TaskbarRestarted() override { tray_.AddAgain(); }

private:
    struct Entry {
        ui::WindowId id;
        std::unique_ptr<Win32Window> window;
        std::vector<HWND> disabled;  // what a modal window disabled, to enable again
    };

    void Dispatch(MSG& msg);
    Entry* EntryOf(const Win32Window& window);

    ui::ProgramState& state_;
    Win32FileStore files_;
    Win32PasswordProtector protector_;
    Win32Registry registry_;
    Win32ProcessLauncher launcher_;
    TrayIcon tray_;
    std::vector<Entry> windows_;
    std::vector<std::unique_ptr<Win32Window>> gone_;  // freed once the loop is back
    bool main_loop_running_ = false;
    NameLookup look_up_ = LookUpName;
    // Made with the first pass and kept to the end of the process: its
    // threads may still be connecting when the last window has gone.
    ProbeService* probes_ = nullptr;
};

}  // namespace tessoral::win32
