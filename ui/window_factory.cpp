#include "ui/window_factory.h"

#include "ui/main_window.h"
#include "ui/password_setup_window.h"
#include "ui/server_dialog.h"
#include "ui/sign_in_window.h"

namespace tessoral::ui {

std::unique_ptr<WindowLogic> MakeWindowLogic(WindowId id, ProgramState& state,
                                             Services& services) {
    switch (id) {
    case WindowId::Main: return std::make_unique<MainWindow>(state, services);
    case WindowId::SignIn: return std::make_unique<SignInWindow>(state, services);
    case WindowId::ServerDialog: return std::make_unique<ServerDialog>(state, services);
    case WindowId::PasswordSetup: return std::make_unique<PasswordSetupWindow>(state, services);
    }
    return nullptr;
}

}  // namespace tessoral::ui
