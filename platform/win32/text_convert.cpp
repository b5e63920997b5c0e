#include "platform/win32/text_convert.h"

#include <windows.h>

namespace tessoral::win32 {

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = ::MultiByteToWideChar(kTextCodePage, 0, text.data(), size, nullptr, 0);
    if (wide <= 0) return {};
    std::wstring out(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(kTextCodePage, 0, text.data(), size, out.data(), wide);
    return out;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int narrow =
        ::WideCharToMultiByte(kTextCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return {};
    std::string out(static_cast<size_t>(narrow), '\0');
    ::WideCharToMultiByte(kTextCodePage, 0, text.data(), size, out.data(), narrow, nullptr,
                          nullptr);
    return out;
}

}  // namespace tessoral::win32
