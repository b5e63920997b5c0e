// The Data Protection API as the connection file needs it, behind an
// interface so that the text can be built and checked without Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessoral {

class PasswordProtector {
public:
    virtual ~PasswordProtector() = default;

    // The UTF-16 code units of a code page 936 text, without a terminating
    // zero unit.
    virtual std::u16string ToUtf16(std::string_view text) = 0;

    // The protected blob of `block`, as CryptProtectData returns it for the
    // current user; nothing when the protection fails.
    virtual std::optional<std::string> Protect(std::string_view block) = 0;
};

}  // namespace tessoral
