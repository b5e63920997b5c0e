#include "ui/layouts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tessoral::ui {
namespace {

struct WindowCase {
    WindowId id;
    const WindowSpec& (*spec)();
    const char* title;
    int width, height;
    int count;           // the enum's kCount
    int default_button;  // the enum value the layout names
};

const std::vector<WindowCase>& Windows() {
    static const std::vector<WindowCase> windows = {
        {WindowId::Main, MainWindowSpec, "Tessoral V6.0", 478, 472, main_window::kCount,
         main_window::kConnect},
        {WindowId::ServerDialog, ServerDialogSpec, "添加服务器列表", 262, 331,
         server_dialog::kCount, server_dialog::kConfirm},
        {WindowId::SignIn, SignInSpec, "身份验证 (Authentication)", 250, 123, sign_in::kCount,
         sign_in::kOk},
        {WindowId::PasswordSetup, PasswordSetupSpec, "启动密码设置(Set LoginPass)", 290, 130,
         password_setup::kCount, password_setup::kOk},
    };
    return windows;
}

TEST(LayoutsTest, TitlesSizesAndControlCounts) {
    for (const WindowCase& w : Windows()) {
        const WindowSpec& spec = w.spec();
        SCOPED_TRACE(spec.name);
        EXPECT_EQ(&SpecOf(w.id), &spec);
        EXPECT_STREQ(spec.title, w.title);
        EXPECT_EQ(spec.width, w.width);
        EXPECT_EQ(spec.height, w.height);
        EXPECT_EQ(static_cast<int>(spec.controls.size()), w.count)
            << "the enum of layouts.h and the table disagree in length";
    }
}

TEST(LayoutsTest, EnumValuesAreTableIndices) {
    struct Named {
        const WindowSpec& (*spec)();
        int index;
        const char* name;
    };
    const Named names[] = {
        {MainWindowSpec, main_window::kBanner, "超文本浏览框1"},
        {MainWindowSpec, main_window::kCoverTop, "标签1"},
        {MainWindowSpec, main_window::kCoverLeft, "标签2"},
        {MainWindowSpec, main_window::kCoverRight, "标签3"},
        {MainWindowSpec, main_window::kCoverBottom, "标签4"},
        {MainWindowSpec, main_window::kServerGroup, "分组框2"},
        {MainWindowSpec, main_window::kServerList, "超级列表框1"},
        {MainWindowSpec, main_window::kConnect, "按钮_连接服务器"},
        {MainWindowSpec, main_window::kAdd, "按钮_添加服务器"},
        {MainWindowSpec, main_window::kDelete, "按钮_删除服务器"},
        {MainWindowSpec, main_window::kEdit, "按钮_设置服务器"},
        {MainWindowSpec, main_window::kStartupPassword, "按钮_启动密码"},
        {MainWindowSpec, main_window::kTimer, "时钟1"},
        {MainWindowSpec, main_window::kTcpClient, "客户1"},
        {MainWindowSpec, main_window::kRemarkGroup, "分组框4"},
        {MainWindowSpec, main_window::kRemark, "编辑框_备注"},
        {MainWindowSpec, main_window::kStartModeGroup, "分组框1"},
        {MainWindowSpec, main_window::kConsole, "单选框_onsole"},
        {MainWindowSpec, main_window::kAdmin, "单选框_admin"},
        {MainWindowSpec, main_window::kResolutionTab, "选择夹1"},
        {MainWindowSpec, main_window::kFullScreen, "全屏选择"},
        {MainWindowSpec, main_window::kResolution, "组合框1"},
        {MainWindowSpec, main_window::kAboutGroup, "分组框_关于"},
        {MainWindowSpec, main_window::kSiteLabel, "标签5"},
        {MainWindowSpec, main_window::kSiteLink, "超级链接框1"},
        {MainWindowSpec, main_window::kContactLabel, "标签6"},
        {MainWindowSpec, main_window::kContactBadge, "图形按钮1"},
        {ServerDialogSpec, server_dialog::kGroup, "分组框1"},
        {ServerDialogSpec, server_dialog::kHostLabel, "标签1"},
        {ServerDialogSpec, server_dialog::kHost, "编辑框_域名"},
        {ServerDialogSpec, server_dialog::kPortLabel, "标签2"},
        {ServerDialogSpec, server_dialog::kPort, "编辑框_端口"},
        {ServerDialogSpec, server_dialog::kAccountLabel, "标签3"},
        {ServerDialogSpec, server_dialog::kAccount, "编辑框_账号"},
        {ServerDialogSpec, server_dialog::kPasswordLabel, "标签4"},
        {ServerDialogSpec, server_dialog::kPassword, "编辑框_密码"},
        {ServerDialogSpec, server_dialog::kRemarkLabel, "标签5"},
        {ServerDialogSpec, server_dialog::kRemark, "编辑框_备注"},
        {ServerDialogSpec, server_dialog::kConfirm, "按钮1"},
        {ServerDialogSpec, server_dialog::kCancel, "按钮2"},
        {SignInSpec, sign_in::kPadlock, "图片框1"},
        {SignInSpec, sign_in::kPrompt, "标签1"},
        {SignInSpec, sign_in::kPassword, "编辑框1"},
        {SignInSpec, sign_in::kOk, "按钮1"},
        {SignInSpec, sign_in::kCancel, "按钮2"},
        {PasswordSetupSpec, password_setup::kPadlock, "图片框1"},
        {PasswordSetupSpec, password_setup::kNewLabel, "标签1"},
        {PasswordSetupSpec, password_setup::kNew, "编辑框1"},
        {PasswordSetupSpec, password_setup::kRepeatLabel, "标签2"},
        {PasswordSetupSpec, password_setup::kRepeat, "编辑框2"},
        {PasswordSetupSpec, password_setup::kOk, "按钮1"},
        {PasswordSetupSpec, password_setup::kCancel, "按钮2"},
    };
    for (const Named& n : names) {
        SCOPED_TRACE(std::string(n.spec().name) + " " + std::to_string(n.index));
        EXPECT_EQ(n.spec().IndexOf(n.name), n.index);
    }
}

TEST(LayoutsTest, NamesAreUniquePerWindow) {
    for (const WindowCase& w : Windows()) {
        SCOPED_TRACE(w.spec().name);
        std::set<std::string> seen;
        for (const ControlSpec& c : w.spec().controls) {
            EXPECT_TRUE(seen.insert(c.name).second) << "control " << seen.size() << " repeats a name";
        }
    }
}

TEST(LayoutsTest, ParentsAreEarlierContainers) {
    for (const WindowCase& w : Windows()) {
        const WindowSpec& spec = w.spec();
        SCOPED_TRACE(spec.name);
        for (size_t i = 0; i < spec.controls.size(); ++i) {
            const int parent = spec.controls[i].parent;
            SCOPED_TRACE(i);
            if (parent == kWindowParent) continue;
            ASSERT_GE(parent, 0);
            ASSERT_LT(static_cast<size_t>(parent), i) << "a parent is built before its children";
            const ControlKind kind = spec.controls[static_cast<size_t>(parent)].kind;
            EXPECT_TRUE(kind == ControlKind::GroupBox || kind == ControlKind::TabControl);
        }
    }
}

TEST(LayoutsTest, OneDefaultButtonEach) {
    for (const WindowCase& w : Windows()) {
        const WindowSpec& spec = w.spec();
        SCOPED_TRACE(spec.name);
        int defaults = 0;
        for (const ControlSpec& c : spec.controls) defaults += c.Has(kDefaultButton) ? 1 : 0;
        EXPECT_EQ(defaults, 1);
        EXPECT_EQ(spec.DefaultButton(), w.default_button);
        EXPECT_EQ(spec.controls[static_cast<size_t>(w.default_button)].kind,
                  ControlKind::PushButton);
    }
}

// Group box coordinates are relative to the box; a child outside it is cut
// off. The window's own children may stick out (the cover labels do).
TEST(LayoutsTest, GroupChildrenLieInsideTheirGroup) {
    for (const WindowCase& w : Windows()) {
        const WindowSpec& spec = w.spec();
        for (const ControlSpec& c : spec.controls) {
            if (c.parent == kWindowParent) continue;
            const ControlSpec& group = spec.controls[static_cast<size_t>(c.parent)];
            if (group.kind != ControlKind::GroupBox) continue;
            SCOPED_TRACE(std::string(spec.name) + ": " + c.name + " in " + group.name);
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_LE(c.x + c.width, group.width);
            EXPECT_LE(c.y + c.height, group.height);
        }
    }
}

TEST(LayoutsTest, ResolutionListFromSmallestToFullHd) {
    const std::vector<std::string> expected = {
        "800 x 600",   "1024 x 768",  "1152 x 864",  "1280 x 720",  "1280 x 768",
        "1280 x 800",  "1280 x 960",  "1280 x 1024", "1360 x 768",  "1366 x 768",
        "1600 x 900",  "1600 x 1024", "1680 x 1050", "1920 x 1080",
    };
    const ControlSpec& combo = MainWindowSpec().controls[main_window::kResolution];
    EXPECT_EQ(combo.kind, ControlKind::ComboBox);
    EXPECT_EQ(std::vector<std::string>(combo.items.begin(), combo.items.end()), expected);
    EXPECT_EQ(std::vector<std::string>(kResolutions, kResolutions + kResolutionCount), expected);
}

TEST(LayoutsTest, PasswordBoxes) {
    struct Box {
        const WindowSpec& (*spec)();
        int index;
        bool masked;  // start-up passwords: shown as "*", at most 16 characters
    };
    for (const Box& b : {Box{SignInSpec, sign_in::kPassword, true},
                         Box{PasswordSetupSpec, password_setup::kNew, true},
                         Box{PasswordSetupSpec, password_setup::kRepeat, true},
                         Box{ServerDialogSpec, server_dialog::kPassword, false}}) {
        const ControlSpec& c = b.spec().controls[static_cast<size_t>(b.index)];
        SCOPED_TRACE(std::string(b.spec().name) + ": " + c.name);
        EXPECT_EQ(c.kind, ControlKind::Edit);
        EXPECT_EQ(c.Has(kPassword), b.masked);
        if (b.masked) {
            EXPECT_EQ(c.max_length, 16);
        }
    }
}

}  // namespace
}  // namespace tessoral::ui
