#pragma once
// The secrets in the tool settings file (the chat bot's token, the webhooks' signing secrets) are
// kept sealed for this Windows user, so the file alone gives nobody the bot or the alerts. A value
// the host typed into the file by hand is read as it stands and sealed at the next write.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_store.h"
#include "platform/secret_seal.h"

namespace tidemoor {

// The keys of 扩展设置 whose values are secrets.
std::span<const char* const> SecretKeys();

// The settings file as the settings see it: the secret keys opened on reading and sealed on
// writing, every other key passed through.
class SealedSecretsFile : public ProfileStore {
 public:
  SealedSecretsFile(ProfileStore& file, SecretSeal& seal) : file_(file), seal_(seal) {}

  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback) override;
  void Write(std::string_view section, std::string_view key, std::string_view value) override;

  // The secret keys read so far that held an unsealed value, to be written back sealed.
  const std::vector<std::string>& UnsealedKeys() const { return unsealed_; }
  // The secret keys read so far that held a seal this user cannot open (the file came from
  // another PC or another Windows user): read as empty, never used as the secret itself, and
  // kept in the file until a value replaces it.
  const std::vector<std::string>& UnopenedKeys() const { return unopened_; }

 private:
  ProfileStore& file_;
  SecretSeal& seal_;
  std::vector<std::string> unsealed_;
  std::vector<std::string> unopened_;
};

}  // namespace tidemoor
