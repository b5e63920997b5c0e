// ui::Services for native tests: windows live in MemoryControls, the test
// plays the user, and everything the program asks of Windows is recorded.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/support/memory_controls.h"
#include "tests/support/memory_file_store.h"
#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_factory.h"

namespace tessoral::testing {

// What ExitNow throws: the real one ends the process on the spot.
struct ExitRequested {};

// One loaded window and its logic. A destroy request takes effect when the
// handler that made it has returned, as in the message loop.
class FakeWindow {
public:
    FakeWindow(ui::WindowId id, ui::ProgramState& state, ui::Services& services)
        : id_(id), controls_(ui::SpecOf(id)), logic_(ui::MakeWindowLogic(id, state, services)) {}

    ui::WindowId id() const { return id_; }
    MemoryControls& controls() { return controls_; }
    ui::WindowLogic& logic() { return *logic_; }
    bool alive() const { return alive_; }

    void Create() {
        logic_->OnCreated(controls_);
        Settle();
    }
    // A disabled control takes no clicks.
    void Click(int control) {
        if (!Usable("Click") || !controls_.Enabled(control)) return;
        logic_->OnClicked(control);
        Settle();
    }
    void Type(int control, std::string_view text) {
        if (!Usable("Type") || !controls_.Enabled(control)) return;
        controls_.Type(control, text);
        logic_->OnTextChanged(control);
        Settle();
    }
    // The close button or Esc: the window goes without any close handling.
    void Close() {
        if (!Usable("Close")) return;
        controls_.Destroy();
        Settle();
    }
    // The user closes the main window: it is asked first, then it goes.
    void CanClose() {
        if (!Usable("CanClose")) return;
        logic_->OnCanClose();
        controls_.Destroy();
        Settle();
    }

private:
    bool Usable(const char* action) {
        if (alive_) return true;
        ADD_FAILURE() << action << " on a window that is already destroyed";
        return false;
    }
    void Settle() {
        if (!alive_ || !controls_.destroy_requested()) return;
        alive_ = false;
        logic_->OnDestroyed();
    }

    ui::WindowId id_;
    MemoryControls controls_;
    std::unique_ptr<ui::WindowLogic> logic_;
    bool alive_ = true;
};

// Protects by tagging the block, so tests can see what was protected.
class FakeProtector : public PasswordProtector {
public:
    bool fail = false;
    std::u16string ToUtf16(std::string_view text) override {
        return std::u16string(text.begin(), text.end());  // enough for ASCII test texts
    }
    std::optional<std::string> Protect(std::string_view block) override {
        if (fail) return std::nullopt;
        return "P" + std::string(block.substr(0, 4));
    }
};

class FakeRegistry : public Registry {
public:
    std::map<std::pair<std::string, std::string>, uint32_t> values;
    Mark SetDwordIfMissing(const std::string& key, const std::string& name,
                           uint32_t data) override {
        return values.emplace(std::make_pair(key, name), data).second ? Mark::kWritten
                                                                      : Mark::kPresent;
    }
};

class FakeLauncher : public ProcessLauncher {
public:
    std::vector<std::string> command_lines;
    std::function<void()> while_starting;  // runs inside Start, e.g. to look at the button
    uint32_t Start(const std::string& command_line) override {
        command_lines.push_back(command_line);
        if (while_starting) while_starting();
        return 0;
    }
};

class FakeServices : public ui::Services {
public:
    struct Message {
        std::string text;
        std::string title;
        unsigned flags;
    };
    struct Load {
        ui::WindowId id;
        bool modal;
    };

    explicit FakeServices(ui::ProgramState& state) : state_(state) {}

    MemoryFileStore files;
    std::vector<Message> messages;
    std::deque<int> answers;  // one per message box, in turn; OK once they run out
    std::set<std::string> existing_events;
    std::vector<std::string> created_events;
    std::vector<std::string> created_folders;
    std::vector<Load> loads;
    // Acts as the user while a modal window is up; must leave it destroyed.
    std::function<void(ui::WindowId, FakeWindow&)> user;

    // The open non-modal window of this kind, or nullptr.
    FakeWindow* Window(ui::WindowId id) {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            if ((*it)->id() == id && (*it)->alive()) return it->get();
        }
        return nullptr;
    }

    int ShowMessage(std::string_view text, std::string_view title, unsigned flags) override {
        messages.push_back(Message{std::string(text), std::string(title), flags});
        if (answers.empty()) return ui::kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool EventExists(std::string_view name) override {
        return existing_events.count(std::string(name)) != 0;
    }
    void CreateNamedEvent(std::string_view name) override {
        created_events.emplace_back(name);
        existing_events.emplace(name);
    }
    void LoadWindow(ui::WindowId id, bool modal) override {
        loads.push_back(Load{id, modal});
        auto window = std::make_unique<FakeWindow>(id, state_, *this);
        window->Create();
        if (!modal) {
            windows_.push_back(std::move(window));
            return;
        }
        if (!window->alive()) return;  // gone before the user could act
        if (user) {
            user(id, *window);
        } else {
            ADD_FAILURE() << "a modal window opened with no user to act in it";
        }
        if (window->alive()) {
            ADD_FAILURE() << "the user left a modal window open; a modal load never returns so";
            window->Close();
        }
    }
    [[noreturn]] void ExitNow() override { throw ExitRequested{}; }
    void CreateFolder(const std::string& path) override { created_folders.push_back(path); }
    bool PathExists(const std::string& path) override {
        return files.files.count(path) != 0 || profiles.count(path) != 0;
    }
    std::string ReadProfileString(const std::string& section, const std::string& key,
                                  const std::string& fallback, const std::string& path) override {
        auto file = profiles.find(path);
        if (file == profiles.end()) return fallback;
        auto entry = file->second.find({section, key});
        return entry == file->second.end() ? fallback : entry->second;
    }
    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& path) override {
        profiles[path][{section, key}] = value;
    }
    // INI files by path: (section, key) to value.
    std::map<std::string, std::map<std::pair<std::string, std::string>, std::string>> profiles;
    FileStore& Files() override { return files; }

    std::vector<std::string> tray_icons;   // tips of the icons added
    std::vector<std::string> opened_pages;
    void AddTrayIcon(std::string_view tip) override { tray_icons.emplace_back(tip); }
    void OpenWebPage(const std::string& address) override { opened_pages.push_back(address); }

    FakeProtector protector;
    FakeRegistry registry;
    FakeLauncher launcher;
    PasswordProtector& Protector() override { return protector; }
    Registry& UserRegistry() override { return registry; }
    ProcessLauncher& Launcher() override { return launcher; }

    // Probe passes as they were started; a test hands results back through
    // `results` and then raises the main window's OnProbeResults.
    void StartProbes(std::vector<ProbeTarget> targets) override {
        probe_passes.push_back(std::move(targets));
    }
    std::vector<ProbeResult> TakeProbeResults() override { return std::exchange(results, {}); }
    std::vector<std::vector<ProbeTarget>> probe_passes;
    std::vector<ProbeResult> results;

private:
    ui::ProgramState& state_;
    std::vector<std::unique_ptr<FakeWindow>> windows_;
};

}  // namespace tessoral::testing
