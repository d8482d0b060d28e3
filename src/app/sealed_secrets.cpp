#include "app/sealed_secrets.h"

#include <algorithm>
#include <array>

#include "app/tool_settings.h"

namespace tidemoor {
namespace {

constexpr std::array<const char*, 4> kSecretKeys = {"Kook_Token", "Webhook_Secret_1",
                                                    "Webhook_Secret_2", "Webhook_Secret_3"};

bool IsSecret(std::string_view section, std::string_view key) {
  return section == kExtendedSection &&
         std::any_of(kSecretKeys.begin(), kSecretKeys.end(),
                     [&](const char* secret) { return key == secret; });
}

}  // namespace

std::span<const char* const> SecretKeys() {
  return kSecretKeys;
}

std::string SealedSecretsFile::Read(std::string_view section, std::string_view key,
                                    std::string_view fallback) {
  std::string stored = file_.Read(section, key, fallback);
  if (!IsSecret(section, key) || stored.empty()) return stored;
  if (std::optional<std::string> opened = seal_.Open(stored)) return *opened;
  if (seal_.LooksSealed(stored)) {
    unopened_.emplace_back(key);
    return {};
  }
  unsealed_.emplace_back(key);
  return stored;
}

void SealedSecretsFile::Write(std::string_view section, std::string_view key,
                              std::string_view value) {
  if (!IsSecret(section, key)) return file_.Write(section, key, value);
  const std::string stored = file_.Read(section, key, "");
  const std::optional<std::string> opened = seal_.Open(stored);
  // A seal that still holds the value stays (each seal comes out different, and a save without
  // changes leaves the file as it was); so does another user's seal until a value replaces it.
  if ((opened && *opened == value) || (value.empty() && !opened && seal_.LooksSealed(stored))) {
    return file_.Write(section, key, stored);
  }
  if (value.empty()) return file_.Write(section, key, value);
  const std::string sealed = seal_.Seal(value);
  file_.Write(section, key, sealed.empty() ? value : std::string_view(sealed));
}

}  // namespace tidemoor
