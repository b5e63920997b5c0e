// The main window's commands, the server dialog and the start-up password
// window, run with in-memory controls: the test plays the user, and the
// fake services record what the program asks of Windows.
#include <gtest/gtest.h>

#include <deque>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "core/data_file.h"
#include "core/preferences.h"
#include "core/rc4.h"
#include "tests/support/fake_services.h"

namespace tessoral {
namespace {

using testing::FakeServices;
using testing::FakeWindow;
using testing::MemoryControls;
using ui::WindowId;
namespace mw = ui::main_window;
namespace sd = ui::server_dialog;
namespace ps = ui::password_setup;

constexpr const char* kAppData = "C:\\AppData";
constexpr const char* kDataFile = "C:\\AppData\\Tessoral\\ms.ini";
constexpr const char* kPreferences = "C:\\AppData\\Tessoral\\configx.ini";

using Message = FakeServices::Message;
const Message kNoSelection{"请选择服务器列表！", "操作错误", 16};
const Message kConfirmDelete{"确认删除该项？", "删除项目", 1};
const Message kMismatch{"两次密码必须相同", "输入出错", 16};
const Message kConfirmClear{"您确定要清空密码吗？", "提示", 68};

ServerEntry Entry(std::string host, std::string port, std::string account,
                  std::string password, std::string remark,
                  ServerStatus status = ServerStatus::Unknown) {
    return ServerEntry{std::move(host), std::move(port), std::move(account),
                       std::move(password), std::move(remark), status};
}

// What the add dialog stores when confirmed as it opens.
ServerEntry DefaultEntry() {
    return Entry("127.0.0.1", "3389", "Administrator", "", "填写备注更容易区分");
}

// Three servers told apart by account; their statuses once the first probe
// pass has reported: not known, offline, online.
std::vector<ServerEntry> Three() {
    return {Entry("127.0.0.1", "3389", "alpha", "", "第一台"),
            Entry("127.0.0.1", "3390", "beta", "pb", "第二台", ServerStatus::Offline),
            Entry("", "3391", "gamma", "pg", "", ServerStatus::Online)};
}

ServerList ListOf(const std::vector<ServerEntry>& entries) {
    ServerList list;
    for (const ServerEntry& e : entries) list.Append(e);
    return list;
}

void ExpectEntry(const ServerEntry& actual, const ServerEntry& expected) {
    EXPECT_EQ(actual.host, expected.host);
    EXPECT_EQ(actual.port, expected.port);
    EXPECT_EQ(actual.account, expected.account);
    EXPECT_EQ(actual.password, expected.password);
    EXPECT_EQ(actual.remark, expected.remark);
    EXPECT_EQ(actual.status, expected.status);
}

void ExpectMessages(const std::vector<Message>& actual, const std::vector<Message>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].text, expected[i].text);
        EXPECT_EQ(actual[i].title, expected[i].title);
        EXPECT_EQ(actual[i].flags, expected[i].flags);
    }
}

const char* StatusCell(ServerStatus s) {
    return s == ServerStatus::Online ? "在线" : s == ServerStatus::Offline ? "离线" : "...";
}

// Replaces a box's text the way a user does: select all, then type.
void Retype(FakeWindow& w, int box, std::string_view text) {
    w.controls().SetText(box, "");
    w.Type(box, text);
}

