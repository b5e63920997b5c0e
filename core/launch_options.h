// Starting the Remote Desktop client: the options the main window's
// controls stand for, the command line, the per-user LocalDevices mark, and
// the two services the launch needs from the system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessoral {

inline constexpr std::string_view kClientProgram = "mstsc.exe";
inline constexpr std::string_view kLocalDevicesKey =
    "Software\\Microsoft\\Terminal Server Client\\LocalDevices";
inline constexpr uint32_t kLocalDevicesData = 76;

struct LaunchOptions {
    std::string text;            // "/console", "/admin /w:1024 /h:768", or empty
    bool uncheck_admin = false;  // the console radio wins over the admin radio
};

// Whether the resolution item is read at all: only a windowed launch with a
// start mode passes a size to the client.
bool UsesResolutionItem(bool full_screen, bool console, bool admin);

// Console when its radio is checked, else admin when that one is, else no
// option. A windowed launch with a start mode adds "/w:" and "/h:" from
// the item ("1024 x 768": cut at each lowercase "x", the first two pieces
// with their spaces removed); when the item gives no width and height made
// of digits both size options are left out.
LaunchOptions BuildLaunchOptions(bool full_screen, bool console, bool admin,
                                 std::string_view resolution_item);

// "mstsc.exe", the path in double quotes so that one with spaces reaches
// the client as one argument, a space and the options (so with no options
// the line ends in that space). The path never holds a double quote and
// never ends in a backslash: both are outside a connection file's name.
std::string LaunchCommandLine(std::string_view path, std::string_view options);

struct RegistryPath {
    std::string key;
    std::string value;
};

// Cut at the last backslash that is not the second byte of a two-byte
// character. Without one, the key is empty and the value the whole text.
RegistryPath SplitRegistryPath(std::string_view path);

// HKEY_CURRENT_USER, as far as the launch writes it.
class Registry {
public:
    enum class Mark { kWritten, kPresent, kFailed };

    virtual ~Registry() = default;

    // Sets the value `name` of `key` to the REG_DWORD `data`, creating the
    // key when it is missing; a value of that name of any type is left as
    // it is. An empty name is the key's default value.
    virtual Mark SetDwordIfMissing(const std::string& key, const std::string& name,
                                   uint32_t data) = 0;
};

// Marks `host` under the key (the client's LocalDevices key unless a test
// names another): the host is appended to the key after a backslash and
// the result split again, so a backslash in the host moves into the key.
Registry::Mark MarkLocalDevices(Registry& registry, std::string_view host,
                                std::string_view key = kLocalDevicesKey);

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Starts the command line (code page 936), gives the new process at
    // most a second to be ready for input, and does not wait for its end.
    // 0, or the system's error code when the process does not start.
    virtual uint32_t Start(const std::string& command_line) = 0;
};

}  // namespace tessoral
