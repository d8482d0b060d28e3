// The secrets of the settings file are kept sealed: a sealed value opens, a value typed by hand is
// used as it stands and marked to be written back sealed, and every other key passes untouched.

#include "app/sealed_secrets.h"

#include <gtest/gtest.h>

#include <map>

#include "app/tool_settings.h"

namespace tidemoor {
namespace {

// Seals by wrapping; "fail" cannot be sealed.
class FakeSeal : public SecretSeal {
 public:
  std::string Seal(std::string_view plain) override {
    return plain == "fail" ? "" : "<" + std::string(plain) + ">";
  }
  std::optional<std::string> Open(std::string_view sealed) override {
    if (sealed.size() < 2 || sealed.front() != '<' || sealed.back() != '>') return std::nullopt;
    return std::string(sealed.substr(1, sealed.size() - 2));
  }
  bool LooksSealed(std::string_view text) override { return text.starts_with("<other user>"); }
};

class MapFile : public ProfileStore {
 public:
  std::string Read(std::string_view, std::string_view key, std::string_view fallback) override {
    const auto it = values.find(std::string(key));
    return it == values.end() ? std::string(fallback) : it->second;
  }
  void Write(std::string_view, std::string_view key, std::string_view value) override {
    values[std::string(key)] = value;
  }
  std::map<std::string, std::string> values;
};

TEST(SealedSecrets, SecretsAreSealedOnDiskAndHandTypedOnesAreWrittenBack) {
  MapFile file;
  file.values = {{"Kook_Token", "<bot-token>"},
                 {"Webhook_Secret_1", "SEC-typed"},
                 {"Webhook_Secret_2", ""},
                 {"Webhook_Secret_3", "<other user>x"},
                 {"Admin_Password", "<not a secret key>"}};
  FakeSeal seal;
  SealedSecretsFile sealed(file, seal);
  EXPECT_EQ(sealed.Read(kExtendedSection, "Kook_Token", ""), "bot-token");
  EXPECT_EQ(sealed.Read(kExtendedSection, "Webhook_Secret_1", ""), "SEC-typed");
  EXPECT_EQ(sealed.Read(kExtendedSection, "Webhook_Secret_2", ""), "");
  EXPECT_EQ(sealed.Read(kExtendedSection, "Webhook_Secret_3", ""), "") << "another user's seal";
  EXPECT_EQ(sealed.Read(kLaunchSection, "Admin_Password", ""), "<not a secret key>");
  EXPECT_EQ(sealed.UnsealedKeys(), std::vector<std::string>{"Webhook_Secret_1"});
  EXPECT_EQ(sealed.UnopenedKeys(), std::vector<std::string>{"Webhook_Secret_3"});

  sealed.Write(kExtendedSection, "Webhook_Secret_1", "SEC-typed");
  sealed.Write(kExtendedSection, "Webhook_Secret_3", "");
  sealed.Write(kExtendedSection, "Kook_Token", "fail");
  sealed.Write(kExtendedSection, "Kook_Channels", "123");
  EXPECT_EQ(file.values["Webhook_Secret_1"], "<SEC-typed>");
  EXPECT_EQ(file.values["Webhook_Secret_3"], "");
  // A seal that cannot be made leaves the value as it was typed rather than losing it.
  EXPECT_EQ(file.values["Kook_Token"], "fail");
  EXPECT_EQ(file.values["Kook_Channels"], "123");
}

}  // namespace
}  // namespace tidemoor