class CommandsTest : public ::testing::Test {
protected:
    // Starts the program with `entries` in the data file and lets the first
    // probe pass report their statuses.
    void Start(const std::vector<ServerEntry>& entries = Three()) {
        if (!entries.empty()) {
            services.files.files[kDataFile] = Rc4Transform(
                BuildDataText(ListOf(entries), StartMode{false, true}, ""), kDataFileKey);
        }
        RunStartup(state, services, std::string(kAppData));
        main = services.Window(WindowId::Main);
        ASSERT_NE(main, nullptr);
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            services.results.push_back({i + 1, entries[static_cast<size_t>(i)].status});
        }
        main->logic().OnProbeResults();
    }

    MemoryControls& C() { return main->controls(); }

    // A click on a row raises the current-row event; one into empty space
    // (-1) only clears the selection.
    void ClickRow(int row) {
        C().SelectRow(mw::kServerList, row);
        if (row >= 0) main->logic().OnCurrentRowChanged(mw::kServerList);
    }

    // The list in memory and on screen, row by row.
    void ExpectList(const std::vector<ServerEntry>& expected) {
        ASSERT_EQ(state.servers.Count(), static_cast<int>(expected.size()));
        const auto& rows = C().Rows(mw::kServerList);
        ASSERT_EQ(rows.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "position " << i + 1);
            const int position = static_cast<int>(i) + 1;
            ExpectEntry(state.servers.At(position), expected[i]);
            EXPECT_EQ(rows[i].value, position);
            EXPECT_EQ(rows[i].text(), expected[i].host);
            EXPECT_EQ(rows[i].cells[1], expected[i].port);
            EXPECT_EQ(rows[i].cells[2], expected[i].account);
            EXPECT_EQ(rows[i].cells[3], StatusCell(expected[i].status));
            EXPECT_EQ(rows[i].state_image, static_cast<int>(expected[i].status) - 1);
        }
        EXPECT_TRUE(C().At(mw::kServerList).redraw);
    }

    // The pass that went out last covers every row, on copies of its texts.
    void ExpectProbePassOverAll(size_t passes) {
        ASSERT_EQ(services.probe_passes.size(), passes);
        const std::vector<ProbeTarget>& pass = services.probe_passes.back();
        ASSERT_EQ(static_cast<int>(pass.size()), state.servers.Count());
        for (size_t i = 0; i < pass.size(); ++i) {
            EXPECT_EQ(pass[i].position, static_cast<int>(i) + 1);
            EXPECT_EQ(pass[i].host, state.servers.At(pass[i].position).host);
            EXPECT_EQ(pass[i].port, state.servers.At(pass[i].position).port);
        }
    }

    std::string Saved() {
        main->CanClose();
        return Rc4Transform(services.files.files[kDataFile], kDataFileKey);
    }

    ui::ProgramState state;
    FakeServices services{state};
    FakeWindow* main = nullptr;
};

// ---- the current row -----------------------------------------------------------

TEST_F(CommandsTest, CurrentRowEnablesTheButtonsAndShowsItsRemark) {
    Start();
    EXPECT_FALSE(C().Enabled(mw::kDelete));
    EXPECT_FALSE(C().Enabled(mw::kConnect));
    EXPECT_EQ(C().Text(mw::kRemark), "\r\n");

    ClickRow(1);
    EXPECT_TRUE(C().Enabled(mw::kDelete));
    EXPECT_TRUE(C().Enabled(mw::kConnect));
    EXPECT_EQ(C().Text(mw::kRemark), "第二台");
    ClickRow(0);
    EXPECT_EQ(C().Text(mw::kRemark), "第一台");
    ClickRow(2);
    EXPECT_EQ(C().Text(mw::kRemark), "") << "an empty remark empties the box";

    // The current row moved while nothing was selected: nothing to show.
    ClickRow(0);
    C().SelectRow(mw::kServerList, -1);
    main->logic().OnCurrentRowChanged(mw::kServerList);
    EXPECT_EQ(C().Text(mw::kRemark), "第一台");
    EXPECT_TRUE(C().Enabled(mw::kDelete)) << "the buttons are never disabled again";
    EXPECT_TRUE(services.messages.empty());
}

// ---- no selection ----------------------------------------------------------------

enum class Before { Nothing, EmptySpaceClicked, RefilledByDelete, RefilledByAdd };

struct NoSelectionCase {
    const char* name;
    Before before;
    int command;
    bool message;  // false: the button is still disabled and takes no click
};

void PrintTo(const NoSelectionCase& c, std::ostream* os) { *os << c.name; }

class NoSelectionTest : public CommandsTest,
                        public ::testing::WithParamInterface<NoSelectionCase> {};

TEST_P(NoSelectionTest, SaysSoAndChangesNothing) {
    const NoSelectionCase& t = GetParam();
    Start();
    std::vector<ServerEntry> expected = Three();
    switch (t.before) {
    case Before::Nothing: break;
    case Before::EmptySpaceClicked:
        ClickRow(1);
        ClickRow(-1);
        break;
    case Before::RefilledByDelete:
        ClickRow(1);
        main->Click(mw::kDelete);
        expected.erase(expected.begin() + 1);
        break;
    case Before::RefilledByAdd:
        ClickRow(1);
        services.user = [](WindowId, FakeWindow& w) { w.Click(sd::kConfirm); };
        main->Click(mw::kAdd);
        expected.push_back(DefaultEntry());
        break;
    }
    ASSERT_EQ(C().SelectedRow(mw::kServerList), -1);
    services.messages.clear();
    const size_t loads = services.loads.size();
    const size_t passes = services.probe_passes.size();
    const std::string remark = C().Text(mw::kRemark);

    main->Click(t.command);
    ExpectMessages(services.messages,
                   t.message ? std::vector<Message>{kNoSelection} : std::vector<Message>{});
    ExpectList(expected);
    EXPECT_EQ(services.loads.size(), loads) << "no dialog opens";
    EXPECT_EQ(services.probe_passes.size(), passes);
    EXPECT_EQ(C().Text(mw::kRemark), remark);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoSelectionTest,
    ::testing::Values(
        NoSelectionCase{"EditRightAfterStart", Before::Nothing, mw::kEdit, true},
        NoSelectionCase{"DeleteRightAfterStartIsDisabled", Before::Nothing, mw::kDelete, false},
        NoSelectionCase{"DeleteAfterEmptySpace", Before::EmptySpaceClicked, mw::kDelete, true},
        NoSelectionCase{"EditAfterEmptySpace", Before::EmptySpaceClicked, mw::kEdit, true},
        NoSelectionCase{"DeleteAgainAfterADelete", Before::RefilledByDelete, mw::kDelete, true},
        NoSelectionCase{"EditAfterADelete", Before::RefilledByDelete, mw::kEdit, true},
        NoSelectionCase{"DeleteAfterAnAdd", Before::RefilledByAdd, mw::kDelete, true},
        NoSelectionCase{"EditAfterAnAdd", Before::RefilledByAdd, mw::kEdit, true}),
    [](const auto& test_case) { return test_case.param.name; });

