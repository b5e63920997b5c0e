// The registry under HKEY_CURRENT_USER, through the wide functions.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_options.h"

namespace tessoral::win32 {

class Win32Registry final : public Registry {
public:
    Mark SetDwordIfMissing(const std::string& key, const std::string& name,
                           uint32_t data) override;
};

}  // namespace tessoral::win32
