#pragma once

#include <memory>

#include "ui/program_state.h"
#include "ui/services.h"
#include "ui/window_logic.h"

namespace tessoral::ui {

// The logic behind each window, fresh for every load.
std::unique_ptr<WindowLogic> MakeWindowLogic(WindowId id, ProgramState& state,
                                             Services& services);

}  // namespace tessoral::ui
