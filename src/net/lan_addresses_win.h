#pragma once

#include <string>
#include <vector>

namespace tidemoor {

// The IPv4 addresses of this PC's connected network adapters (loopback left out).
std::vector<std::string> LanAddresses();

}  // namespace tidemoor
