#pragma once

#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_logic.h"

namespace tessoral::ui {

// Sets, changes or clears the start-up password, in memory; the main
// window's close writes it.
class PasswordSetupWindow final : public WindowLogic {
public:
    PasswordSetupWindow(ProgramState& state, Services& services)
        : state_(state), services_(services) {}

    void OnCreated(Controls& controls) override;
    void OnClicked(int control) override;

private:
    void ApplyStartupPassword();

    ProgramState& state_;
    Services& services_;
};

}  // namespace tessoral::ui
