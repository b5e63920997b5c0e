// The platform services the window logic needs, injected so that tests can
// run every handler with fakes.
#pragma once

#include <string>
#include <string_view>

#include <vector>

#include "core/data_protection.h"
#include "core/file_store.h"
#include "core/launch_options.h"
#include "core/probe.h"
#include "ui/layouts.h"

namespace tessoral::ui {

// Message box flags and answers, as the Windows message box has them.
enum MessageFlags : unsigned {
    kMbOk = 0,
    kMbOkCancel = 1,
    kMbYesNo = 4,
    kMbIconError = 16,
    kMbIconInformation = 64,
    kMbSystemModal = 4096,
    kMbTaskModal = 8192,
};
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

class Services {
public:
    virtual ~Services() = default;

    // A message box with no owner window. The task-modal flag is added
    // whenever the flags do not ask for a system-modal box.
    virtual int ShowMessage(std::string_view text, std::string_view title, unsigned flags) = 0;

    // Named events that mark a running copy of the program.
    virtual bool EventExists(std::string_view name) = 0;
    virtual void CreateNamedEvent(std::string_view name) = 0;

    // Builds a window from its table and runs its created handler. Modal:
    // returns once the window is destroyed, the other windows disabled
    // meanwhile. Otherwise returns at once.
    virtual void LoadWindow(WindowId id, bool modal) = 0;

    // Ends the process at once with exit code 0; no close handling runs.
    virtual void ExitNow() = 0;

    virtual void CreateFolder(const std::string& path) = 0;
    // Whether a file or folder of that name exists.
    virtual bool PathExists(const std::string& path) = 0;

    // An INI file through the system's private-profile functions; texts
    // and the file's bytes are code page 936.
    virtual std::string ReadProfileString(const std::string& section, const std::string& key,
                                          const std::string& fallback,
                                          const std::string& path) = 0;
    virtual void WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& path) = 0;
    virtual FileStore& Files() = 0;

    // The notification-area icon of the main window, with its tip; it goes
    // with the main window, however that is destroyed.
    virtual void AddTrayIcon(std::string_view tip) = 0;
    // Opens the address with the user's default handler for it.
    virtual void OpenWebPage(const std::string& address) = 0;

    // What a connect needs: the Data Protection API, the per-user registry,
    // and the start of the Remote Desktop client.
    virtual PasswordProtector& Protector() = 0;
    virtual Registry& UserRegistry() = 0;
    virtual ProcessLauncher& Launcher() = 0;

    // Starts one probe per target and returns at once. Results come back
    // to the main window's OnProbeResults, on the GUI thread.
    virtual void StartProbes(std::vector<ProbeTarget> targets) = 0;
    // The results that arrived since the last call, in order of arrival.
    virtual std::vector<ProbeResult> TakeProbeResults() = 0;
};

}  // namespace tessoral::ui
