// Drives a real Tessoral.exe from outside, as a user would: starts the
// process, finds its windows, clicks, types and reads them back.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tessoral::e2e {

using Millis = std::chrono::milliseconds;

// Wine takes its time to start a process and to show its first window.
inline constexpr Millis kStartTimeout{20000};
inline constexpr Millis kStepTimeout{10000};

// Calls `done` until it answers true or `timeout` has passed.
template <typename Done>
bool PollUntil(Done done, Millis timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(Millis(10));
    }
}

// Tessoral.exe as Windows sees it.
std::wstring TessoralExe();

// %APPDATA%\Tessoral\ and the files the program keeps there.
std::wstring DataFolder();
std::wstring DataFile();
// Removes the program's files and, when it is empty, the folder itself.
void ClearDataFolder();
bool FileExists(const std::wstring& path);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);

// One run of Tessoral.exe. A run still alive when the object goes is
// terminated, so that one failed test does not leave windows for the next.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const std::wstring& exe);
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    bool Running() const;
    // The exit code, or nothing when the process is still running.
    std::optional<DWORD> WaitExit(Millis timeout);
    void Kill();

private:
    PROCESS_INFORMATION info_{};
};

// Visible top-level windows of process `pid`, optionally of one class and
// one title.
std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* window_class = nullptr,
                            const wchar_t* title = nullptr);
// Like WindowsOf, hidden ones included.
std::vector<HWND> AllWindowsOf(DWORD pid, const wchar_t* title);
HWND FindWindowOf(DWORD pid, const wchar_t* title);
HWND WaitForWindow(DWORD pid, const wchar_t* title, Millis timeout);
// The first visible top-level window the process shows, whatever it is.
HWND WaitForFirstWindow(DWORD pid, Millis timeout);
bool WaitGone(HWND window, Millis timeout);

inline constexpr wchar_t kDialogClass[] = L"#32770";
HWND WaitForMessageBox(DWORD pid, Millis timeout);
std::wstring MessageBoxText(HWND box);
// Clicks the box's OK button, or sends it IDOK when it has none.
void AnswerMessageBox(HWND box);

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
int TextLength(HWND window);
void SetText(HWND control, const std::wstring& text);
// The control with this id, at any depth below `window`.
HWND Control(HWND window, int id);
// Posted, not sent: a click may open a modal box, which would hold a sent
// message until it is answered.
void Click(HWND window, int id);
LRESULT Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// ---- list views of the other process ----------------------------------------

// A list view of another process, read through a buffer in that process:
// a sent LVM_GETITEMTEXTW writes the text where the item's pointer points.
class RemoteListView {
public:
    RemoteListView(HANDLE process, HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool Ready() const { return remote_ != nullptr; }
    int RowCount();
    // Empty also when the row does not exist or the read fails.
    std::wstring Text(int row, int column);
    // The state image index, -1 for none (LVIS_STATEIMAGEMASK holds index + 1).
    int StateImage(int row);

private:
    HANDLE process_;
    HWND list_;
    void* remote_ = nullptr;
};

// ---- loopback sockets: the only network the tests touch ---------------------

// A TCP listener on 127.0.0.1 at a port of the system's choosing.
//   Accepting: a deep backlog; connections wait there until AcceptWaiting.
//   Hanging: a backlog of one that the listener fills itself and never
//   accepts, so the kernel drops later SYNs and connects to it hang until
//   the client gives up.
class LoopbackListener {
public:
    enum class Kind { Accepting, Hanging };
    explicit LoopbackListener(Kind kind);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    bool Ready() const { return port_ != 0; }
    uint16_t Port() const { return port_; }

    struct Accepted {
        int connections = 0;
        int closed_without_data = 0;  // the peer hung up and sent nothing
    };
    // Takes every connection now waiting, and tells how each peer left it.
    Accepted AcceptWaiting();

private:
    SOCKET socket_ = INVALID_SOCKET;
    SOCKET filler_ = INVALID_SOCKET;
    uint16_t port_ = 0;
};

// A port on 127.0.0.1 that nobody listens on (it was free a moment ago).
uint16_t ClosedLoopbackPort();

// ---- keyboard: real input to whatever window has the foreground ----------

bool BringToFront(HWND window, Millis timeout);
// The focused window of the thread that owns `window`.
HWND FocusOf(HWND window);
bool WaitForFocus(HWND window, HWND control, Millis timeout);
void PressKey(WORD vk);
void TypeText(const std::wstring& text);

// ---- the mouse: posted clicks at a point of a window of the other process ---

// A left click at (x, y) of `window`'s client area.
void ClickAt(HWND window, int x, int y);
// A click on the middle of a list view row, found through a buffer in the
// list's process; false when the row does not exist or cannot be read.
bool ClickRow(HANDLE process, HWND list, int row);

}  // namespace tessoral::e2e
