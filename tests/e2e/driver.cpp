#include "tests/e2e/driver.h"

#include <shlobj.h>

#include <algorithm>

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

}  // namespace tessoral::e2e
