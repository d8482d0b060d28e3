// The host's lists as typed, and where the bot may send its token.

#include "remote/remote_settings.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(RemoteSettings, IdListsTakeEveryUsualSeparatorAndDropRepeats) {
  EXPECT_EQ(IdList(" 123, 456，789、123\r\n42\t"),
            (std::vector<std::string>{"123", "456", "789", "42"}));
  EXPECT_EQ(IdList(" ,, "), std::vector<std::string>{});
}

TEST(RemoteSettings, TheTokenGoesOnlyOverHttpsOrToThisPc) {
  const struct {
    const char* typed;
    std::optional<std::string> base;
  } cases[] = {
      {"", kKookApiAddress},
      {"  https://kook.proxy.example/api/v3/ ", "https://kook.proxy.example/api/v3"},
      {"http://127.0.0.1:9001/api/v3", "http://127.0.0.1:9001/api/v3"},
      {"http://127.0.0.1", "http://127.0.0.1"},
      {"http://127.0.0.10/api", std::nullopt},
      {"http://127.0.0.1.example.com/api", std::nullopt},
      {"http://kook.proxy.example/api/v3", std::nullopt},
      {"https://", std::nullopt},
      {"ftp://127.0.0.1/", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(KookApiBase(c.typed), c.base) << c.typed;
}

}  // namespace
}  // namespace tidemoor
