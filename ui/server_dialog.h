#pragma once

#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_logic.h"

namespace tessoral::ui {

// Adds a server (edit position 0) or changes the one at the edit position.
class ServerDialog final : public WindowLogic {
public:
    ServerDialog(ProgramState& state, Services& services) : state_(state), services_(services) {}

    void OnCreated(Controls& controls) override;
    void OnClicked(int control) override;

private:
    void FillServerDialog();
    void ConfirmServerDialog();

    ProgramState& state_;
    Services& services_;
};

}  // namespace tessoral::ui
