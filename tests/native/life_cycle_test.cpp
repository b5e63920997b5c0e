#include "app/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/data_file.h"
#include "core/rc4.h"
#include "tests/support/fake_services.h"

namespace tessoral {
namespace {

using testing::ExitRequested;
using testing::FakeServices;
using testing::FakeWindow;
using ui::WindowId;
namespace mw = ui::main_window;
namespace si = ui::sign_in;

constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";
constexpr const char* kFolder = "C:\\Users\\me\\AppData\\Roaming\\Tessoral\\";
constexpr const char* kFile = "C:\\Users\\me\\AppData\\Roaming\\Tessoral\\ms.ini";

using Loads = std::vector<std::pair<WindowId, bool>>;  // window, modal

ServerEntry Entry(std::string host, std::string port, std::string account,
                  std::string password, std::string remark) {
    return ServerEntry{std::move(host), std::move(port), std::move(account),
                       std::move(password), std::move(remark), ServerStatus::Unknown};
}

ServerList List(std::vector<ServerEntry> entries) {
    ServerList list;
    for (ServerEntry& e : entries) list.Append(std::move(e));
    return list;
}

ServerList TwoServers() {
    return List({Entry("192.168.1.10", "3389", "Administrator", "p@ss", "办公室"),
                 Entry("服务器.example", "3390", "ops", "", "")});
}

class LifeCycleTest : public ::testing::Test {
protected:
    void Store(const std::string& plain, const std::string& path = kFile) {
        services.files.files[path] = Rc4Transform(plain, kDataFileKey);
    }
    std::string Saved(const std::string& path = kFile) {
        auto it = services.files.files.find(path);
        if (it == services.files.files.end()) {
            ADD_FAILURE() << "no data file at " << path;
            return std::string();
        }
        return Rc4Transform(it->second, kDataFileKey);
    }
    void Run() { RunStartup(state, services, std::string(kAppData)); }
    Loads LoadsSoFar() const {
        Loads loads;
        for (const FakeServices::Load& l : services.loads) loads.emplace_back(l.id, l.modal);
        return loads;
    }
    void ExpectMessages(const std::vector<FakeServices::Message>& expected) {
        ASSERT_EQ(services.messages.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(services.messages[i].text, expected[i].text);
            EXPECT_EQ(services.messages[i].title, expected[i].title);
            EXPECT_EQ(services.messages[i].flags, expected[i].flags);
        }
    }
    // The rows the main window shows for `servers`, in order.
    static void ExpectRows(testing::MemoryControls& c, const ServerList& servers) {
        const auto& rows = c.Rows(mw::kServerList);
        ASSERT_EQ(static_cast<int>(rows.size()), servers.Count());
        for (int position = 1; position <= servers.Count(); ++position) {
            SCOPED_TRACE(position);
            const auto& row = rows[static_cast<size_t>(position - 1)];
            const ServerEntry& e = servers.At(position);
            EXPECT_EQ(row.value, position);
            EXPECT_EQ(row.text(), e.host);
            EXPECT_EQ(row.cells[1], e.port);
            EXPECT_EQ(row.cells[2], e.account);
            EXPECT_EQ(row.cells[3], "...");
            EXPECT_EQ(row.state_image, 2);
        }
        EXPECT_TRUE(c.At(mw::kServerList).redraw) << "the list is left without redraw";
    }

