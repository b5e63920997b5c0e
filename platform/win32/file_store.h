#pragma once

#include <optional>
#include <string>

#include "core/file_store.h"

namespace tessoral::win32 {

class Win32FileStore final : public FileStore {
public:
    bool ReadAll(const std::string& path, std::string& bytes) override;
    bool WriteAll(const std::string& path, const std::string& bytes) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) override;
};

// CreateDirectory; an existing folder or a failure is the caller's to ignore.
void CreateFolder(const std::string& path);
bool PathExists(const std::string& path);

// The user's application-data folder (CSIDL_APPDATA), not created if missing.
std::optional<std::string> AppDataFolder();

}  // namespace tessoral::win32
