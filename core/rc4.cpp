#include "core/rc4.h"

#include <array>
#include <cstdint>
#include <numeric>
#include <utility>

namespace tessoral {

std::string Rc4Transform(std::string_view data, std::string_view key) {
    if (data.empty()) return {};

    std::array<uint8_t, 256> s;
    std::iota(s.begin(), s.end(), uint8_t{0});
    if (!key.empty()) {
        uint8_t j = 0;
        for (size_t i = 0; i < 256; ++i) {
            j = static_cast<uint8_t>(j + s[i] + static_cast<uint8_t>(key[i % key.size()]));
            std::swap(s[i], s[j]);
        }
    }

    std::string out(data.size(), '\0');
    uint8_t i = 0;
    uint8_t j = 0;
    for (size_t n = 0; n < data.size(); ++n) {
        i = static_cast<uint8_t>(i + 1);
        j = static_cast<uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        const uint8_t k = s[static_cast<uint8_t>(s[i] + s[j])];
        out[n] = static_cast<char>(static_cast<uint8_t>(data[n]) ^ k);
    }
    return out;
}

}  // namespace tessoral