    ui::ProgramState state;
    FakeServices services{state};
};

TEST_F(LifeCycleTest, WithoutDataFileTheMainWindowOpensAndItsCloseSaves) {
    Run();
    EXPECT_EQ(LoadsSoFar(), (Loads{{WindowId::Main, false}}));
    EXPECT_TRUE(state.signed_in);
    FakeWindow* main = services.Window(WindowId::Main);
    ASSERT_NE(main, nullptr);
    testing::MemoryControls& c = main->controls();
    EXPECT_EQ(c.RowCount(mw::kServerList), 0);
    EXPECT_TRUE(c.Checked(mw::kAdmin));
    EXPECT_FALSE(c.Checked(mw::kConsole));
    EXPECT_EQ(c.Selection(mw::kResolution), 0);
    EXPECT_EQ(services.created_folders, std::vector<std::string>{kFolder});
    EXPECT_EQ(services.created_events, std::vector<std::string>{"Tessoral V6.0"});
    EXPECT_TRUE(services.messages.empty());
    EXPECT_TRUE(services.files.files.empty()) << "nothing is written before the close";

    main->CanClose();
    EXPECT_EQ(services.Window(WindowId::Main), nullptr);
    ASSERT_EQ(services.files.files.count(kFile), 1u);
    EXPECT_EQ(services.files.files[kFile].size(), 46u);
    EXPECT_EQ(Saved(), BuildDataText(ServerList(), StartMode{false, true}, ""));
    EXPECT_EQ(services.files.files.size(), 1u);
}

enum class Ending { Accepted, Cancel, Close };

struct SignInCase {
    const char* name;
    std::string password;            // stored in the data file
    std::vector<std::string> wrong;  // typed and confirmed in turn, each refused
    Ending ending;
    std::string last;                // typed and confirmed at the end when Accepted
};

void PrintTo(const SignInCase& c, std::ostream* os) { *os << c.name; }

class SignInTest : public LifeCycleTest, public ::testing::WithParamInterface<SignInCase> {};

TEST_P(SignInTest, AsksUntilRightOrGivenUp) {
    const SignInCase& t = GetParam();
    Store(BuildDataText(TwoServers(), StartMode{false, true}, t.password));
    const std::map<std::string, std::string> before = services.files.files;

    int sessions = 0;
    services.user = [&](WindowId id, FakeWindow& w) {
        ++sessions;
        ASSERT_EQ(id, WindowId::SignIn);
        testing::MemoryControls& c = w.controls();
        EXPECT_EQ(c.At(si::kPadlock).picture, ui::Picture::Padlock);
        for (const std::string& typed : t.wrong) {
            SCOPED_TRACE(typed);
            w.Type(si::kPassword, typed);
            w.Click(si::kOk);
            ASSERT_TRUE(w.alive());
            EXPECT_EQ(c.Text(si::kPassword), "") << "a refused password is cleared";
        }
        switch (t.ending) {
        case Ending::Accepted:
            w.Type(si::kPassword, t.last);
            w.Click(si::kOk);
            break;
        case Ending::Cancel: w.Click(si::kCancel); break;
        case Ending::Close: w.Close(); break;
        }
    };

    if (t.ending == Ending::Cancel) {
        EXPECT_THROW(Run(), ExitRequested);
    } else {
        Run();
    }
    EXPECT_EQ(sessions, 1);
    ExpectMessages(std::vector<FakeServices::Message>(t.wrong.size(), {"密码错误", "错误", 16}));

    FakeWindow* main = services.Window(WindowId::Main);
    if (t.ending == Ending::Accepted) {
        EXPECT_TRUE(state.signed_in);
        EXPECT_EQ(LoadsSoFar(), (Loads{{WindowId::SignIn, true}, {WindowId::Main, false}}));
        ASSERT_NE(main, nullptr);
        ExpectRows(main->controls(), TwoServers());
    } else {
        EXPECT_FALSE(state.signed_in);
        EXPECT_EQ(LoadsSoFar(), (Loads{{WindowId::SignIn, true}}));
        EXPECT_EQ(main, nullptr);
        EXPECT_TRUE(services.created_folders.empty());
    }
    EXPECT_EQ(services.files.files, before) << "signing in writes nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SignInTest,
    ::testing::Values(
        SignInCase{"RightAtOnce", "s3cret", {}, Ending::Accepted, "s3cret"},
        SignInCase{"WrongOnesThenRight",
                   "s3cret",
                   {"", "nope", "s3cre", "s3cret ", "S3CRET", "s3cret\r\n"},
                   Ending::Accepted,
                   "s3cret"},
        SignInCase{"ChineseCharacters", "密码", {"密", "码密"}, Ending::Accepted, "密码"},
        // The box takes sixteen characters; what is typed past them is lost.
        SignInCase{"TypingStopsAtSixteen", "0123456789abcdef", {"0123456789abcde"},
                   Ending::Accepted, "0123456789abcdefXYZ"},
        SignInCase{"SixteenWideCharacters", "密码密码密码密码密码密码密码密码", {},
                   Ending::Accepted, "密码密码密码密码密码密码密码密码密"},
        SignInCase{"CancelAtOnce", "s3cret", {}, Ending::Cancel, ""},
        SignInCase{"WrongThenCancel", "s3cret", {"", "nope"}, Ending::Cancel, ""},
        SignInCase{"ClosedAtOnce", "s3cret", {}, Ending::Close, ""},
        SignInCase{"WrongThenClosed", "s3cret", {"nope"}, Ending::Close, ""}),
    [](const auto& test_case) { return test_case.param.name; });

struct SecondCopyCase {
    const char* name;
    std::string password;              // stored in the data file
    std::vector<std::string> running;  // events the first copy holds
    bool reaches_user;                 // the sign-in window is there to type into
    Loads loads;
};

void PrintTo(const SecondCopyCase& c, std::ostream* os) { *os << c.name; }

class SecondCopyTest : public LifeCycleTest,
                       public ::testing::WithParamInterface<SecondCopyCase> {};

TEST_P(SecondCopyTest, SaysSoAndLeavesEverythingAsItWas) {
    const SecondCopyCase& t = GetParam();
    Store(BuildDataText(TwoServers(), StartMode{true, true}, t.password));
    const std::map<std::string, std::string> before = services.files.files;
    services.existing_events.insert(t.running.begin(), t.running.end());

    bool reached = false;
    services.user = [&](WindowId, FakeWindow& w) {
        reached = true;
        w.Type(si::kPassword, t.password);
        w.Click(si::kOk);
    };
    Run();

    EXPECT_EQ(reached, t.reaches_user);
    EXPECT_EQ(LoadsSoFar(), t.loads);
    ExpectMessages({{"貌似重复运行了!", "提示", 4096}});
    EXPECT_EQ(services.Window(WindowId::Main), nullptr);
    EXPECT_TRUE(services.created_folders.empty());
    EXPECT_EQ(state.servers.Count(), 0) << "the data is not parsed";
    EXPECT_EQ(services.files.files, before);
    for (const std::string& name : services.created_events) {
        EXPECT_EQ(t.running.end(), std::find(t.running.begin(), t.running.end(), name))
            << "the second copy took over " << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SecondCopyTest,
    ::testing::Values(
        SecondCopyCase{"MainWindow", "", {"Tessoral V6.0"}, false, {{WindowId::Main, false}}},
        SecondCopyCase{"SignIn", "pw", {"身份验证 (Authentication)"}, false,
                       {{WindowId::SignIn, true}}},
        // The first copy set its password after it had started: it holds
        // only the main window's event, so the sign-in passes first.
        SecondCopyCase{"MainWindowAfterSignIn",
                       "pw",
                       {"Tessoral V6.0"},
                       true,
                       {{WindowId::SignIn, true}, {WindowId::Main, false}}}),
    [](const auto& test_case) { return test_case.param.name; });

struct SaveCase {
    const char* name;
    std::string stored;    // the deciphered text of the file
    std::string password;  // what the sign-in asks for; empty when it does not show
    ServerList servers;
    bool console, admin;   // the radios once the file is read
    std::string saved;     // the deciphered text after the close
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class SaveOnCloseTest : public LifeCycleTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveOnCloseTest, KeepsServersMarksAndPassword) {
    const SaveCase& t = GetParam();
    Store(t.stored);
    int sign_ins = 0;
    services.user = [&](WindowId, FakeWindow& w) {
        ++sign_ins;
        w.Type(si::kPassword, t.password);
        w.Click(si::kOk);
    };
    Run();
    EXPECT_EQ(sign_ins, t.password.empty() ? 0 : 1);
    EXPECT_TRUE(services.messages.empty());

    FakeWindow* main = services.Window(WindowId::Main);
    ASSERT_NE(main, nullptr);
    ExpectRows(main->controls(), t.servers);
    EXPECT_EQ(main->controls().Checked(mw::kConsole), t.console);
    EXPECT_EQ(main->controls().Checked(mw::kAdmin), t.admin);
    EXPECT_TRUE(state.plain_data.empty()) << "the deciphered text is dropped once parsed";

    main->CanClose();
    EXPECT_EQ(Saved(), t.saved);
}

const ServerList kOneServer = List({Entry("10.0.0.9", "3390", "ops", "", "")});

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveOnCloseTest,
    ::testing::Values(
        SaveCase{"ServersAndConsoleMark",
                 BuildDataText(TwoServers(), StartMode{true, false}, ""), "", TwoServers(), true,
                 true, BuildDataText(TwoServers(), StartMode{true, true}, "")},
        SaveCase{"NoMarksKeepTheWindowsOwn", "10.0.0.9|3390|ops\r\n", "", kOneServer, false,
                 true, BuildDataText(kOneServer, StartMode{false, true}, "")},
        SaveCase{"PasswordAskedAndKept",
                 BuildDataText(TwoServers(), StartMode{false, true}, "pw"), "pw", TwoServers(),
                 false, true, BuildDataText(TwoServers(), StartMode{false, true}, "pw")},
        SaveCase{"HandWrittenFile", "10.0.0.9|3390|ops\r\n#onsole:1\r\n#LoadinPass:<密码>\r\n",
                 "密码", kOneServer, true, true,
                 BuildDataText(kOneServer, StartMode{true, true}, "密码")}),
    [](const auto& test_case) { return test_case.param.name; });

TEST_F(LifeCycleTest, UnknownAppDataFolderGivesRelativePaths) {
    Store("10.0.0.9|3390|ops\r\n", "Tessoral\\ms.ini");
    RunStartup(state, services, std::nullopt);
    EXPECT_EQ(state.data_file, "Tessoral\\ms.ini");
    EXPECT_EQ(services.created_folders, std::vector<std::string>{"Tessoral\\"});
    FakeWindow* main = services.Window(WindowId::Main);
    ASSERT_NE(main, nullptr);
    ExpectRows(main->controls(), kOneServer);

    main->CanClose();
    EXPECT_EQ(services.files.files.size(), 1u);
    EXPECT_EQ(Saved("Tessoral\\ms.ini"), BuildDataText(kOneServer, StartMode{false, true}, ""));
}

}  // namespace
}  // namespace tessoral