// ---- delete -------------------------------------------------------------------------

struct DeleteCase {
    const char* name;
    int servers;  // the first ones of Three()
    int row;      // clicked before the delete
    int answer;   // to the confirmation
    std::vector<int> kept;  // positions at the start, in their new order
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class DeleteTest : public CommandsTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, RemovesOnlyOnOkAndKeepsTheOthersStatus) {
    const DeleteCase& t = GetParam();
    const std::vector<ServerEntry> all = Three();
    Start(std::vector<ServerEntry>(all.begin(), all.begin() + t.servers));
    const std::string before = services.files.files[kDataFile];
    ClickRow(t.row);
    const std::string remark = C().Text(mw::kRemark);
    services.answers = {t.answer};

    main->Click(mw::kDelete);
    ExpectMessages(services.messages, {kConfirmDelete});
    std::vector<ServerEntry> expected;
    for (int position : t.kept) expected.push_back(all[static_cast<size_t>(position - 1)]);
    ExpectList(expected);
    const bool deleted = t.answer == ui::kAnswerOk;
    EXPECT_EQ(C().SelectedRow(mw::kServerList), deleted ? -1 : t.row);
    EXPECT_TRUE(C().Enabled(mw::kDelete));
    EXPECT_TRUE(C().Enabled(mw::kConnect));
    EXPECT_EQ(C().Text(mw::kRemark), remark) << "the remark box keeps what it showed";
    EXPECT_EQ(services.probe_passes.size(), t.servers > 0 ? 1u : 0u) << "a delete probes nothing";
    EXPECT_EQ(services.files.files[kDataFile], before) << "nothing is saved before the close";

    EXPECT_EQ(Saved(), BuildDataText(ListOf(expected), StartMode{false, true}, ""));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeleteTest,
    ::testing::Values(DeleteCase{"SecondOfThree", 3, 1, ui::kAnswerOk, {1, 3}},
                      DeleteCase{"FirstOfThree", 3, 0, ui::kAnswerOk, {2, 3}},
                      DeleteCase{"LastOfThree", 3, 2, ui::kAnswerOk, {1, 2}},
                      DeleteCase{"TheOnlyOne", 1, 0, ui::kAnswerOk, {}},
                      DeleteCase{"Cancel", 3, 1, ui::kAnswerCancel, {1, 2, 3}},
                      DeleteCase{"BoxGoneWithoutAnswer", 3, 1, 0, {1, 2, 3}}),
    [](const auto& test_case) { return test_case.param.name; });

// ---- the server dialog -----------------------------------------------------------

struct Shown {
    std::string title, caption, host, port, account, password, remark;
};

Shown ShownIn(MemoryControls& c) {
    return Shown{c.Title(),        c.Text(sd::kConfirm),  c.Text(sd::kHost),  c.Text(sd::kPort),
                 c.Text(sd::kAccount), c.Text(sd::kPassword), c.Text(sd::kRemark)};
}

void ExpectShown(const Shown& s, const std::string& title, const std::string& caption,
                 const ServerEntry& e) {
    EXPECT_EQ(s.title, title);
    EXPECT_EQ(s.caption, caption);
    EXPECT_EQ(s.host, e.host);
    EXPECT_EQ(s.port, e.port);
    EXPECT_EQ(s.account, e.account);
    EXPECT_EQ(s.password, e.password);
    EXPECT_EQ(s.remark, e.remark);
}

