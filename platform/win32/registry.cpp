#include "platform/win32/registry.h"

#include <windows.h>

#include "platform/win32/handle.h"
#include "platform/win32/text_convert.h"

namespace tessoral::win32 {

namespace {

struct KeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
using UniqueKey = UniqueHandle<KeyTraits>;

LONG OpenKey(const std::wstring& key, REGSAM access, UniqueKey& opened) {
    HKEY handle = nullptr;
    const LONG error = ::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, access, &handle);
    opened.Reset(error == ERROR_SUCCESS ? handle : nullptr);
    return error;
}

bool ValueExists(const std::wstring& key, const std::wstring& name) {
    UniqueKey opened;
    if (OpenKey(key, KEY_READ, opened) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD size = 0;
    // Type and size only: any value of the name counts, whatever it holds.
    return ::RegQueryValueExW(opened.Get(), name.c_str(), nullptr, &type, nullptr, &size) ==
           ERROR_SUCCESS;
}

}  // namespace

Registry::Mark Win32Registry::SetDwordIfMissing(const std::string& key, const std::string& name,
                                                uint32_t data) {
    const std::wstring wide_key = Widen(key);
    const std::wstring wide_name = Widen(name);
    if (ValueExists(wide_key, wide_name)) return Mark::kPresent;

    UniqueKey opened;
    if (OpenKey(wide_key, KEY_WRITE, opened) != ERROR_SUCCESS) {
        // Creates every missing key along the path.
        HKEY created = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, wide_key.c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &created, nullptr) != ERROR_SUCCESS) {
            return Mark::kFailed;
        }
        opened.Reset(created);
    }
    const DWORD value = data;
    const LONG error = ::RegSetValueExW(opened.Get(), wide_name.c_str(), 0, REG_DWORD,
                                        reinterpret_cast<const BYTE*>(&value), sizeof value);
    return error == ERROR_SUCCESS ? Mark::kWritten : Mark::kFailed;
}

}  // namespace tessoral::win32
