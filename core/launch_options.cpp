#include "core/launch_options.h"

#include <vector>

#include "core/text.h"

namespace tessoral {

namespace {

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Only digits go onto the command line, so nothing in an item can become
// an argument of its own.
bool IsNumber(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

bool UsesResolutionItem(bool full_screen, bool console, bool admin) {
    return !full_screen && (console || admin);
}

LaunchOptions BuildLaunchOptions(bool full_screen, bool console, bool admin,
                                 std::string_view resolution_item) {
    LaunchOptions options;
    if (console) {
        options.text = "/console";
        options.uncheck_admin = true;
    } else if (admin) {
        options.text = "/admin";
    }
    if (!UsesResolutionItem(full_screen, console, admin)) return options;

    const std::vector<std::string> pieces = Split(resolution_item, "x");
    if (pieces.size() < 2) return options;
    const std::string_view width = TrimSpaces(pieces[0]);
    const std::string_view height = TrimSpaces(pieces[1]);
    if (!IsNumber(width) || !IsNumber(height)) return options;
    options.text += " /w:";
    options.text += width;
    options.text += " /h:";
    options.text += height;
    return options;
}

std::string LaunchCommandLine(std::string_view path, std::string_view options) {
    std::string line(kClientProgram);
    line += " \"";
    line += path;
    line += "\" ";
    line += options;
    return line;
}

RegistryPath SplitRegistryPath(std::string_view path) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < path.size();) {
        const bool lead = static_cast<unsigned char>(path[i]) >= 0x80;
        if (!lead && path[i] == '\\') last = i;
        i += lead ? 2 : 1;
    }
    if (last == std::string_view::npos) return {std::string(), std::string(path)};
    return {std::string(path.substr(0, last)), std::string(path.substr(last + 1))};
}

Registry::Mark MarkLocalDevices(Registry& registry, std::string_view host,
                                std::string_view key) {
    const RegistryPath path = SplitRegistryPath(std::string(key) + "\\" + std::string(host));
    return registry.SetDwordIfMissing(path.key, path.value, kLocalDevicesData);
}

}  // namespace tessoral
