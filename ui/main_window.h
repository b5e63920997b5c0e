#pragma once

#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_logic.h"

namespace tessoral::ui {

class MainWindow final : public WindowLogic, public ServerListHost {
public:
    MainWindow(ProgramState& state, Services& services) : state_(state), services_(services) {}

    void OnCreated(Controls& controls) override;
    void OnCanClose() override;

    void OnProbeResults() override;
    void OnClicked(int control) override;
    void OnCurrentRowChanged(int control) override;
    void OnItemPicked(int control) override;
    void OnDestroyed() override;
    void OnPositionChanged() override;
    void OnTrayEvent(TrayEvent event) override;
    void OnLinkPressed(int control) override;

    void RefreshServerListView() override;
    void ShowRowStatus(int row, ServerStatus status);
    // One probe per row, each on its own copy of the host and port.
    void StartProbePass() override;
    void ApplyProbeResult(const ProbeResult& result);

    // The item value of the selected row: its server's position, 0 for none.
    int SelectedPosition();

private:
    void ShowSelectedServer();
    void DeleteSelectedServer();
    void OpenAddDialog();
    void OpenEditDialog();
    void OpenPasswordSetup();
    void ApplyFullScreenChoice();
    void SaveResolutionChoice();
    void RestoreResolutionChoice();
    void ConnectToSelectedServer();
    void HideWhenMinimised();
    void RestoreMainWindow();
    std::string PreferencesFile() const;

    ProgramState& state_;
    Services& services_;
};

// The text of the status column.
const char* StatusText(ServerStatus status);

}  // namespace tessoral::ui
