#include "core/connection_file.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/data_file.h"
#include "core/text.h"

namespace tessoral {

namespace {

// Lines 2 to 39; line 1 carries the screen mode. The client reads the
// window size from the command line, so 800 x 600 here is only its default.
constexpr std::string_view kTemplateAfterFirstLine =
    "desktopwidth:i:800\r\n"
    "desktopheight:i:600\r\n"
    "session bpp:i:16\r\n"
    "winposstr:s:0,0,0,0,1920,1080\r\n"
    "compression:i:1\r\n"
    "keyboardhook:i:2\r\n"
    "displayconnectionbar:i:1\r\n"
    "username:s:%账号%\r\n"
    "disable wallpaper:i:1\r\n"
    "disable full window drag:i:1\r\n"
    "allow desktop composition:i:0\r\n"
    "allow font smoothing:i:0\r\n"
    "disable menu anims:i:1\r\n"
    "disable themes:i:0\r\n"
    "disable cursor setting:i:0\r\n"
    "bitmapcachepersistenable:i:1\r\n"
    "full address:s:%服务器地址%\r\n"
    "%密码%\r\n"
    "audiomode:i:0\r\n"
    "redirectprinters:i:1\r\n"
    "redirectcomports:i:0\r\n"
    "redirectsmartcards:i:1\r\n"
    "redirectclipboard:i:1\r\n"
    "redirectposdevices:i:0\r\n"
    "drivestoredirect:s:\r\n"
    "autoreconnection enabled:i:1\r\n"
    "authentication level:i:0\r\n"
    "prompt for credentials:i:0\r\n"
    "negotiate security layer:i:1\r\n"
    "remoteapplicationmode:i:0\r\n"
    "alternate shell:s:\r\n"
    "shell working directory:s:\r\n"
    "gatewayhostname:s:\r\n"
    "gatewayusagemethod:i:4\r\n"
    "gatewaycredentialssource:i:4\r\n"
    "gatewayprofileusagemethod:i:0\r\n"
    "promptcredentialonce:i:1\r\n"
    "drivestoredirect:s:*\r\n";

// Paths beyond this many characters fail in CreateFile and in the client.
constexpr size_t kMaxPathCharacters = 259;
constexpr size_t kMaxNameCharacters = 255;

bool IsLeadByte(unsigned char c) { return c >= 0x80; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// Only these pairs convert to one character in code page 936; any other
// high byte would reach the file system as a substitute such as "?".
bool IsValidPair(unsigned char lead, unsigned char trail) {
    return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

bool IsForbiddenInName(unsigned char c) {
    return c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return count;
}

void StripTrailingDotsAndSpaces(std::string& name) {
    // Neither byte can be the second byte of a two-byte character.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
}

void DropLastCharacter(std::string& name) {
    size_t last = 0;
    for (size_t i = 0; i < name.size();) {
        last = i;
        i += IsLeadByte(static_cast<unsigned char>(name[i])) ? 2 : 1;
    }
    name.resize(last);
}

// The system opens these as devices, with or without an extension and
// with spaces before the dot.
bool IsDeviceName(std::string_view name) {
    std::string_view base = name.substr(0, std::min(name.find('.'), name.size()));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
        if (EqualIgnoringAsciiCase(base, device)) return true;
    }
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        const std::string_view stem = base.substr(0, 3);
        return EqualIgnoringAsciiCase(stem, "COM") || EqualIgnoringAsciiCase(stem, "LPT");
    }
    return false;
}

// The connection file must never overwrite the program's own files.
bool IsOwnFileName(std::string_view name) {
    const std::string saving = std::string(kDataFileName) + ".new";
    return EqualIgnoringAsciiCase(name, kDataFileName) || EqualIgnoringAsciiCase(name, saving) ||
           EqualIgnoringAsciiCase(name, "configx.ini");
}

std::string SafeName(std::string_view text, size_t max_characters) {
    std::string name;
    size_t characters = 0;
    for (size_t i = 0; i < text.size() && characters < max_characters; ++characters) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c)) {
            if (i + 1 < text.size() && IsValidPair(c, static_cast<unsigned char>(text[i + 1]))) {
                name.append(text.substr(i, 2));
                i += 2;
                continue;
            }
            name += '_';
        } else {
            name += IsForbiddenInName(c) ? '_' : static_cast<char>(c);
        }
        ++i;
    }
    StripTrailingDotsAndSpaces(name);
    if (!name.empty() && (IsDeviceName(name) || IsOwnFileName(name))) {
        name.insert(0, 1, '_');
        if (CharacterCount(name) > max_characters) {
            DropLastCharacter(name);
            StripTrailingDotsAndSpaces(name);
        }
    }
    return name;
}

}  // namespace

