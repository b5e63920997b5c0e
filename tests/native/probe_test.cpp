#include "core/probe.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "core/data_file.h"
#include "core/rc4.h"
#include "tests/support/fake_services.h"
#include "ui/main_window.h"
#include "ui/state_pictures.h"

namespace tessoral {
namespace {

struct PortCase {
    const char* text;
    uint16_t port;
};

class ProbePortTest : public ::testing::TestWithParam<PortCase> {};

TEST_P(ProbePortTest, ReadsLikeAtoiWithFloorOfOne) {
    EXPECT_EQ(ProbePortNumber(GetParam().text), GetParam().port) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProbePortTest,
    ::testing::Values(PortCase{"3389", 3389}, PortCase{"", 1}, PortCase{"abc", 1},
                      PortCase{"0", 1}, PortCase{"-5", 1}, PortCase{"12ab", 12},
                      PortCase{" \t80", 80}, PortCase{"+80", 80}, PortCase{"8 0", 8},
                      PortCase{"３３８９", 3389}, PortCase{"　３３", 33}, PortCase{"3３8９", 3389},
                      PortCase{"65537", 1}, PortCase{"65536", 0}, PortCase{"65535", 65535},
                      // Saturates at the largest int, as the C library does.
                      PortCase{"99999999999999999999", 65535}, PortCase{"服务3389", 1}));

using testing::FakeServices;
using ui::WindowId;
namespace mw = ui::main_window;

class ProbePassTest : public ::testing::Test {
protected:
    void SetUp() override {
        ServerList list;
        for (const char* host : {"10.0.0.1", "10.0.0.2", "server.example"}) {
            list.Append(ServerEntry{host, std::string("33") + host[7], "u", "", "", {}});
        }
        services.files.files["C:\\AppData\\Tessoral\\ms.ini"] =
            Rc4Transform(BuildDataText(list, StartMode{false, true}, ""), kDataFileKey);
        RunStartup(state, services, std::string("C:\\AppData"));
        window = services.Window(WindowId::Main);
        ASSERT_NE(window, nullptr);
    }
    ui::MainWindow& Logic() { return static_cast<ui::MainWindow&>(window->logic()); }
    void Deliver(std::vector<ProbeResult> results) {
        services.results = std::move(results);
        window->logic().OnProbeResults();
    }
    const testing::MemoryControls::Row& Row(int row) {
        return window->controls().Rows(mw::kServerList)[static_cast<size_t>(row)];
    }

    ui::ProgramState state;
    FakeServices services{state};
    testing::FakeWindow* window = nullptr;
};

TEST_F(ProbePassTest, CreationProbesEveryRowOnCopies) {
    ASSERT_EQ(services.probe_passes.size(), 1u);
    const std::vector<ProbeTarget>& pass = services.probe_passes[0];
    ASSERT_EQ(pass.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pass[i].position, i + 1);
        EXPECT_EQ(pass[i].host, state.servers.At(i + 1).host);
        EXPECT_EQ(pass[i].port, state.servers.At(i + 1).port);
    }
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Row(row).cells[3], "...");
        EXPECT_EQ(Row(row).state_image, 2);
    }
}

TEST_F(ProbePassTest, ResultsShowByPositionAndTheLastOneWins) {
    Deliver({{1, ServerStatus::Online}, {2, ServerStatus::Offline}, {1, ServerStatus::Offline},
             {9, ServerStatus::Online}});
    EXPECT_EQ(state.servers.At(1).status, ServerStatus::Offline);
    EXPECT_EQ(state.servers.At(2).status, ServerStatus::Offline);
    EXPECT_EQ(state.servers.At(3).status, ServerStatus::Unknown);
    EXPECT_EQ(Row(0).cells[3], "离线");
    EXPECT_EQ(Row(0).state_image, 1);
    EXPECT_EQ(Row(2).cells[3], "...");
    Deliver({{3, ServerStatus::Online}});
    EXPECT_EQ(Row(2).cells[3], "在线");
    EXPECT_EQ(Row(2).state_image, 0);
    EXPECT_EQ(window->controls().Rows(mw::kServerList).size(), 3u) << "no row for position 9";
}

TEST_F(ProbePassTest, ResultsAfterADeleteGoToWhoeverHoldsThePosition) {
    Deliver({{1, ServerStatus::Online}});
    state.servers.Remove(2);
    Logic().RefreshServerListView();
    EXPECT_EQ(Row(0).cells[3], "在线") << "a refresh keeps the stored status";
    // Results of the pass that was still running when the server went.
    Deliver({{3, ServerStatus::Online}, {2, ServerStatus::Offline}});
    ASSERT_EQ(state.servers.Count(), 2);
    EXPECT_EQ(state.servers.At(2).host, "server.example");
    EXPECT_EQ(state.servers.At(2).status, ServerStatus::Offline);
    EXPECT_EQ(Row(1).cells[3], "离线");
    EXPECT_EQ(Row(1).value, 2);
}

TEST(ProbePassEmptyTest, AnEmptyListStartsNoProbe) {
    ui::ProgramState state;
    FakeServices services{state};
    RunStartup(state, services, std::string("C:\\AppData"));
    ASSERT_NE(services.Window(WindowId::Main), nullptr);
    EXPECT_TRUE(services.probe_passes.empty());
}

TEST(StatePictureTest, MonitorsInTheirColours) {
    struct Expected {
        uint32_t outline, left, right;
    };
    const Expected colours[] = {{0xFF0F7409, 0xFF4DEC40, 0xFF29BD18},
                                {0xFF9C0000, 0xFFFD8886, 0xFFFE3330},
                                {0xFF6B7409, 0xFFE1EC40, 0xFFB7BD18}};
    for (int i = 0; i < ui::kStatePictureCount; ++i) {
        SCOPED_TRACE(i);
        const ui::StatePicture p = ui::DrawStatePicture(i);
        auto at = [&](int x, int y) { return p[static_cast<size_t>(y * 12 + x)]; };
        for (auto [x, y] : {std::pair{0, 0}, {11, 0}, {0, 12}, {11, 12}, {0, 9}, {11, 9}}) {
            EXPECT_EQ(at(x, y) >> 24, 0u) << x << "," << y;
        }
        EXPECT_EQ(at(5, 0), colours[i].outline);
        EXPECT_EQ(at(0, 5), colours[i].outline);
        EXPECT_EQ(at(5, 9), colours[i].outline) << "the line between screen and foot";
        EXPECT_EQ(at(1, 1), 0xFFFFFFFFu);
        EXPECT_EQ(at(10, 8), 0xFFEFEFEFu);
        EXPECT_EQ(at(2, 4), colours[i].left);
        EXPECT_EQ(at(9, 4), colours[i].right);
        EXPECT_EQ(at(7, 10), colours[i].outline) << "the foot's mark";
        EXPECT_EQ(at(5, 11), 0xFFEFEFEFu);
    }
}

}  // namespace
}  // namespace tessoral
