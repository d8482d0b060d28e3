#include "platform/system_error.h"

#include <cstdio>

namespace tidemoor {

std::string CauseText(const SystemError& error) {
  if (error.code == 0) return error.text;
  constexpr uint32_t kHresultBit = 0x80000000;
  constexpr uint32_t kWin32Facility = 7 << 16;
  const uint32_t hresult = (error.code & kHresultBit)
                               ? error.code
                               : kHresultBit | kWin32Facility | (error.code & 0xFFFF);
  char number[16];
  std::snprintf(number, sizeof(number), "0x%08X", static_cast<unsigned>(hresult));
  return error.text + " (" + number + ")";
}

std::string WithCause(std::string_view message, const SystemError& error) {
  if (error.text.empty()) return std::string(message);
  return std::string(message) + " (" + CauseText(error) + ")";
}

}  // namespace tidemoor
