#include "ui/layouts.h"

#include <cstring>

namespace tessoral::ui {

namespace {

constexpr int W = kWindowParent;
constexpr Rgb kBlueText{0, 136, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr FontSpec kSongBold12{"宋体", -12, 700};
constexpr FontSpec kSongBold16{"宋体", -16, 700};
constexpr int kPasswordLength = 16;

using K = ControlKind;

}  // namespace

const char* const kResolutions[kResolutionCount] = {
    "800 x 600",   "1024 x 768",  "1152 x 864",  "1280 x 720",  "1280 x 768",
    "1280 x 800",  "1280 x 960",  "1280 x 1024", "1360 x 768",  "1366 x 768",
    "1600 x 900",  "1600 x 1024", "1680 x 1050", "1920 x 1080",
};

int WindowSpec::DefaultButton() const {
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].Has(kDefaultButton)) return static_cast<int>(i);
    }
    return -1;
}

int WindowSpec::IndexOf(const char* control_name) const {
    for (size_t i = 0; i < controls.size(); ++i) {
        if (std::strcmp(controls[i].name, control_name) == 0) return static_cast<int>(i);
    }
    return -1;
}

const WindowSpec& MainWindowSpec() {
    using namespace main_window;
    static const WindowSpec spec{
        "MainWindow", kTitle, 478, 472, true, true, false,
        {
            {"超文本浏览框1", K::Browser, W, 0, 0, 619, 60, "", kTabStop},
            {"标签1", K::Label, W, -21, -6, 640, 8, ""},
            {"标签2", K::Label, W, -6, -3, 8, 64, ""},
            {"标签3", K::Label, W, 471, -3, 124, 72, ""},
            {"标签4", K::Label, W, 4, 60, 624, 2, ""},
            {"分组框2", K::GroupBox, W, 4, 65, 465, 180, "服务器控制"},
            {"超级列表框1", K::ListView, kServerGroup, 8, 12, 344, 160, "", kTabStop, 0, nullptr,
             nullptr, nullptr, {},
             {{"主机IP地址", 130, Align::Left}, {"端口", 50, Align::Left},
              {"登陆账号", 100, Align::Centre}, {"网络状态", 60, Align::Centre}}},
            {"按钮_连接服务器", K::PushButton, kServerGroup, 360, 12, 100, 30, "连接(LinkSer)",
             kDefaultButton | kDisabled | kTabStop, 0, &kSongBold12},
            {"按钮_添加服务器", K::PushButton, kServerGroup, 360, 44, 100, 30, "添加(Add)", kTabStop},
            {"按钮_删除服务器", K::PushButton, kServerGroup, 360, 76, 100, 30, "删除(Delete)",
             kDisabled | kTabStop},
            {"按钮_设置服务器", K::PushButton, kServerGroup, 360, 108, 100, 30, "修改(Edit)",
             kTabStop},
            {"按钮_启动密码", K::PushButton, kServerGroup, 360, 141, 100, 30, "启动密码(Pass)",
             kTabStop},
            {"时钟1", K::Timer, kServerGroup, 0, 0, 0, 0, ""},
            {"客户1", K::TcpClient, kServerGroup, 0, 0, 0, 0, ""},
            {"分组框4", K::GroupBox, W, 5, 250, 344, 115, "备注"},
            {"编辑框_备注", K::Edit, kRemarkGroup, 7, 14, 328, 93, "\r\n",
             kMultiLine | kReadOnly | kTabStop, 0, nullptr, &kBlueText, &kWhite},
            {"分组框1", K::GroupBox, W, 352, 250, 117, 62, "启动方式"},
            {"单选框_onsole", K::RadioButton, kStartModeGroup, 4, 19, 110, 13, "onsole",
             kGroupStart | kTabStop},
            {"单选框_admin", K::RadioButton, kStartModeGroup, 4, 40, 110, 16, "admin",
             kChecked | kTabStop},
            {"选择夹1", K::TabControl, W, 352, 319, 122, 46, "", 0, 0, nullptr, nullptr, nullptr,
             {"分辨率"}},
            {"全屏选择", K::CheckBox, kResolutionTab, 65, 1, 80, 20, "全屏", kTabStop},
            {"组合框1", K::ComboBox, W, 355, 341, 112, 23, "", kTabStop, 0, nullptr, nullptr,
             &kWhite,
             std::vector<const char*>(kResolutions, kResolutions + kResolutionCount)},
            {"分组框_关于", K::GroupBox, W, 5, 369, 464, 71, "关于 Tessoral", 0, 0, nullptr,
             &kBlueText},
            {"标签5", K::Label, kAboutGroup, 6, 26, 61, 14, "软件官网："},
            {"超级链接框1", K::Hyperlink, kAboutGroup, 64, 24, 136, 16, kSiteAddress},
            {"标签6", K::Label, kAboutGroup, 6, 46, 80, 18, "联系作者："},
            {"图形按钮1", K::PictureButton, kAboutGroup, 66, 44, 77, 22, ""},
        }};
    return spec;
}

