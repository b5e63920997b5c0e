#include "ui/main_window.h"

#include "core/connection_file.h"
#include "core/data_file.h"
#include "core/launch_options.h"
#include "core/preferences.h"
#include "ui/sign_in_window.h"

namespace tessoral::ui {

namespace {

enum Column { kHostColumn, kPortColumn, kAccountColumn, kStatusColumn };

constexpr const char* kNoSelectionText = "请选择服务器列表！";
constexpr const char* kNoSelectionTitle = "操作错误";

}  // namespace

const char* StatusText(ServerStatus status) {
    switch (status) {
    case ServerStatus::Online: return "在线";
    case ServerStatus::Offline: return "离线";
    case ServerStatus::Unknown: break;
    }
    return "...";
}

void MainWindow::OnCreated(Controls& c) {
    WindowLogic::OnCreated(c);
    services_.AddTrayIcon(main_window::kTitle);
    if (!CheckSingleInstance(services_, main_window::kTitle)) {
        services_.ShowMessage(kRunningTwiceText, kRunningTwiceTitle, kMbSystemModal);
        c.Destroy();
        return;
    }
    c.ShowWebPage(main_window::kBanner, state_.addresses.banner);
    services_.CreateFolder(state_.data_folder);
    state_.main_window = this;

    ParsedData parsed = ParseDataText(state_.plain_data);
    for (const ServerEntry& entry : parsed.servers.Entries()) state_.servers.Append(entry);
    // A stored mark only ever turns a radio on; the window's own marks stay.
    if (parsed.marks.console) c.SetChecked(main_window::kConsole, true);
    if (parsed.marks.admin) c.SetChecked(main_window::kAdmin, true);
    state_.plain_data.clear();

    RefreshServerListView();
    StartProbePass();
    RestoreResolutionChoice();
}

void MainWindow::OnDestroyed() {
    if (state_.main_window == this) state_.main_window = nullptr;
    WindowLogic::OnDestroyed();
}

void MainWindow::OnClicked(int control) {
    switch (control) {
    case main_window::kConnect: ConnectToSelectedServer(); break;
    case main_window::kAdd: OpenAddDialog(); break;
    case main_window::kDelete: DeleteSelectedServer(); break;
    case main_window::kEdit: OpenEditDialog(); break;
    case main_window::kStartupPassword: OpenPasswordSetup(); break;
    case main_window::kFullScreen: ApplyFullScreenChoice(); break;
    case main_window::kContactBadge: services_.OpenWebPage(state_.addresses.contact); break;
    default: break;
    }
}

void MainWindow::OnLinkPressed(int control) {
    if (control == main_window::kSiteLink) services_.OpenWebPage(state_.addresses.product);
}

void MainWindow::OnPositionChanged() { HideWhenMinimised(); }

void MainWindow::HideWhenMinimised() {
    // Minimised, the window leaves the screen and the taskbar: only the
    // notification-area icon stays.
    controls().SetVisible(!controls().Minimized());
}

void MainWindow::OnTrayEvent(TrayEvent event) {
    if (event != TrayEvent::None) RestoreMainWindow();
}

void MainWindow::RestoreMainWindow() {
    if (controls().Minimized()) {
        controls().Restore();
    } else {
        controls().Activate();
    }
}

void MainWindow::OnCurrentRowChanged(int control) {
    if (control == main_window::kServerList) ShowSelectedServer();
}

void MainWindow::OnItemPicked(int control) {
    if (control == main_window::kResolution) SaveResolutionChoice();
}

int MainWindow::SelectedPosition() {
    const int list = main_window::kServerList;
    return controls().RowValue(list, controls().SelectedRow(list));
}

void MainWindow::ShowSelectedServer() {
    Controls& c = controls();
    c.SetEnabled(main_window::kDelete, true);
    c.SetEnabled(main_window::kConnect, true);
    // The current row can move without a selection (Ctrl with the arrow
    // keys): then there is no server to show, and the remark stays.
    const int position = SelectedPosition();
    if (state_.servers.Contains(position)) {
        c.SetText(main_window::kRemark, state_.servers.At(position).remark);
    }
}

void MainWindow::DeleteSelectedServer() {
    if (SelectedPosition() <= 0) {
        services_.ShowMessage(kNoSelectionText, kNoSelectionTitle, kMbIconError);
        return;
    }
    if (services_.ShowMessage("确认删除该项？", "删除项目", kMbOkCancel) != kAnswerOk) return;
    const int position = SelectedPosition();
    if (state_.servers.Contains(position)) state_.servers.Remove(position);
    RefreshServerListView();
}

void MainWindow::ConnectToSelectedServer() {
    Controls& c = controls();
    const int position = SelectedPosition();
    if (!state_.servers.Contains(position)) {
        services_.ShowMessage(kNoSelectionText, kNoSelectionTitle, kMbIconError);
        return;
    }
    const ServerEntry& entry = state_.servers.At(position);
    const std::string path = ConnectionFilePath(state_.data_folder, entry);
    c.SetEnabled(main_window::kConnect, false);

    const bool full_screen = c.Checked(main_window::kFullScreen);
    const ConnectionText text = BuildConnectionText(entry, full_screen, services_.Protector());
    WriteConnectionFile(services_.Files(), path, text.text);
    MarkLocalDevices(services_.UserRegistry(), entry.host);

    const bool full_screen_now = c.Checked(main_window::kFullScreen);
    const bool console = c.Checked(main_window::kConsole);
    const bool admin = c.Checked(main_window::kAdmin);
    // The console radio wins: the admin mark goes before the size is read.
    if (console) c.SetChecked(main_window::kAdmin, false);
    std::string item;
    if (UsesResolutionItem(full_screen_now, console, admin)) {
        item = c.ItemText(main_window::kResolution, c.Selection(main_window::kResolution));
    }
    const LaunchOptions options = BuildLaunchOptions(full_screen_now, console, admin, item);
    services_.Launcher().Start(LaunchCommandLine(path, options.text));
    c.SetEnabled(main_window::kConnect, true);
}

void MainWindow::OpenAddDialog() {
    state_.edit_position = 0;
    services_.LoadWindow(WindowId::ServerDialog, /*modal=*/true);
}

void MainWindow::OpenEditDialog() {
    if (SelectedPosition() <= 0) {
        services_.ShowMessage(kNoSelectionText, kNoSelectionTitle, kMbIconError);
        return;
    }
    state_.edit_position = SelectedPosition();
    services_.LoadWindow(WindowId::ServerDialog, /*modal=*/true);
}

void MainWindow::OpenPasswordSetup() {
    services_.LoadWindow(WindowId::PasswordSetup, /*modal=*/true);
}

void MainWindow::ApplyFullScreenChoice() {
    // Full screen has no resolution to pick; the choice itself stays.
    controls().SetEnabled(main_window::kResolution,
                          !controls().Checked(main_window::kFullScreen));
}

std::string MainWindow::PreferencesFile() const {
    return state_.data_folder + std::string(kPreferencesFileName);
}

void MainWindow::SaveResolutionChoice() {
    services_.WriteProfileString(kResolutionSection, kResolutionKey,
                                 std::to_string(controls().Selection(main_window::kResolution)),
                                 PreferencesFile());
}

void MainWindow::RestoreResolutionChoice() {
    const std::string file = PreferencesFile();
    if (services_.PathExists(file)) {
        const std::string value =
            services_.ReadProfileString(kResolutionSection, kResolutionKey, "0", file);
        controls().SetSelection(main_window::kResolution,
                                ResolutionIndexFromText(value, kResolutionCount - 1));
    }
    // Written back at every start, so a hand-edited value is put right.
    SaveResolutionChoice();
}

void MainWindow::OnCanClose() {
    const StartMode mode{controls().Checked(main_window::kConsole),
                         controls().Checked(main_window::kAdmin)};
    SaveDataFile(services_.Files(), state_.data_file, state_.servers, mode,
                 state_.startup_password);
}

void MainWindow::RefreshServerListView() {
    Controls& c = controls();
    const int list = main_window::kServerList;
    c.SetRedraw(list, false);
    c.DeleteAllRows(list);
    for (int position = 1; position <= state_.servers.Count(); ++position) {
        const ServerEntry& entry = state_.servers.At(position);
        const int row = c.AppendRow(list, entry.host, position);
        c.SetCell(list, row, kPortColumn, entry.port);
        c.SetCell(list, row, kAccountColumn, entry.account);
        ShowRowStatus(row, entry.status);
    }
    c.SetRedraw(list, true);
}

void MainWindow::StartProbePass() {
    const int rows = controls().RowCount(main_window::kServerList);
    std::vector<ProbeTarget> targets;
    targets.reserve(static_cast<size_t>(rows));
    for (int position = 1; position <= rows; ++position) {
        if (position > state_.servers.Count()) continue;
        const ServerEntry& entry = state_.servers.At(position);
        targets.push_back(ProbeTarget{position, entry.host, entry.port});
    }
    if (!targets.empty()) services_.StartProbes(std::move(targets));
}

void MainWindow::OnProbeResults() {
    const std::vector<ProbeResult> results = services_.TakeProbeResults();
    // Thousands of results can arrive at once: one redraw for all of them.
    const bool many = results.size() > 16;
    if (many) controls().SetRedraw(main_window::kServerList, false);
    for (const ProbeResult& result : results) ApplyProbeResult(result);
    if (many) controls().SetRedraw(main_window::kServerList, true);
}

void MainWindow::ApplyProbeResult(const ProbeResult& result) {
    // By position alone: after a delete a result may belong to a server
    // that is gone, and one beyond the shortened list is dropped.
    if (!state_.servers.Contains(result.position)) return;
    state_.servers.SetStatus(result.position, result.status);
    ShowRowStatus(result.position - 1, result.status);
}

void MainWindow::ShowRowStatus(int row, ServerStatus status) {
    Controls& c = controls();
    const int list = main_window::kServerList;
    if (row < 0 || row >= c.RowCount(list)) return;
    c.SetCell(list, row, kStatusColumn, StatusText(status));
    c.SetStateImage(list, row, static_cast<int>(status) - 1);
}

}  // namespace tessoral::ui
