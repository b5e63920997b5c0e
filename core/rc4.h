// RC4, the cipher of the data file. The same call enciphers and deciphers.
#pragma once

#include <string>
#include <string_view>

namespace tessoral {

// Standard RC4 over `data` with the bytes of `key`; nothing of the keystream
// is discarded. An empty key skips the key schedule (identity state).
std::string Rc4Transform(std::string_view data, std::string_view key);

}  // namespace tessoral