TEST_F(CommandsTest, AddConfirmedAtOnceAppendsTheDefaultsAndProbesEveryRow) {
    Start();
    ClickRow(1);
    std::optional<Shown> shown;
    services.user = [&](WindowId id, FakeWindow& w) {
        ASSERT_EQ(id, WindowId::ServerDialog);
        shown = ShownIn(w.controls());
        w.Click(sd::kConfirm);
    };
    main->Click(mw::kAdd);

    ASSERT_TRUE(shown);
    ExpectShown(*shown, sd::kAddTitle, sd::kAddCaption, DefaultEntry());
    EXPECT_EQ(services.loads.back().id, WindowId::ServerDialog);
    EXPECT_TRUE(services.loads.back().modal);
    std::vector<ServerEntry> expected = Three();
    expected.push_back(DefaultEntry());
    ExpectList(expected);
    EXPECT_EQ(C().SelectedRow(mw::kServerList), -1);
    ExpectProbePassOverAll(2);
    EXPECT_TRUE(services.messages.empty());
}

struct EditCase {
    const char* name;
    ServerEntry typed;  // what the boxes hold when confirmed
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }

class EditTest : public CommandsTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditTest, ReplacesTheTextsInPlaceAndKeepsTheStatus) {
    const EditCase& t = GetParam();
    Start();
    ClickRow(1);
    std::optional<Shown> shown;
    services.user = [&](WindowId, FakeWindow& w) {
        shown = ShownIn(w.controls());
        Retype(w, sd::kHost, t.typed.host);
        Retype(w, sd::kPort, t.typed.port);
        Retype(w, sd::kAccount, t.typed.account);
        Retype(w, sd::kPassword, t.typed.password);
        Retype(w, sd::kRemark, t.typed.remark);
        w.Click(sd::kConfirm);
        EXPECT_FALSE(w.alive());
    };
    main->Click(mw::kEdit);

