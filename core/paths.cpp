#include "core/paths.h"

namespace tessoral {

namespace {

// Whether the last character is a backslash. The second byte of a two-byte
// character can be 0x5C, so the text is walked a character at a time.
bool EndsInBackslash(const std::string& text) {
    bool last_is_backslash = false;
    for (size_t i = 0; i < text.size();) {
        const bool lead = static_cast<unsigned char>(text[i]) >= 0x80;
        last_is_backslash = !lead && text[i] == '\\';
        i += lead ? 2 : 1;
    }
    return last_is_backslash;
}

}  // namespace

std::string DataFolderFrom(const std::optional<std::string>& app_data) {
    std::string folder = app_data.value_or(std::string());
    if (!folder.empty() && !EndsInBackslash(folder)) folder += '\\';
    return folder + "Tessoral\\";
}

}  // namespace tessoral
