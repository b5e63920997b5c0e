// The program's entry: the state of the run, the start-up, then the loop
// until the last window has gone.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/startup.h"
#include "platform/win32/desktop.h"
#include "platform/win32/file_store.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The banner's browser control is an OLE control on this thread.
    ::OleInitialize(nullptr);

    static tessoral::ui::ProgramState state;
    tessoral::win32::Win32Desktop desktop(state);
    tessoral::RunStartup(state, desktop, tessoral::win32::AppDataFolder());
    return desktop.RunMessageLoop();
}
