#include "common/free_name.h"

namespace tidemoor {

std::string FreeName(std::string_view wanted,
                     const std::function<bool(const std::string&)>& taken) {
  std::string name(wanted);
  for (int n = 2; taken(name); ++n) name = std::string(wanted) + "." + std::to_string(n);
  return name;
}

}  // namespace tidemoor
