// The connect command of the main window, with fakes for the system.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "core/data_file.h"
#include "core/rc4.h"
#include "tests/support/fake_services.h"

namespace tessoral {
namespace {

using testing::FakeServices;
using ui::WindowId;
namespace mw = ui::main_window;

constexpr const char* kFolder = "C:\\AppData\\Tessoral\\";

class ConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ServerList list;
        list.Append(ServerEntry{"127.0.0.1", "3390", "admin", "pw", "my office", {}});
        list.Append(ServerEntry{"127.0.0.2", "3389", "ops", "", "", {}});
        services.files.files[std::string(kFolder) + "ms.ini"] =
            Rc4Transform(BuildDataText(list, StartMode{false, true}, ""), kDataFileKey);
        RunStartup(state, services, std::string("C:\\AppData"));
        window = services.Window(WindowId::Main);
        ASSERT_NE(window, nullptr);
    }
    void Select(int row) {
        window->controls().SelectRow(mw::kServerList, row);
        window->logic().OnCurrentRowChanged(mw::kServerList);
    }

    ui::ProgramState state;
    FakeServices services{state};
    testing::FakeWindow* window = nullptr;
};

TEST_F(ConnectTest, WritesTheFileMarksTheHostAndStartsTheClient) {
    Select(0);
    bool enabled_while_starting = true;
    services.launcher.while_starting = [&] {
        enabled_while_starting = window->controls().Enabled(mw::kConnect);
    };
    window->controls().SetSelection(mw::kResolution, 1);
    window->Click(mw::kConnect);

    const std::string path = std::string(kFolder) + "my office";
    ASSERT_EQ(services.files.files.count(path), 1u);
    const std::string& file = services.files.files[path];
    EXPECT_NE(file.find("full address:s:127.0.0.1:3390"), std::string::npos);
    EXPECT_NE(file.find("username:s:admin"), std::string::npos);
    EXPECT_EQ(services.registry.values.count(
                  {"Software\\Microsoft\\Terminal Server Client\\LocalDevices", "127.0.0.1"}),
              1u);
    ASSERT_EQ(services.launcher.command_lines.size(), 1u);
    EXPECT_EQ(services.launcher.command_lines[0],
              "mstsc.exe \"" + path + "\" /admin /w:1024 /h:768");
    EXPECT_FALSE(enabled_while_starting) << "the button is off during the launch";
    EXPECT_TRUE(window->controls().Enabled(mw::kConnect));
}

TEST_F(ConnectTest, ConsoleWinsOverAdminAndFullScreenHasNoSize) {
    Select(1);
    window->controls().SetChecked(mw::kConsole, true);  // both marks on, as a loaded file can leave them
    window->controls().SetChecked(mw::kFullScreen, true);
    window->Click(mw::kConnect);
    ASSERT_EQ(services.launcher.command_lines.size(), 1u);
    const std::string& line = services.launcher.command_lines[0];
    EXPECT_EQ(line.substr(line.rfind('"') + 1), " /console");
    EXPECT_FALSE(window->controls().Checked(mw::kAdmin));
    // The empty remark still gives a file the client can open.
    const std::string file = line.substr(11, line.rfind('"') - 11);
    EXPECT_EQ(services.files.files.count(file), 1u) << file;
}

TEST_F(ConnectTest, NoSelectionShowsTheMessageAndLaunchesNothing) {
    Select(0);
    window->controls().SelectRow(mw::kServerList, -1);
    window->Click(mw::kConnect);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "请选择服务器列表！");
    EXPECT_EQ(services.messages[0].flags, ui::kMbIconError);
    EXPECT_TRUE(services.launcher.command_lines.empty());
    EXPECT_TRUE(window->controls().Enabled(mw::kConnect));
}

}  // namespace
}  // namespace tessoral
