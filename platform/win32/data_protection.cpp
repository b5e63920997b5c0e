#include "platform/win32/data_protection.h"

#include <windows.h>
#include <wincrypt.h>

#include "platform/win32/handle.h"
#include "platform/win32/text_convert.h"

namespace tessoral::win32 {

namespace {

using CryptProtectDataFn = BOOL(WINAPI*)(DATA_BLOB*, LPCWSTR, DATA_BLOB*, PVOID,
                                         CRYPTPROTECT_PROMPTSTRUCT*, DWORD, DATA_BLOB*);

struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type h) { return h != nullptr; }
    static void Close(Type h) { ::LocalFree(h); }
};
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

// Looked up once; the library then stays loaded for the rest of the run.
CryptProtectDataFn LoadCryptProtectData() {
    static const CryptProtectDataFn function = []() -> CryptProtectDataFn {
        const HMODULE crypt32 = ::LoadLibraryW(L"crypt32.dll");
        if (!crypt32) return nullptr;
        // Through void (*)(): GetProcAddress's type says nothing of the real one.
        return reinterpret_cast<CryptProtectDataFn>(
            reinterpret_cast<void (*)()>(::GetProcAddress(crypt32, "CryptProtectData")));
    }();
    return function;
}

}  // namespace

std::u16string Win32PasswordProtector::ToUtf16(std::string_view text) {
    const std::wstring wide = Widen(text);
    return std::u16string(wide.begin(), wide.end());
}

std::optional<std::string> Win32PasswordProtector::Protect(std::string_view block) {
    const CryptProtectDataFn protect = LoadCryptProtectData();
    if (!protect) return std::nullopt;
    std::string input(block);
    DATA_BLOB in{static_cast<DWORD>(input.size()), reinterpret_cast<BYTE*>(input.data())};
    DATA_BLOB out{0, nullptr};
    const BOOL done = protect(&in, L"psw", nullptr, nullptr, nullptr, 0, &out);
    const UniqueLocalMemory owned(out.pbData);
    if (!done) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(out.pbData), out.cbData);
}

}  // namespace tessoral::win32
