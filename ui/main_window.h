#pragma once

#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_logic.h"

namespace tessoral::ui {

class MainWindow final : public WindowLogic {
public:
    MainWindow(ProgramState& state, Services& services) : state_(state), services_(services) {}

    void OnCreated(Controls& controls) override;
    void OnCanClose() override;

    void OnProbeResults() override;

    void RefreshServerListView();
    void ShowRowStatus(int row, ServerStatus status);
    // One probe per row, each on its own copy of the host and port.
    void StartProbePass();
    void ApplyProbeResult(const ProbeResult& result);

private:
    void AddTrayIcon() {}
    void RestoreResolutionChoice() {}

    ProgramState& state_;
    Services& services_;
};

// The text of the status column.
const char* StatusText(ServerStatus status);

}  // namespace tessoral::ui
