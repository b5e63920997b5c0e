// CryptProtectData for the connection file's password. crypt32.dll is
// loaded by name on first use, so the program does not depend on it at load
// time.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/data_protection.h"

namespace tessoral::win32 {

class Win32PasswordProtector final : public PasswordProtector {
public:
    // Through MultiByteToWideChar with code page 936.
    std::u16string ToUtf16(std::string_view text) override;
    // For the current user, described as "psw", no entropy, no prompt.
    std::optional<std::string> Protect(std::string_view block) override;
};

}  // namespace tessoral::win32