const WindowSpec& ServerDialogSpec() {
    using namespace server_dialog;
    constexpr uint32_t kBox = kSunkenEdge | kTabStop;
    static const WindowSpec spec{
        "ServerDialog", kAddTitle, 262, 331, false, false, true,
        {
            {"分组框1", K::GroupBox, W, 4, 2, 248, 294, "服务器信息"},
            {"标签1", K::Label, kGroup, 19, 24, 56, 24, "IP/域名："},
            {"编辑框_域名", K::Edit, kGroup, 75, 24, 150, 24, "127.0.0.1", kBox, 0, nullptr,
             nullptr, &kWhite},
            {"标签2", K::Label, kGroup, 19, 56, 56, 24, "端口："},
            {"编辑框_端口", K::Edit, kGroup, 75, 56, 64, 24, "3389", kBox, 0, nullptr, nullptr,
             &kWhite},
            {"标签3", K::Label, kGroup, 8, 88, 67, 24, "登陆账号："},
            {"编辑框_账号", K::Edit, kGroup, 75, 88, 150, 24, "Administrator", kBox, 0, nullptr,
             nullptr, &kWhite},
            {"标签4", K::Label, kGroup, 8, 120, 67, 24, "登陆密码："},
            {"编辑框_密码", K::Edit, kGroup, 75, 120, 150, 24, "", kBox, 0, nullptr, nullptr,
             &kWhite},
            {"标签5", K::Label, kGroup, 8, 152, 67, 24, "备注："},
            {"编辑框_备注", K::Edit, kGroup, 75, 152, 150, 88, "填写备注更容易区分",
             kBox | kMultiLine | kVScroll, 0, nullptr, &kBlueText, &kWhite},
            {"按钮1", K::PushButton, kGroup, 16, 254, 100, 31, kAddCaption,
             kDefaultButton | kTabStop},
            {"按钮2", K::PushButton, kGroup, 136, 253, 100, 31, "取 消\r\n(Close)",
             kTabStop},
        }};
    return spec;
}

const WindowSpec& SignInSpec() {
    static const WindowSpec spec{
        "SignInWindow", sign_in::kTitle, 250, 123, false, false, true,
        {
            {"图片框1", K::PictureBox, W, 12, 20, 38, 38, ""},
            {"标签1", K::Label, W, 57, 7, 175, 16, "请输入密码(Input Password):"},
            {"编辑框1", K::Edit, W, 64, 26, 152, 24, "", kPassword | kTabStop, kPasswordLength,
             &kSongBold16},
            {"按钮1", K::PushButton, W, 64, 59, 72, 24, "确定(OK)", kDefaultButton | kTabStop},
            {"按钮2", K::PushButton, W, 144, 59, 72, 24, "取消(NO)", kTabStop},
        }};
    return spec;
}

const WindowSpec& PasswordSetupSpec() {
    static const WindowSpec spec{
        "PasswordSetupWindow", password_setup::kTitle, 290, 130, false, false, true,
        {
            {"图片框1", K::PictureBox, W, 16, 15, 40, 32, ""},
            {"标签1", K::Label, W, 64, 9, 56, 16, "新的密码:"},
            {"编辑框1", K::Edit, W, 120, 8, 152, 24, "", kPassword | kTabStop, kPasswordLength},
            {"标签2", K::Label, W, 64, 36, 56, 16, "重复密码:"},
            {"编辑框2", K::Edit, W, 120, 33, 152, 24, "", kPassword | kTabStop, kPasswordLength},
            {"按钮1", K::PushButton, W, 120, 65, 70, 26, "确定(OK)", kDefaultButton | kTabStop},
            {"按钮2", K::PushButton, W, 205, 65, 70, 26, "取消(NO)", kTabStop},
        }};
    return spec;
}

const WindowSpec& SpecOf(WindowId id) {
    switch (id) {
    case WindowId::Main: return MainWindowSpec();
    case WindowId::ServerDialog: return ServerDialogSpec();
    case WindowId::SignIn: return SignInSpec();
    case WindowId::PasswordSetup: return PasswordSetupSpec();
    }
    return MainWindowSpec();
}

}  // namespace tessoral::ui
