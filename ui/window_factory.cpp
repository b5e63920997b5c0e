#include "ui/window_factory.h"

#include "ui/main_window.h"
#include "ui/sign_in_window.h"

namespace tessoral::ui {

namespace {

// The server dialog and the password setting window: their commands come
// with the main window's commands; until then they only close.
class ClosingWindow final : public WindowLogic {
public:
    ClosingWindow(int cancel, int padlock) : cancel_(cancel), padlock_(padlock) {}
    void OnCreated(Controls& c) override {
        WindowLogic::OnCreated(c);
        if (padlock_ >= 0) c.SetPicture(padlock_, Picture::Padlock);
    }
    void OnClicked(int control) override {
        if (control == cancel_) controls().Destroy();
    }

private:
    int cancel_;
    int padlock_;
};

}  // namespace

std::unique_ptr<WindowLogic> MakeWindowLogic(WindowId id, ProgramState& state,
                                             Services& services) {
    switch (id) {
    case WindowId::Main: return std::make_unique<MainWindow>(state, services);
    case WindowId::SignIn: return std::make_unique<SignInWindow>(state, services);
    case WindowId::ServerDialog: return std::make_unique<ClosingWindow>(server_dialog::kCancel, -1);
    case WindowId::PasswordSetup: return std::make_unique<ClosingWindow>(password_setup::kCancel,
                                                                   password_setup::kPadlock);
    }
    return nullptr;
}

}  // namespace tessoral::ui
