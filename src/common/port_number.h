#pragma once
// A port as the user types it or a file or command line gives it: every place that reads a port
// reads it through this one rule, so a port the server is started on is the port that is mapped,
// opened in the firewall and asked.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tidemoor {

// The blanks around it dropped, decimal digits only (full-width ones typed with a Chinese input
// method count as theirs), 1 to 65535; nothing else is a port: no sign, no trailing text.
std::optional<uint16_t> ParsePortNumber(std::string_view text);

}  // namespace tidemoor
