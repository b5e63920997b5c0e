// The four windows of the program. Each enum lists a window's controls in
// the order of its table, so the enum value is the control's index there.
#pragma once

#include "ui/layout.h"

namespace tessoral::ui {

namespace main_window {
enum Control : int {
    kBanner,          // "超文本浏览框1"
    kCoverTop,        // "标签1"
    kCoverLeft,       // "标签2"
    kCoverRight,      // "标签3"
    kCoverBottom,     // "标签4"
    kServerGroup,     // "分组框2"
    kServerList,      // "超级列表框1"
    kConnect,         // "按钮_连接服务器"
    kAdd,             // "按钮_添加服务器"
    kDelete,          // "按钮_删除服务器"
    kEdit,            // "按钮_设置服务器"
    kStartupPassword, // "按钮_启动密码"
    kTimer,           // "时钟1"
    kTcpClient,       // "客户1"
    kRemarkGroup,     // "分组框4"
    kRemark,          // "编辑框_备注"
    kStartModeGroup,  // "分组框1"
    kConsole,         // "单选框_onsole"
    kAdmin,           // "单选框_admin"
    kResolutionTab,   // "选择夹1"
    kFullScreen,      // "全屏选择"
    kResolution,      // "组合框1"
    kAboutGroup,      // "分组框_关于"
    kSiteLabel,       // "标签5"
    kSiteLink,        // "超级链接框1"
    kContactLabel,    // "标签6"
    kContactBadge,    // "图形按钮1"
    kCount
};
inline constexpr const char* kTitle = "Tessoral V6.0";
}  // namespace main_window

namespace server_dialog {
enum Control : int {
    kGroup,          // "分组框1"
    kHostLabel,      // "标签1"
    kHost,           // "编辑框_域名"
    kPortLabel,      // "标签2"
    kPort,           // "编辑框_端口"
    kAccountLabel,   // "标签3"
    kAccount,        // "编辑框_账号"
    kPasswordLabel,  // "标签4"
    kPassword,       // "编辑框_密码"
    kRemarkLabel,    // "标签5"
    kRemark,         // "编辑框_备注"
    kConfirm,        // "按钮1"
    kCancel,         // "按钮2"
    kCount
};
inline constexpr const char* kAddTitle = "添加服务器列表";
inline constexpr const char* kEditTitle = "修改服务器列表";
inline constexpr const char* kAddCaption = "添 加 列 表(ADDLIST)";
inline constexpr const char* kEditCaption = "修 改 列 表(EDIT LIST)";
}  // namespace server_dialog

namespace sign_in {
enum Control : int {
    kPadlock,   // "图片框1"
    kPrompt,    // "标签1"
    kPassword,  // "编辑框1"
    kOk,        // "按钮1"
    kCancel,    // "按钮2"
    kCount
};
inline constexpr const char* kTitle = "身份验证 (Authentication)";
}  // namespace sign_in

namespace password_setup {
enum Control : int {
    kPadlock,      // "图片框1"
    kNewLabel,     // "标签1"
    kNew,          // "编辑框1"
    kRepeatLabel,  // "标签2"
    kRepeat,       // "编辑框2"
    kOk,           // "按钮1"
    kCancel,       // "按钮2"
    kCount
};
inline constexpr const char* kTitle = "启动密码设置(Set LoginPass)";
}  // namespace password_setup

enum class WindowId { Main, ServerDialog, SignIn, PasswordSetup };

const WindowSpec& MainWindowSpec();
const WindowSpec& ServerDialogSpec();
const WindowSpec& SignInSpec();
const WindowSpec& PasswordSetupSpec();
const WindowSpec& SpecOf(WindowId id);

// The resolution list of the main window, "800 x 600" first.
// The product web site, shown by the about box link.
inline constexpr const char* kSiteAddress = "www.tessoral.example";

inline constexpr int kResolutionCount = 14;
extern const char* const kResolutions[kResolutionCount];

}  // namespace tessoral::ui
