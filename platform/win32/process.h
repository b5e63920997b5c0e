// Process start for the Remote Desktop client.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_options.h"

namespace tessoral::win32 {

class Win32ProcessLauncher final : public ProcessLauncher {
public:
    // CreateProcessW with the widened command line: no application name,
    // no inherited handles, the caller's environment and folder, shown
    // normally. Both handles are closed before the call returns.
    uint32_t Start(const std::string& command_line) override;
};

}  // namespace tessoral::win32
