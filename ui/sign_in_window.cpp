#include "ui/sign_in_window.h"

namespace tessoral::ui {

bool CheckSingleInstance(Services& services, std::string_view name) {
    if (services.EventExists(name)) return false;
    services.CreateNamedEvent(name);
    return true;
}

void SignInWindow::OnCreated(Controls& c) {
    WindowLogic::OnCreated(c);
    if (!CheckSingleInstance(services_, sign_in::kTitle)) {
        services_.ShowMessage(kRunningTwiceText, kRunningTwiceTitle, kMbSystemModal);
        c.Destroy();
        return;
    }
    c.SetPicture(sign_in::kPadlock, Picture::Padlock);
}

void SignInWindow::OnClicked(int control) {
    if (control == sign_in::kOk) {
        Confirm();
    } else if (control == sign_in::kCancel) {
        services_.ExitNow();
    }
}

void SignInWindow::Confirm() {
    const std::string typed = controls().Text(sign_in::kPassword);
    if (!typed.empty() && typed == state_.startup_password) {
        state_.signed_in = true;
        controls().Destroy();
        return;
    }
    services_.ShowMessage("密码错误", "错误", kMbIconError);
    controls().SetText(sign_in::kPassword, "");
}

}  // namespace tessoral::ui
