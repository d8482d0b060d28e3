#include "common/port_number.h"

#include <charconv>

#include "platform/text.h"

namespace tidemoor {

std::optional<uint16_t> ParsePortNumber(std::string_view typed) {
  const std::string ascii = FullWidthToAscii(typed);
  const std::string_view text = TrimBlanks(ascii);
  unsigned value = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || failure != std::errc{} || end != text.data() + text.size() || value == 0 ||
      value > 65535) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

}  // namespace tidemoor
