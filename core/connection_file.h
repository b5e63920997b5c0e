// The Remote Desktop connection file written before each launch: a fixed
// 39-line template with the account, the address and the protected
// password filled in, stored in the data folder under the entry's remark.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/data_protection.h"
#include "core/file_store.h"
#include "core/server_list.h"

namespace tessoral {

inline constexpr std::string_view kAccountPlaceholder = "%账号%";
inline constexpr std::string_view kAddressPlaceholder = "%服务器地址%";
inline constexpr std::string_view kPasswordPlaceholder = "%密码%";
inline constexpr std::string_view kPasswordPrefix = "password 51:b:";

// The password goes to the protection in a block of this many bytes:
// 255 UTF-16 units and their terminating zero.
inline constexpr size_t kPasswordBlockBytes = 512;

// The unfilled template, every line ending in CR LF. Line 1 is
// "screen mode id:i:2" for full screen and "screen mode id:i:1" otherwise.
std::string ConnectionTemplate(bool full_screen);

// Every occurrence of `placeholder` replaced by `value`, left to right, the
// scan going on behind each match (so `value` is not scanned again). A match
// begins only at a character start; ASCII letters match in either case.
// An empty text or placeholder gives the text unchanged.
std::string ReplacePlaceholder(std::string_view text, std::string_view placeholder,
                               std::string_view value);

// Two uppercase digits per byte and one more "0" at the end: 01 AB 00
// gives "01AB000", no bytes give "0".
std::string BlobToHex(std::string_view blob);

// The hexadecimal text of the protected password: its UTF-16 form with the
// terminating zero at the start of a zeroed 512-byte block, protected. A
// failed protection gives an empty blob, so "0". A password of more than
// 255 UTF-16 units, which would leave the block without its terminating
// zero, is refused: nothing, and nothing is protected.
std::optional<std::string> ProtectPassword(std::string_view password,
                                           PasswordProtector& protector);

struct ConnectionText {
    std::string text;
    // The password was too long to protect; its line keeps the placeholder,
    // as for an empty password, so the client asks for it.
    bool password_refused = false;
};

// The filled template: the account, then "host:port", then (for a
// non-empty password) "password 51:b:" and the protected password, each
// replacement running over the result of the one before.
ConnectionText BuildConnectionText(const ServerEntry& entry, bool full_screen,
                                   PasswordProtector& protector);

// The file name a remark gives, so that every connect has a file the system
// can create under exactly that name and one that cannot carry arguments
// onto the command line. A remark that is a valid name stays as it is.
// Otherwise, character by character (two-byte characters kept whole):
//  1. \ / : * ? " < > | and bytes 0x01-0x1F become "_", and so does any
//     byte of 0x80 or above that does not start a valid two-byte character
//     (lead 0x81-0xFE, second byte 0x40-0xFE other than 0x7F);
//  2. at most `max_characters` characters are kept;
//  3. trailing dots and spaces are removed;
//  4. "_" goes before a reserved device name (CON, PRN, AUX, NUL, COM1-COM9,
//     LPT1-LPT9, in any case, also with an extension, as in "nul.txt") and
//     before the names of the program's own files in the folder (ms.ini,
//     ms.ini.new, configx.ini), dropping the last character when the name
//     would then be too long.
// When nothing is left, the host made safe the same way is the name, and
// when that too is empty, "Tessoral".
std::string ConnectionFileName(std::string_view remark, std::string_view host,
                               size_t max_characters = 255);

// The data folder (ending in a backslash) followed by the entry's file
// name, kept short enough that the whole path stays within 259 characters.
std::string ConnectionFilePath(std::string_view data_folder, const ServerEntry& entry);

// Creates or truncates the file and writes the text as its whole content.
// False for an empty path (nothing touched) and for any failure.
bool WriteConnectionFile(FileStore& files, const std::string& path, const std::string& text);

}  // namespace tessoral
