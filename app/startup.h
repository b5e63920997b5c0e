// The start of a run: read the data file, ask for the start-up password
// when one is set, then show the main window.
#pragma once

#include <optional>
#include <string>

#include "ui/program_state.h"
#include "ui/services.h"

namespace tessoral {

// `app_data` is the user's application-data folder, or nothing when the
// shell cannot tell it (the data folder is then relative).
void RunStartup(ui::ProgramState& state, ui::Services& services,
                const std::optional<std::string>& app_data);

}  // namespace tessoral
