#include "ui/server_dialog.h"

#include <string>

#include "core/data_file.h"

namespace tessoral::ui {

namespace {

namespace sd = server_dialog;

struct Field {
    int box;
    const char* name;  // as the box's label names it
};

// In the order the texts are read and stored.
constexpr Field kFields[] = {
    {sd::kHost, "IP/域名"}, {sd::kPort, "端口"}, {sd::kAccount, "登陆账号"},
    {sd::kPassword, "登陆密码"}, {sd::kRemark, "备注"},
};

constexpr int kMaxServerPasswordLength = 255;

// Characters, a two-byte character counting once (as one UTF-16 unit).
int CharacterCount(std::string_view text) {
    int count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
    }
    return count;
}

std::string Describe(std::string_view piece) {
    if (piece == "\r" || piece == "\n") return "换行";
    return "“" + std::string(piece) + "”";
}

}  // namespace

void ServerDialog::OnCreated(Controls& c) {
    WindowLogic::OnCreated(c);
    FillServerDialog();
}

void ServerDialog::OnClicked(int control) {
    if (control == sd::kConfirm) {
        ConfirmServerDialog();
    } else if (control == sd::kCancel) {
        controls().Destroy();
    }
}

void ServerDialog::FillServerDialog() {
    // The window is built from its defaults, which are the add mode's texts.
    if (state_.edit_position <= 0 || !state_.servers.Contains(state_.edit_position)) return;
    const ServerEntry& entry = state_.servers.At(state_.edit_position);
    Controls& c = controls();
    c.SetText(sd::kHost, entry.host);
    c.SetText(sd::kAccount, entry.account);
    c.SetText(sd::kPassword, entry.password);
    c.SetText(sd::kPort, entry.port);
    c.SetText(sd::kRemark, entry.remark);
    c.SetText(sd::kConfirm, sd::kEditCaption);
    c.SetTitle(sd::kEditTitle);
}

void ServerDialog::ConfirmServerDialog() {
    Controls& c = controls();
    std::string texts[5];
    for (size_t i = 0; i < 5; ++i) texts[i] = c.Text(kFields[i].box);

    // The data file cannot carry these; refuse them here rather than lose
    // the server's texts at the next start.
    for (size_t i = 0; i < 5; ++i) {
        const std::string_view piece = UnstorableInServerField(texts[i]);
        if (!piece.empty()) {
            services_.ShowMessage("“" + std::string(kFields[i].name) + "”中不能含有" +
                                      Describe(piece) + "，请修改后再确定。",
                                  "输入出错", kMbIconError);
            return;
        }
    }

    // The protected password block of a connection holds 255 characters.
    if (CharacterCount(texts[3]) > kMaxServerPasswordLength) {
        services_.ShowMessage("“登陆密码”最多 " + std::to_string(kMaxServerPasswordLength) +
                                  " 个字符，请修改后再确定。",
                              "输入出错", kMbIconError);
        return;
    }

    ServerEntry entry{texts[0], texts[1], texts[2], texts[3], texts[4], ServerStatus::Unknown};
    if (state_.edit_position < 1) {
        state_.servers.Append(std::move(entry));
    } else if (state_.servers.Contains(state_.edit_position)) {
        state_.servers.Replace(state_.edit_position, std::move(entry));
    }
    if (state_.main_window) {
        state_.main_window->RefreshServerListView();
        state_.main_window->StartProbePass();
    }
    c.Destroy();
}

}  // namespace tessoral::ui
