#pragma once

#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_logic.h"

namespace tessoral::ui {

inline constexpr const char* kRunningTwiceText = "貌似重复运行了!";
inline constexpr const char* kRunningTwiceTitle = "提示";

// True for the first copy of the program, which then holds the event.
bool CheckSingleInstance(Services& services, std::string_view name);

// Asks for the start-up password before the main window is shown.
class SignInWindow final : public WindowLogic {
public:
    SignInWindow(ProgramState& state, Services& services) : state_(state), services_(services) {}

    void OnCreated(Controls& controls) override;
    void OnClicked(int control) override;

private:
    void Confirm();

    ProgramState& state_;
    Services& services_;
};

}  // namespace tessoral::ui
