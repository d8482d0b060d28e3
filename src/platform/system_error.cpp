#include "platform/system_error.h"

namespace tidemoor {

std::string WithCause(std::string_view message, const SystemError& error) {
  if (error.text.empty()) return std::string(message);
  return std::string(message) + " (" + error.text + ")";
}

}  // namespace tidemoor
