#include "app/startup.h"

#include "core/data_file.h"
#include "core/paths.h"

namespace tessoral {

void RunStartup(ui::ProgramState& state, ui::Services& services,
                const std::optional<std::string>& app_data) {
    state.data_folder = DataFolderFrom(app_data);
    state.data_file = state.data_folder + std::string(kDataFileName);
    LoadedData loaded = LoadDataFile(services.Files(), state.data_file);
    state.plain_data = std::move(loaded.plain);
    state.startup_password = std::move(loaded.startup_password);

    if (!state.startup_password.empty()) {
        services.LoadWindow(ui::WindowId::SignIn, /*modal=*/true);
    } else {
        state.signed_in = true;
    }
    if (state.signed_in) services.LoadWindow(ui::WindowId::Main, /*modal=*/false);
}

}  // namespace tessoral
