// The one place where code page 936 text meets the wide Win32 functions.
#pragma once

#include <string>
#include <string_view>

namespace tessoral::win32 {

inline constexpr unsigned kTextCodePage = 936;

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

}  // namespace tessoral::win32