    ASSERT_TRUE(shown);
    std::vector<ServerEntry> expected = Three();
    ExpectShown(*shown, sd::kEditTitle, sd::kEditCaption, expected[1]);
    EXPECT_EQ(state.edit_position, 2);
    expected[1] = t.typed;
    expected[1].status = ServerStatus::Offline;
    ExpectList(expected);
    EXPECT_EQ(C().SelectedRow(mw::kServerList), -1);
    ExpectProbePassOverAll(2);
    EXPECT_TRUE(services.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditTest,
    ::testing::Values(
        EditCase{"OnlyThePort", Entry("127.0.0.1", "3399", "beta", "pb", "第二台")},
        EditCase{"EveryBox", Entry("", "33 89x", " 管理员 ", "新密码", "另一台")},
        EditCase{"AllEmptied", Entry("", "", "", "", "")}),
    [](const auto& test_case) { return test_case.param.name; });

struct LeaveDialogCase {
    const char* name;
    int command;   // add or edit
    bool cancel;   // the cancel button; otherwise the close button or Esc
};

void PrintTo(const LeaveDialogCase& c, std::ostream* os) { *os << c.name; }

class LeaveDialogTest : public CommandsTest,
                        public ::testing::WithParamInterface<LeaveDialogCase> {};

TEST_P(LeaveDialogTest, ChangesNothingAndKeepsTheSelection) {
    const LeaveDialogCase& t = GetParam();
    Start();
    ClickRow(2);
    services.user = [&](WindowId, FakeWindow& w) {
        Retype(w, sd::kHost, "");
        Retype(w, sd::kAccount, "changed");
        if (t.cancel) {
            w.Click(sd::kCancel);
        } else {
            w.Close();
        }
    };
    main->Click(t.command);
    EXPECT_EQ(services.loads.back().id, WindowId::ServerDialog);
    ExpectList(Three());
    EXPECT_EQ(C().SelectedRow(mw::kServerList), 2) << "the list was not refilled";
    EXPECT_EQ(services.probe_passes.size(), 1u);
    EXPECT_TRUE(services.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LeaveDialogTest,
    ::testing::Values(LeaveDialogCase{"AddCancelled", mw::kAdd, true},
                      LeaveDialogCase{"AddClosed", mw::kAdd, false},
                      LeaveDialogCase{"EditCancelled", mw::kEdit, true},
                      LeaveDialogCase{"EditClosed", mw::kEdit, false}),
    [](const auto& test_case) { return test_case.param.name; });

TEST_F(CommandsTest, EveryOpeningShowsItsOwnMode) {
    struct Opening {
        int row;              // clicked first; -1 clicks nothing
        int command;
        const char* account;  // typed before confirming; nullptr cancels
        bool edit;            // the mode the dialog must show
        ServerEntry shown;
    };
    ServerEntry added = DefaultEntry();
    ServerEntry renamed = DefaultEntry();
    renamed.account = "delta";
    const std::vector<ServerEntry> three = Three();
    const Opening openings[] = {
        {0, mw::kEdit, nullptr, true, three[0]},
        {-1, mw::kAdd, "Administrator", false, DefaultEntry()},
        {3, mw::kEdit, "delta", true, added},
        {-1, mw::kAdd, nullptr, false, DefaultEntry()},
        {3, mw::kEdit, nullptr, true, renamed},
        {2, mw::kAdd, nullptr, false, DefaultEntry()},
    };
    Start();
    for (size_t i = 0; i < std::size(openings); ++i) {
        SCOPED_TRACE(::testing::Message() << "opening " << i);
        const Opening& o = openings[i];
        if (o.row >= 0) ClickRow(o.row);
        std::optional<Shown> shown;
        services.user = [&](WindowId, FakeWindow& w) {
            shown = ShownIn(w.controls());
            if (!o.account) {
                w.Click(sd::kCancel);
                return;
            }
            Retype(w, sd::kAccount, o.account);
            w.Click(sd::kConfirm);
        };
        main->Click(o.command);
        ASSERT_TRUE(shown);
        if (o.edit) {
            ExpectShown(*shown, sd::kEditTitle, sd::kEditCaption, o.shown);
        } else {
            ExpectShown(*shown, sd::kAddTitle, sd::kAddCaption, o.shown);
        }
    }
    std::vector<ServerEntry> expected = three;
    expected.push_back(renamed);
    ExpectList(expected);
    EXPECT_EQ(services.probe_passes.size(), 3u) << "one pass per confirmation";
}

// ---- the start-up password -------------------------------------------------------

enum class Leave { Ok, Cancel, Close };

struct PasswordCase {
    const char* name;
    std::string typed, repeated;
    Leave leave;
    std::deque<int> answers;
    std::vector<Message> messages;
    std::string password;  // afterwards, in memory and in the saved file
    bool closed;
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class PasswordSetupTest : public CommandsTest,
                          public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordSetupTest, SetsChangesOrClearsAsAnswered) {
    const PasswordCase& t = GetParam();
    Start();
    state.startup_password = "old";  // as if the start had asked for it
    bool opened_empty = false;
    bool closed = false;
    services.user = [&](WindowId id, FakeWindow& w) {
        ASSERT_EQ(id, WindowId::PasswordSetup);
        MemoryControls& c = w.controls();
        EXPECT_EQ(c.At(ps::kPadlock).picture, ui::Picture::Padlock);
        opened_empty = c.Text(ps::kNew).empty() && c.Text(ps::kRepeat).empty();
        w.Type(ps::kNew, t.typed);
        w.Type(ps::kRepeat, t.repeated);
        switch (t.leave) {
        case Leave::Ok: w.Click(ps::kOk); break;
        case Leave::Cancel: w.Click(ps::kCancel); break;
        case Leave::Close: w.Close(); break;
        }
        closed = !w.alive();
        if (w.alive()) {
            EXPECT_EQ(c.Text(ps::kNew), t.typed) << "the window keeps what was typed";
            EXPECT_EQ(c.Text(ps::kRepeat), t.repeated);
            w.Close();
        }
    };
    services.answers = t.answers;

    main->Click(mw::kStartupPassword);
    EXPECT_TRUE(opened_empty) << "the current password is never shown";
    EXPECT_EQ(closed, t.closed);
    ExpectMessages(services.messages, t.messages);
    EXPECT_EQ(state.startup_password, t.password);
    EXPECT_EQ(StartupPasswordOf(Saved()), t.password);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordSetupTest,
    ::testing::Values(
        PasswordCase{"Set", "n3w", "n3w", Leave::Ok, {}, {}, "n3w", true},
        PasswordCase{"ChineseWithSpaces", " 新 密码 ", " 新 密码 ", Leave::Ok, {}, {}, " 新 密码 ",
                     true},
        PasswordCase{"Different", "abc", "abd", Leave::Ok, {}, {kMismatch}, "old", false},
        PasswordCase{"RepeatEmpty", "abc", "", Leave::Ok, {}, {kMismatch}, "old", false},
        PasswordCase{"FirstEmpty", "", "abc", Leave::Ok, {}, {kMismatch}, "old", false},
        PasswordCase{"CaseDiffers", "Abc", "abc", Leave::Ok, {}, {kMismatch}, "old", false},
        PasswordCase{"ClearYes", "", "", Leave::Ok, {ui::kAnswerYes}, {kConfirmClear}, "", true},
        PasswordCase{"ClearNo", "", "", Leave::Ok, {ui::kAnswerNo}, {kConfirmClear}, "old",
                     false},
        PasswordCase{"CancelButton", "n3w", "n3w", Leave::Cancel, {}, {}, "old", true},
        PasswordCase{"CloseButton", "n3w", "n3w", Leave::Close, {}, {}, "old", true}),
    [](const auto& test_case) { return test_case.param.name; });

// ---- what the data file cannot carry ------------------------------------------

enum class Box { Host, Port, Account, Password, Remark, StartupPassword };

int BoxId(Box box) {
    switch (box) {
    case Box::Host: return sd::kHost;
    case Box::Port: return sd::kPort;
    case Box::Account: return sd::kAccount;
    case Box::Password: return sd::kPassword;
    case Box::Remark: return sd::kRemark;
    case Box::StartupPassword: break;
    }
    return -1;
}

struct RefusalCase {
    const char* name;
    Box box;
    bool edit;  // the server dialog in edit mode (of entry 2)
    std::string text;
    std::vector<std::string> said;  // pieces of the message: the field, the character
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class RefusalTest : public CommandsTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, SaysWhichFieldAndCharacterAndKeepsTheWindow) {
    const RefusalCase& t = GetParam();
    Start();
    const bool server = t.box != Box::StartupPassword;
    if (t.edit) ClickRow(1);
    services.user = [&](WindowId, FakeWindow& w) {
        MemoryControls& c = w.controls();
        if (server) {
            Retype(w, BoxId(t.box), t.text);
            const Shown before = ShownIn(c);
            w.Click(sd::kConfirm);
            ASSERT_TRUE(w.alive()) << "the dialog closed";
            const Shown after = ShownIn(c);
            EXPECT_EQ(after.host, before.host);
            EXPECT_EQ(after.port, before.port);
            EXPECT_EQ(after.account, before.account);
            EXPECT_EQ(after.password, before.password);
            EXPECT_EQ(after.remark, before.remark);
            EXPECT_EQ(after.title, before.title);
            ExpectList(Three());
            EXPECT_EQ(services.probe_passes.size(), 1u);
            // Put right, the same dialog stores it.
            Retype(w, BoxId(t.box), "fixed");
            w.Click(sd::kConfirm);
        } else {
            w.Type(ps::kNew, t.text);
            w.Type(ps::kRepeat, t.text);
            w.Click(ps::kOk);
            ASSERT_TRUE(w.alive()) << "the window closed";
            EXPECT_EQ(c.Text(ps::kNew), t.text);
            EXPECT_EQ(c.Text(ps::kRepeat), t.text);
            EXPECT_EQ(state.startup_password, "");
            Retype(w, ps::kNew, "fixed");
            Retype(w, ps::kRepeat, "fixed");
            w.Click(ps::kOk);
        }
        EXPECT_FALSE(w.alive()) << "the corrected text was not taken";
    };
    main->Click(server ? (t.edit ? mw::kEdit : mw::kAdd) : mw::kStartupPassword);

    ASSERT_EQ(services.messages.size(), 1u);
    const Message& m = services.messages[0];
    EXPECT_EQ(m.title, "输入出错");
    EXPECT_EQ(m.flags, 16u);
    for (const std::string& piece : t.said) {
        EXPECT_NE(m.text.find(piece), std::string::npos) << m.text << " does not say " << piece;
    }
    if (!server) {
        EXPECT_EQ(state.startup_password, "fixed");
        return;
    }
    std::vector<ServerEntry> expected = Three();
    ServerEntry changed = t.edit ? expected[1] : DefaultEntry();
    std::string* fields[] = {&changed.host, &changed.port, &changed.account, &changed.password,
                             &changed.remark};
    *fields[static_cast<int>(t.box)] = "fixed";
    if (t.edit) {
        expected[1] = changed;
    } else {
        expected.push_back(changed);
    }
    ExpectList(expected);
    EXPECT_EQ(services.probe_passes.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusalTest,
    ::testing::Values(
        RefusalCase{"BarInHost", Box::Host, false, "127.0.0.1|1", {"IP/域名", "“|”"}},
        RefusalCase{"BarInPort", Box::Port, false, "33|89", {"端口", "“|”"}},
        RefusalCase{"BarInAccount", Box::Account, true, "a|b", {"登陆账号", "“|”"}},
        RefusalCase{"BarInPassword", Box::Password, false, "|", {"登陆密码", "“|”"}},
        RefusalCase{"BarInRemark", Box::Remark, true, "甲|乙", {"备注", "“|”"}},
        RefusalCase{"LineBreakInRemark", Box::Remark, false, "第一行\r\n第二行", {"备注", "换行"}},
        RefusalCase{"LoneLineFeed", Box::Remark, false, "a\nb", {"备注", "换行"}},
        RefusalCase{"LoneCarriageReturn", Box::Account, false, "a\rb", {"登陆账号", "换行"}},
        RefusalCase{"PasswordMarkerInPassword", Box::Password, false, "x#LoadinPass:<y",
                    {"登陆密码", "#LoadinPass:<"}},
        RefusalCase{"ConsoleMarkerInAccount", Box::Account, false, "#onsole:1",
                    {"登陆账号", "#onsole:"}},
        RefusalCase{"AdminMarkerInRemark", Box::Remark, true, "a #admin:1", {"备注", "#admin:"}},
        RefusalCase{"StartupGreaterThan", Box::StartupPassword, false, "a>b", {"启动密码", "“>”"}},
        RefusalCase{"StartupBar", Box::StartupPassword, false, "a|b", {"启动密码", "“|”"}},
        RefusalCase{"StartupLineBreak", Box::StartupPassword, false, "a\r\nb",
                    {"启动密码", "换行"}},
        RefusalCase{"StartupMarker", Box::StartupPassword, false, "#LoadinPass:<",
                    {"启动密码", "#LoadinPass:<"}}),
    [](const auto& test_case) { return test_case.param.name; });

// Everything else goes into the file and comes back exactly as typed.
struct KeptCase {
    const char* name;
    Box box;
    std::string text;
};

void PrintTo(const KeptCase& c, std::ostream* os) { *os << c.name; }

class KeptTextTest : public CommandsTest, public ::testing::WithParamInterface<KeptCase> {};

TEST_P(KeptTextTest, IsStoredAndReadBackAsTyped) {
    const KeptCase& t = GetParam();
    Start();
    const bool server = t.box != Box::StartupPassword;
    services.user = [&](WindowId, FakeWindow& w) {
        if (server) {
            Retype(w, BoxId(t.box), t.text);
            w.Click(sd::kConfirm);
        } else {
            w.Type(ps::kNew, t.text);
            w.Type(ps::kRepeat, t.text);
            w.Click(ps::kOk);
        }
        EXPECT_FALSE(w.alive());
    };
    main->Click(server ? mw::kAdd : mw::kStartupPassword);
    EXPECT_TRUE(services.messages.empty());

    const std::string saved = Saved();
    const ParsedData parsed = ParseDataText(saved);
    if (!server) {
        EXPECT_EQ(StartupPasswordOf(saved), t.text);
        ASSERT_EQ(parsed.servers.Count(), 3);
        EXPECT_FALSE(parsed.marks.console);
        return;
    }
    ServerEntry typed = DefaultEntry();
    std::string* fields[] = {&typed.host, &typed.port, &typed.account, &typed.password,
                             &typed.remark};
    *fields[static_cast<int>(t.box)] = t.text;
    ExpectEntry(state.servers.At(4), typed);
    ASSERT_EQ(parsed.servers.Count(), 4);
    ExpectEntry(parsed.servers.At(4), typed);
    EXPECT_FALSE(parsed.marks.console);
    EXPECT_EQ(StartupPasswordOf(saved), "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KeptTextTest,
    ::testing::Values(
        KeptCase{"EmptyHost", Box::Host, ""},
        KeptCase{"SpacesAround", Box::Host, "  127.0.0.1 "},
        KeptCase{"LettersInPort", Box::Port, "33 89x"},
        KeptCase{"AnglesInAccount", Box::Account, ">管理员<"},
        KeptCase{"MarkersWithoutColon", Box::Password, "#onsole1#admin#Start:1>"},
        // The second byte of this character is the code of "|".
        KeptCase{"BarAsSecondByte", Box::Remark, "备\xB1\x7C注"},
        KeptCase{"HalfAMarker", Box::Remark, "#LoadinPass:"},
        KeptCase{"StartupAngleOpen", Box::StartupPassword, "<<"},
        KeptCase{"StartupMarkers", Box::StartupPassword, "#admin:1#onsole:"},
        KeptCase{"StartupBarAsSecondByte", Box::StartupPassword, "密\xB1\x7C码"},
        KeptCase{"StartupSpaces", Box::StartupPassword, " 空 格 "}),
    [](const auto& test_case) { return test_case.param.name; });

// ---- full screen and the resolution list --------------------------------------

TEST_F(CommandsTest, FullScreenDisablesTheResolutionListAndKeepsItsChoice) {
    Start({});
    C().SetSelection(mw::kResolution, 4);
    const auto profiles = services.profiles;
    for (bool checked : {true, false, true}) {
        C().SetChecked(mw::kFullScreen, checked);  // the click's own change of the mark
        main->Click(mw::kFullScreen);
        EXPECT_EQ(C().Enabled(mw::kResolution), !checked);
        EXPECT_EQ(C().Selection(mw::kResolution), 4);
    }
    EXPECT_EQ(services.profiles, profiles) << "the preferences file is not touched";
    EXPECT_TRUE(services.messages.empty());
}

struct PreferenceCase {
    const char* name;
    bool file;                         // configx.ini exists
    std::optional<std::string> value;  // the stored value, if the key is there
    const char* shown;                 // the item selected, "" for none
    std::string rewritten;
};

void PrintTo(const PreferenceCase& c, std::ostream* os) { *os << c.name; }

class PreferenceTest : public CommandsTest,
                       public ::testing::WithParamInterface<PreferenceCase> {};

TEST_P(PreferenceTest, StartSelectsTheStoredItemAndWritesItBack) {
    const PreferenceCase& t = GetParam();
    if (t.file) {
        auto& file = services.profiles[kPreferences];
        file[{"其他", "键"}] = "1";
        if (t.value) file[{kResolutionSection, kResolutionKey}] = *t.value;
    }
    Start({});
    const int selected = C().Selection(mw::kResolution);
    EXPECT_EQ(C().ItemText(mw::kResolution, selected), t.shown) << "index " << selected;
    EXPECT_EQ((services.profiles[kPreferences][{kResolutionSection, kResolutionKey}]),
              t.rewritten);
    EXPECT_EQ(std::to_string(selected), t.rewritten);
    if (t.file) {
        EXPECT_EQ((services.profiles[kPreferences][{"其他", "键"}]), "1");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreferenceTest,
    ::testing::Values(PreferenceCase{"Five", true, "5", "1280 x 800", "5"},
                      PreferenceCase{"Fraction", true, "3.7", "1280 x 720", "3"},
                      PreferenceCase{"TooLarge", true, "99", "1920 x 1080", "13"},
                      PreferenceCase{"NotANumber", true, "abc", "800 x 600", "0"},
                      PreferenceCase{"MinusOne", true, "-1", "", "-1"},
                      PreferenceCase{"EmptyValue", true, "", "800 x 600", "0"},
                      PreferenceCase{"NoKey", true, std::nullopt, "800 x 600", "0"},
                      PreferenceCase{"NoFile", false, std::nullopt, "800 x 600", "0"}),
    [](const auto& test_case) { return test_case.param.name; });

TEST_F(CommandsTest, EveryPickIsWrittenAtOnce) {
    Start({});
    auto stored = [&] {
        return services.profiles[kPreferences][{kResolutionSection, kResolutionKey}];
    };
    for (int index : {9, 9, 13, 0}) {
        SCOPED_TRACE(index);
        services.profiles[kPreferences][{kResolutionSection, kResolutionKey}] = "stale";
        C().SetSelection(mw::kResolution, index);
        main->logic().OnItemPicked(mw::kResolution);
        EXPECT_EQ(stored(), std::to_string(index)) << "also a pick of the item already chosen";
    }
    EXPECT_EQ(services.profiles.size(), 1u);
}

struct NumberCase {
    const char* text;
    int index;
};

class ResolutionIndexTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ResolutionIndexTest, ReadsTheLeadingNumberWithinTheList) {
    EXPECT_EQ(ResolutionIndexFromText(GetParam().text, 13), GetParam().index)
        << "\"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolutionIndexTest,
    ::testing::Values(NumberCase{"5", 5}, NumberCase{"3.7", 3}, NumberCase{"99", 13},
                      NumberCase{"abc", 0}, NumberCase{"-1", -1}, NumberCase{"  7", 7},
                      NumberCase{"1e1", 10}, NumberCase{"-0.5", 0}, NumberCase{"", 0},
                      NumberCase{"13.99", 13}, NumberCase{"14", 13}, NumberCase{"-2", -1},
                      NumberCase{"0", 0}, NumberCase{"+4", 4}, NumberCase{".9", 0},
                      NumberCase{"8.", 8}, NumberCase{"6x", 6}, NumberCase{"1e", 1},
                      NumberCase{"2e-1", 0}, NumberCase{"-1.9", -1}, NumberCase{"0x10", 0},
                      NumberCase{"- 3", 0}, NumberCase{"1e999", 13}, NumberCase{"-1e999", -1},
                      NumberCase{"99999999999", 13}));

}  // namespace
}  // namespace tessoral
