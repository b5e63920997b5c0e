// Shows one of the program's windows on its own, for screenshots:
//     tessoral_show_window Main|ServerDialog|ServerDialogEdit|SignIn|PasswordSetup
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "platform/win32/desktop.h"

int main(int argc, char** argv) {
    using tessoral::ui::WindowId;
    INITCOMMONCONTROLSEX icc{sizeof icc,
                             ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    const char* name = argc > 1 ? argv[1] : "Main";
    WindowId id = WindowId::Main;
    tessoral::ui::ProgramState state;
    if (std::strcmp(name, "ServerDialog") == 0) id = WindowId::ServerDialog;
    if (std::strcmp(name, "ServerDialogEdit") == 0) {
        id = WindowId::ServerDialog;
        state.servers.Append(tessoral::ServerEntry{"192.168.1.20", "3390", "ops", "secret",
                                                   "机房二号服务器\r\n周末维护", {}});
        state.edit_position = 1;
    }
    if (std::strcmp(name, "SignIn") == 0) id = WindowId::SignIn;
    if (std::strcmp(name, "PasswordSetup") == 0) id = WindowId::PasswordSetup;
    tessoral::win32::Win32Desktop desktop(state);
    desktop.LoadWindow(id, /*modal=*/false);
    return desktop.RunMessageLoop();
}
