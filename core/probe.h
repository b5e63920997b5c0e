// What the reachability probe needs that has no platform in it: the port
// number a port text stands for, and the pieces a probe pass hands around.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/server_list.h"

namespace tessoral {

// The TCP port a server's port text is probed on. Full-width characters
// count as their ASCII counterparts; the text is then read as atoi does
// (blanks, a sign, digits up to the first other character); 0 or less
// gives 1, and only the value modulo 65536 counts.
uint16_t ProbePortNumber(std::string_view port_text);

struct ProbeTarget {
    int position;  // 1-based, as the list view's item value
    std::string host;
    std::string port;
};

struct ProbeResult {
    int position;
    ServerStatus status;  // Online or Offline
};

}  // namespace tessoral
