#include "tests/e2e/driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstddef>

namespace tessoral::e2e {

namespace {

constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct Search {
    DWORD pid;
    const wchar_t* window_class;
    const wchar_t* title;
    bool visible_only;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search.pid) return TRUE;
    if (search.visible_only && !::IsWindowVisible(hwnd)) return TRUE;
    if (search.window_class && ClassOf(hwnd) != search.window_class) return TRUE;
    if (search.title && TextOf(hwnd) != search.title) return TRUE;
    search.found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> Enumerate(DWORD pid, const wchar_t* window_class, const wchar_t* title,
                            bool visible_only) {
    Search search{pid, window_class, title, visible_only, {}};
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND child, LPARAM context) {
    auto& search = *reinterpret_cast<ChildSearch*>(context);
    if (::GetDlgCtrlID(child) != search.id) return TRUE;
    search.found = child;
    return FALSE;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void SendAll(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return;
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

// ---- files ------------------------------------------------------------------

std::wstring TessoralExe() {
    // The build passes the path as Linux knows it; Wine shows the Linux root
    // as drive Z:.
    std::wstring path = L"" TESSORAL_EXE;
    if (!path.empty() && path.front() == L'/') {
        std::replace(path.begin(), path.end(), L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

std::wstring DataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE)) return {};
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + L"Tessoral\\";
}

std::wstring DataFile() { return DataFolder() + L"ms.ini"; }

void ClearDataFolder() {
    const std::wstring folder = DataFolder();
    for (const wchar_t* name : {L"ms.ini", L"ms.ini.new", L"configx.ini"}) {
        ::DeleteFileW((folder + name).c_str());
    }
    ::RemoveDirectoryW(folder.c_str());
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) {
        bytes.append(buffer, got);
    }
    ::CloseHandle(file);
    if (!ok) return std::nullopt;
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    ::CreateDirectoryW(DataFolder().c_str(), nullptr);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                nullptr) != 0 &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

// ---- the process ------------------------------------------------------------

Process::~Process() {
    Kill();
    if (info_.hThread) ::CloseHandle(info_.hThread);
    if (info_.hProcess) ::CloseHandle(info_.hProcess);
}

bool Process::Start(const std::wstring& exe) {
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return ::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info_) != 0;
}

bool Process::Running() const {
    return info_.hProcess && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitExit(Millis timeout) {
    if (!info_.hProcess) return std::nullopt;
    if (::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(info_.hProcess, &code)) return std::nullopt;
    return code;
}

void Process::Kill() {
    if (!Running()) return;
    ::TerminateProcess(info_.hProcess, 1);
    ::WaitForSingleObject(info_.hProcess, 10000);
}

// ---- windows ----------------------------------------------------------------

std::vector<HWND> WindowsOf(DWORD pid, const wchar_t* window_class, const wchar_t* title) {
    return Enumerate(pid, window_class, title, true);
}

std::vector<HWND> AllWindowsOf(DWORD pid, const wchar_t* title) {
    return Enumerate(pid, nullptr, title, false);
}

HWND FindWindowOf(DWORD pid, const wchar_t* title) {
    const std::vector<HWND> found = WindowsOf(pid, nullptr, title);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForWindow(DWORD pid, const wchar_t* title, Millis timeout) {
    HWND found = nullptr;
    PollUntil([&] { return (found = FindWindowOf(pid, title)) != nullptr; }, timeout);
    return found;
}

HWND WaitForFirstWindow(DWORD pid, Millis timeout) {
    HWND found = nullptr;
    PollUntil(
        [&] {
            const std::vector<HWND> all = WindowsOf(pid);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

bool WaitGone(HWND window, Millis timeout) {
    return PollUntil([&] { return !::IsWindow(window); }, timeout);
}

HWND WaitForMessageBox(DWORD pid, Millis timeout) {
    HWND found = nullptr;
    PollUntil(
        [&] {
            const std::vector<HWND> boxes = WindowsOf(pid, kDialogClass);
            found = boxes.empty() ? nullptr : boxes.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

std::wstring MessageBoxText(HWND box) { return TextOf(Control(box, kMessageBoxTextId)); }

void AnswerMessageBox(HWND box) {
    HWND ok = Control(box, IDOK);
    if (ok && ::IsWindowVisible(ok)) {
        ::PostMessageW(ok, BM_CLICK, 0, 0);
    } else {
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<size_t>(std::max(length, 0)));
}

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               &result)) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

int TextLength(HWND window) {
    if (!window) return -1;
    return static_cast<int>(Send(window, WM_GETTEXTLENGTH));
}

std::wstring TextOf(HWND window) {
    const int length = TextLength(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
    return text;
}

void SetText(HWND control, const std::wstring& text) {
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND Control(HWND window, int id) {
    if (!window) return nullptr;
    if (HWND direct = ::GetDlgItem(window, id)) return direct;
    // Controls inside a group box or a tab are its children, not the window's.
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Click(HWND window, int id) { ::PostMessageW(Control(window, id), BM_CLICK, 0, 0); }

// ---- list views of the other process -------------------------------------------

namespace {

// The item and the text it points at, in one block of the other process.
constexpr size_t kRemoteSize = 4096;
constexpr size_t kRemoteTextOffset = 512;
constexpr int kRemoteTextChars = static_cast<int>((kRemoteSize - kRemoteTextOffset) / sizeof(wchar_t));

}  // namespace

RemoteListView::RemoteListView(HANDLE process, HWND list) : process_(process), list_(list) {
    if (process_ && list_) {
        remote_ = ::VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE,
                                   PAGE_READWRITE);
    }
}

RemoteListView::~RemoteListView() {
    // The process may be gone already; then so is the block.
    if (remote_) ::VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
}

int RemoteListView::RowCount() { return static_cast<int>(Send(list_, LVM_GETITEMCOUNT)); }

std::wstring RemoteListView::Text(int row, int column) {
    if (!remote_) return {};
    auto* base = static_cast<char*>(remote_);
    wchar_t* remote_text = reinterpret_cast<wchar_t*>(base + kRemoteTextOffset);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = remote_text;
    item.cchTextMax = kRemoteTextChars;
    const wchar_t nothing = L'\0';
    SIZE_T moved = 0;
    if (!::WriteProcessMemory(process_, base, &item, sizeof item, &moved) ||
        !::WriteProcessMemory(process_, remote_text, &nothing, sizeof nothing, &moved)) {
        return {};
    }
    const LRESULT length = Send(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                reinterpret_cast<LPARAM>(base));
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(std::min<LRESULT>(length, kRemoteTextChars - 1)), L'\0');
    if (!::ReadProcessMemory(process_, remote_text, text.data(), text.size() * sizeof(wchar_t),
                             &moved)) {
        return {};
    }
    return text;
}

int RemoteListView::StateImage(int row) {
    const auto state = static_cast<UINT>(
        Send(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12) - 1;
}

// ---- loopback sockets -----------------------------------------------------------

namespace {

bool WinsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    at.sin_port = ::htons(port);
    return at;
}

void SetBlocking(SOCKET s, bool blocking) {
    u_long non_blocking = blocking ? 0 : 1;
    ::ioctlsocket(s, FIONBIO, &non_blocking);
}

// Whether a connect to `port` completes within `wait`.
bool ConnectsWithin(uint16_t port, Millis wait) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s == INVALID_SOCKET) return false;
    SetBlocking(s, false);
    const sockaddr_in to = Loopback(port);
    bool connected = ::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    if (!connected && ::WSAGetLastError() == WSAEWOULDBLOCK) {
        WSAPOLLFD poll{s, POLLWRNORM, 0};
        connected = ::WSAPoll(&poll, 1, static_cast<INT>(wait.count())) > 0 &&
                    (poll.revents & POLLWRNORM) && !(poll.revents & (POLLERR | POLLHUP));
    }
    ::closesocket(s);
    return connected;
}

}  // namespace

LoopbackListener::LoopbackListener(Kind kind) {
    if (!WinsockReady()) return;
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket_ == INVALID_SOCKET) return;
    sockaddr_in at = Loopback(0);
    int length = sizeof at;
    if (::bind(socket_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        ::listen(socket_, kind == Kind::Accepting ? SOMAXCONN : 0) != 0 ||
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&at), &length) != 0) {
        return;
    }
    const uint16_t port = ::ntohs(at.sin_port);
    if (kind == Kind::Hanging) {
        // The one place of the backlog is taken by a connection of our own.
        filler_ = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in to = Loopback(port);
        if (filler_ == INVALID_SOCKET ||
            ::connect(filler_, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
            return;
        }
        // Only a listener that really holds connects back is of any use.
        if (ConnectsWithin(port, Millis(300))) return;
    }
    port_ = port;
}

LoopbackListener::~LoopbackListener() {
    if (filler_ != INVALID_SOCKET) ::closesocket(filler_);
    if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
}

LoopbackListener::Accepted LoopbackListener::AcceptWaiting() {
    Accepted accepted;
    if (socket_ == INVALID_SOCKET) return accepted;
    SetBlocking(socket_, false);
    for (SOCKET s; (s = ::accept(socket_, nullptr, nullptr)) != INVALID_SOCKET;) {
        ++accepted.connections;
        // A peer that closed at once has its end of stream waiting: recv
        // gives 0 at once. Data, an error or the time-out mean it did not.
        SetBlocking(s, true);
        const DWORD timeout_ms = 2000;
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout_ms),
                     sizeof timeout_ms);
        char byte;
        if (::recv(s, &byte, 1, 0) == 0) ++accepted.closed_without_data;
        ::closesocket(s);
    }
    SetBlocking(socket_, true);
    return accepted;
}

uint16_t ClosedLoopbackPort() {
    if (!WinsockReady()) return 0;
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at = Loopback(0);
    int length = sizeof at;
    uint16_t port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&at), &length) == 0) {
        port = ::ntohs(at.sin_port);
    }
    ::closesocket(s);
    return port;
}

// ---- keyboard -----------------------------------------------------------------

bool BringToFront(HWND window, Millis timeout) {
    return PollUntil(
        [&] {
            if (::GetForegroundWindow() == window) return true;
            ::SetForegroundWindow(window);
            return false;
        },
        timeout);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool WaitForFocus(HWND window, HWND control, Millis timeout) {
    return PollUntil([&] { return FocusOf(window) == control; }, timeout);
}

void PressKey(WORD vk) {
    std::vector<INPUT> inputs{KeyInput(vk, false), KeyInput(vk, true)};
    SendAll(inputs);
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        const SHORT key = ::VkKeyScanW(c);
        if (key == -1) {
            // Not on the keyboard: the character itself, as an IME would send it.
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
            inputs.push_back(input);
            input.ki.dwFlags |= KEYEVENTF_KEYUP;
            inputs.push_back(input);
            continue;
        }
        const WORD vk = LOBYTE(key);
        const bool shift = (HIBYTE(key) & 1) != 0;
        if (shift) inputs.push_back(KeyInput(VK_SHIFT, false));
        inputs.push_back(KeyInput(vk, false));
        inputs.push_back(KeyInput(vk, true));
        if (shift) inputs.push_back(KeyInput(VK_SHIFT, true));
    }
    SendAll(inputs);
}


// ---- the mouse ------------------------------------------------------------------

void ClickAt(HWND window, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    // Both at once: a control that tracks the button after the press finds
    // the release already waiting.
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(window, WM_LBUTTONUP, 0, at);
}

bool ClickRow(HANDLE process, HWND list, int row) {
    void* remote =
        ::VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return false;
    RECT r{};
    r.left = LVIR_BOUNDS;
    SIZE_T moved = 0;
    const bool ok = ::WriteProcessMemory(process, remote, &r, sizeof r, &moved) &&
                    Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(remote)) != 0 &&
                    ::ReadProcessMemory(process, remote, &r, sizeof r, &moved);
    ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    if (!ok) return false;
    ClickAt(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return true;
}

}  // namespace tessoral::e2e