std::string ConnectionTemplate(bool full_screen) {
    std::string text = full_screen ? "screen mode id:i:2\r\n" : "screen mode id:i:1\r\n";
    text += kTemplateAfterFirstLine;
    return text;
}

std::string ReplacePlaceholder(std::string_view text, std::string_view placeholder,
                               std::string_view value) {
    if (text.empty() || placeholder.empty()) return std::string(text);
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text.size() - i >= placeholder.size() &&
            EqualIgnoringAsciiCase(text.substr(i, placeholder.size()), placeholder)) {
            result += value;
            i += placeholder.size();
            continue;
        }
        const size_t step = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        result += text.substr(i, step);
        i += step;
    }
    return result;
}

std::string BlobToHex(std::string_view blob) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(blob.size() * 2 + 1);
    for (const char byte : blob) {
        const auto value = static_cast<unsigned char>(byte);
        hex += kDigits[value >> 4];
        hex += kDigits[value & 0x0F];
    }
    hex += '0';
    return hex;
}

std::optional<std::string> ProtectPassword(std::string_view password,
                                           PasswordProtector& protector) {
    const std::u16string units = protector.ToUtf16(TextUpToZero(password));
    if ((units.size() + 1) * 2 > kPasswordBlockBytes) return std::nullopt;
    std::string block(kPasswordBlockBytes, '\0');
    for (size_t i = 0; i < units.size(); ++i) {
        block[2 * i] = static_cast<char>(units[i] & 0xFF);
        block[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return BlobToHex(protector.Protect(block).value_or(std::string()));
}

ConnectionText BuildConnectionText(const ServerEntry& entry, bool full_screen,
                                   PasswordProtector& protector) {
    ConnectionText result;
    result.text = ReplacePlaceholder(ConnectionTemplate(full_screen), kAccountPlaceholder,
                                     entry.account);
    result.text =
        ReplacePlaceholder(result.text, kAddressPlaceholder, entry.host + ":" + entry.port);
    if (!entry.password.empty()) {
        const std::optional<std::string> hex = ProtectPassword(entry.password, protector);
        if (hex) {
            result.text = ReplacePlaceholder(result.text, kPasswordPlaceholder,
                                             std::string(kPasswordPrefix) + *hex);
        } else {
            result.password_refused = true;
        }
    }
    return result;
}

std::string ConnectionFileName(std::string_view remark, std::string_view host,
                               size_t max_characters) {
    max_characters = std::clamp<size_t>(max_characters, 1, kMaxNameCharacters);
    for (std::string_view source : {remark, host, std::string_view("Tessoral")}) {
        std::string name = SafeName(source, max_characters);
        if (!name.empty()) return name;
    }
    return "_";  // not reached: "Tessoral" always leaves at least "T"
}

std::string ConnectionFilePath(std::string_view data_folder, const ServerEntry& entry) {
    const size_t folder = CharacterCount(data_folder);
    const size_t room = folder < kMaxPathCharacters ? kMaxPathCharacters - folder : 0;
    return std::string(data_folder) + ConnectionFileName(entry.remark, entry.host, room);
}

bool WriteConnectionFile(FileStore& files, const std::string& path, const std::string& text) {
    if (path.empty()) return false;
    return files.WriteAll(path, text);
}

}  // namespace tessoral
