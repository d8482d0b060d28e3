#pragma once
// The seal of the Windows user the tool runs as (DPAPI), written as Base64 so it fits a line of
// the settings file.

#include "platform/secret_seal.h"

namespace tidemoor {

class UserSeal : public SecretSeal {
 public:
  std::string Seal(std::string_view plain) override;
  std::optional<std::string> Open(std::string_view sealed) override;
  bool LooksSealed(std::string_view text) override;
};

}  // namespace tidemoor
