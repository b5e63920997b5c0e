// The main window in the notification area and its links, with fakes.
#include "ui/tray_event.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "tests/support/fake_services.h"

namespace tessoral {
namespace {

using testing::FakeServices;
using ui::TrayEvent;
using ui::WindowId;
namespace mw = ui::main_window;

TEST(TrayEventTest, MouseMessagesThatRestore) {
    const std::pair<unsigned, TrayEvent> cases[] = {
        {0x0202, TrayEvent::Click},  {0x0203, TrayEvent::DoubleClick},
        {0x0205, TrayEvent::Menu},   {0x007B, TrayEvent::Menu},
        {0x0201, TrayEvent::None},   {0x0200, TrayEvent::None},  // button down, mouse move
        {0x0204, TrayEvent::None},   {0, TrayEvent::None},
    };
    for (const auto& [message, event] : cases) {
        EXPECT_EQ(ui::TrayEventFromMessage(message), event) << std::hex << message;
    }
}

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.addresses = {"http://127.0.0.1/product", "http://127.0.0.1/contact",
                           "about:blank"};
        RunStartup(state, services, std::string("C:\\AppData"));
        window = services.Window(WindowId::Main);
        ASSERT_NE(window, nullptr);
    }
    ui::ProgramState state;
    FakeServices services{state};
    testing::FakeWindow* window = nullptr;
};

TEST_F(TrayTest, IconAndBannerComeWithTheWindow) {
    EXPECT_EQ(services.tray_icons, std::vector<std::string>{"Tessoral V6.0"});
    EXPECT_EQ(window->controls().Text(mw::kBanner), "about:blank");
    EXPECT_TRUE(services.opened_pages.empty()) << "nothing opens by itself";
}

TEST_F(TrayTest, MinimisedHidesAndTheIconBringsItBack) {
    testing::MemoryControls& c = window->controls();
    window->logic().OnPositionChanged();
    EXPECT_TRUE(c.visible()) << "a move of a visible window changes nothing";

    for (TrayEvent event : {TrayEvent::Click, TrayEvent::DoubleClick, TrayEvent::Menu}) {
        SCOPED_TRACE(static_cast<int>(event));
        c.set_minimized(true);
        window->logic().OnPositionChanged();
        EXPECT_FALSE(c.visible());
        window->logic().OnTrayEvent(event);
        EXPECT_FALSE(c.Minimized());
        EXPECT_TRUE(c.visible());
    }
    const int activations = c.activations();
    window->logic().OnTrayEvent(TrayEvent::None);
    EXPECT_EQ(c.activations(), activations);
    window->logic().OnTrayEvent(TrayEvent::Click);  // on a visible window: only activates
    EXPECT_EQ(c.activations(), activations + 1);
    EXPECT_TRUE(c.visible());
}

TEST_F(TrayTest, EachPressOpensOnePage) {
    window->logic().OnLinkPressed(mw::kSiteLink);
    window->Click(mw::kContactBadge);
    window->Click(mw::kContactBadge);
    EXPECT_EQ(services.opened_pages,
              (std::vector<std::string>{"http://127.0.0.1/product", "http://127.0.0.1/contact",
                                        "http://127.0.0.1/contact"}));
}

TEST(TraySecondCopyTest, ASecondCopyAddsItsIconBeforeItGivesWay) {
    ui::ProgramState state;
    FakeServices services{state};
    services.existing_events.insert("Tessoral V6.0");
    RunStartup(state, services, std::string("C:\\AppData"));
    EXPECT_EQ(services.tray_icons.size(), 1u);
    EXPECT_EQ(services.Window(WindowId::Main), nullptr);
}

}  // namespace
}  // namespace tessoral
