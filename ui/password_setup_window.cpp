#include "ui/password_setup_window.h"

#include <string>

#include "core/data_file.h"

namespace tessoral::ui {

namespace ps = password_setup;

void PasswordSetupWindow::OnCreated(Controls& c) {
    WindowLogic::OnCreated(c);
    c.SetPicture(ps::kPadlock, Picture::Padlock);
}

void PasswordSetupWindow::OnClicked(int control) {
    if (control == ps::kOk) {
        ApplyStartupPassword();
    } else if (control == ps::kCancel) {
        controls().Destroy();
    }
}

void PasswordSetupWindow::ApplyStartupPassword() {
    Controls& c = controls();
    const std::string first = c.Text(ps::kNew);
    const std::string second = c.Text(ps::kRepeat);
    if (first != second) {
        services_.ShowMessage("两次密码必须相同", "输入出错", kMbIconError);
        return;
    }
    if (first.empty()) {
        if (services_.ShowMessage("您确定要清空密码吗？", "提示", kMbYesNo | kMbIconInformation) !=
            kAnswerYes) {
            return;
        }
        state_.startup_password.clear();
        c.Destroy();
        return;
    }
    // The data file cannot carry these; a password that does not come back
    // as it was set would lock the user out at the next start.
    const std::string_view piece = UnstorableInStartupPassword(first);
    if (!piece.empty()) {
        const std::string what =
            piece == "\r" || piece == "\n" ? "换行" : "“" + std::string(piece) + "”";
        services_.ShowMessage("启动密码中不能含有" + what + "，请换一个密码。", "输入出错",
                              kMbIconError);
        return;
    }
    state_.startup_password = first;
    c.Destroy();
}

}  // namespace tessoral::ui
