#pragma once
// Seals and opens a text for the current Windows user: another user, or another PC given the
// file, cannot open it.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

class SecretSeal {
 public:
  virtual ~SecretSeal() = default;
  // Empty when the text cannot be sealed.
  virtual std::string Seal(std::string_view plain) = 0;
  // Nothing when the text is not a seal of this user's.
  virtual std::optional<std::string> Open(std::string_view sealed) = 0;
  // Whether the text is a seal at all, of this user's or another's.
  virtual bool LooksSealed(std::string_view text) = 0;
};

}  // namespace tidemoor
