// The data file ms.ini: the servers, the start-mode marks and the start-up
// password, as CR LF lines enciphered with RC4 under a fixed key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/file_store.h"
#include "core/server_list.h"

namespace tessoral {

inline constexpr std::string_view kDataFileKey = "5093";
inline constexpr std::string_view kDataFileName = "ms.ini";

// The marks of the two start-mode radios, as saved or as read back.
struct StartMode {
    bool console = false;
    bool admin = false;
};

struct LoadedData {
    std::string plain;  // deciphered bytes, parsed later when the main window exists
    std::string startup_password;
};

// What the parse found. Marker lines only ever turn a mark on; the window
// keeps its own marks for the ones that stay false.
struct ParsedData {
    ServerList servers;
    StartMode marks;
};

std::string BuildDataText(const ServerList& servers, StartMode mode,
                          std::string_view startup_password);
ParsedData ParseDataText(std::string_view plain);
std::string StartupPasswordOf(std::string_view plain);

// The file has no escaping, so some texts would not come back as they were
// saved. These give the first such piece in a text ("|", "\r\n", ...), or
// nothing when the text is safe to store.
std::string_view UnstorableInServerField(std::string_view field);
std::string_view UnstorableInStartupPassword(std::string_view password);

// A missing or unreadable file reads as no bytes: no servers, no password.
LoadedData LoadDataFile(FileStore& files, const std::string& path);

// Writes next to `path` first and replaces the old file only once the new
// bytes are whole on disk, so a failed save leaves the previous file as it
// was. Failures are silent to the user; the result is for tests.
bool SaveDataFile(FileStore& files, const std::string& path, const ServerList& servers,
                  StartMode mode, std::string_view startup_password);

}  // namespace tessoral
