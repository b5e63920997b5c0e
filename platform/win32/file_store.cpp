#include "platform/win32/file_store.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/handle.h"
#include "platform/win32/text_convert.h"

namespace tessoral::win32 {

bool Win32FileStore::ReadAll(const std::string& path, std::string& bytes) {
    bytes.clear();
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!::ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr)) {
            bytes.clear();
            return false;
        }
        if (got == 0) break;  // shorter than reported: keep what is there
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool Win32FileStore::WriteAll(const std::string& path, const std::string& bytes) {
    UniqueFile file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD wrote = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!::WriteFile(file.Get(), bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return ::FlushFileBuffers(file.Get()) != 0;
}

bool Win32FileStore::Replace(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void Win32FileStore::Remove(const std::string& path) { ::DeleteFileW(Widen(path).c_str()); }

void CreateFolder(const std::string& path) { ::CreateDirectoryW(Widen(path).c_str(), nullptr); }

bool PathExists(const std::string& path) {
    WIN32_FIND_DATAW found;
    UniqueFind search(::FindFirstFileW(Widen(path).c_str(), &found));
    return static_cast<bool>(search);
}

std::optional<std::string> AppDataFolder() {
    // The wide call, converted to code page 936 like every other text: the
    // narrow call would answer in the system code page, which need not be 936.
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE)) return std::nullopt;
    return Narrow(folder);
}

}  // namespace tessoral::win32
