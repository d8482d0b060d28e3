#include "net/network_profile.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(NetworkProfileLine, PublicNetworksAreToldWithWhereToChangeThem) {
  const std::string change =
      " - 公用网络默认阻止入站连接，可在 设置 > 网络和 Internet > (当前网络) 属性 中改为专用网络";
  const struct {
    std::vector<ConnectedNetwork> networks;
    CheckLine line;
  } cases[] = {
      {{{"家里的 WiFi", NetworkCategory::Private}}, {Verdict::Pass, "\"家里的 WiFi\" 专用网络"}},
      {{{"Office", NetworkCategory::Domain}}, {Verdict::Pass, "\"Office\" 域网络"}},
      {{{"网络 2", NetworkCategory::Public}}, {Verdict::Attention, "\"网络 2\" 公用网络" + change}},
      {{{"A", NetworkCategory::Private}, {"B", NetworkCategory::Public}},
       {Verdict::Attention, "\"A\" 专用网络、\"B\" 公用网络" + change}},
      {{{"A", NetworkCategory::Public}, {"A", NetworkCategory::Public}},
       {Verdict::Attention, "\"A\" 公用网络" + change}},
      {{}, {Verdict::Unknown, "没有已连接的网络"}},
  };
  for (const auto& c : cases) EXPECT_EQ(NetworkProfileLine(c.networks), c.line) << c.line.found;
}

}  // namespace
}  // namespace tidemoor
