// The secrets of the settings file are kept sealed: a sealed value opens, a value typed by hand is
// used as it stands and marked to be written back sealed, and every other key passes untouched.

#include "app/sealed_secrets.h"

#include <gtest/gtest.h>

#include <map>

#include "app/tool_settings.h"

namespace tidemoor {
namespace {

// Seals by wrapping, each seal numbered as DPAPI's differ every time; "fail" cannot be sealed.
class FakeSeal : public SecretSeal {
 public:
  std::string Seal(std::string_view plain) override {
    return plain == "fail" ? "" : "<" + std::string(plain) + ">" + std::to_string(++seals_);
  }
  std::optional<std::string> Open(std::string_view sealed) override {
    const size_t end = sealed.rfind('>');
    if (!sealed.starts_with('<') || end == std::string_view::npos) return std::nullopt;
    return std::string(sealed.substr(1, end - 1));
  }
  bool LooksSealed(std::string_view text) override { return text.starts_with("{sealed"); }

 private:
  int seals_ = 0;
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
                 {"Webhook_Secret_3", "{sealed elsewhere}"},
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
  sealed.Write(kExtendedSection, "Kook_Token", "bot-token");
  EXPECT_EQ(file.values["Kook_Token"], "<bot-token>") << "a seal that still holds it stays";
  sealed.Write(kExtendedSection, "Kook_Token", "fail");
  sealed.Write(kExtendedSection, "Kook_Channels", "123");
  EXPECT_EQ(file.values["Webhook_Secret_1"], "<SEC-typed>1");
  EXPECT_EQ(file.values["Webhook_Secret_3"], "{sealed elsewhere}") << "kept until replaced";
  // A seal that cannot be made leaves the value as it was typed rather than losing it.
  EXPECT_EQ(file.values["Kook_Token"], "fail");
  EXPECT_EQ(file.values["Kook_Channels"], "123");
}

}  // namespace
}  // namespace tidemoor
