#pragma once
// The option list the 1.0 server writes beside its configuration, as test input.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tidemoor::testing {

inline std::string ServerSampleText() {
  const auto path =
      std::filesystem::path(__FILE__).parent_path() / "data" / "DefaultPalWorldSettings-1.0.ini";
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace tidemoor::testing
