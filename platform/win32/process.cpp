#include "platform/win32/process.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handle.h"
#include "platform/win32/text_convert.h"

namespace tessoral::win32 {

namespace {

// How long the GUI thread waits for the client to be ready for input.
constexpr DWORD kInputIdleMilliseconds = 1000;

}  // namespace

uint32_t Win32ProcessLauncher::Start(const std::string& command_line) {
    // CreateProcessW may write into the command line, so it gets a copy.
    const std::wstring wide = Widen(command_line);
    std::vector<wchar_t> line(wide.begin(), wide.end());
    line.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return ::GetLastError();
    }
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    // A console program has no input queue and returns at once; either way
    // the result does not matter to the launch.
    ::WaitForInputIdle(process.Get(), kInputIdleMilliseconds);
    return 0;
}

}  // namespace tessoral::win32
