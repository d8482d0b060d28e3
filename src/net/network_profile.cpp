#include "net/network_profile.h"

namespace tidemoor {
namespace {

const char* CategoryText(NetworkCategory category) {
  switch (category) {
    case NetworkCategory::Public:
      return "公用网络";
    case NetworkCategory::Private:
      return "专用网络";
    case NetworkCategory::Domain:
      break;
  }
  return "域网络";
}

}  // namespace

CheckLine NetworkProfileLine(const std::vector<ConnectedNetwork>& networks) {
  if (networks.empty()) return {Verdict::Unknown, "没有已连接的网络"};
  std::string found;
  bool anyPublic = false;
  for (const ConnectedNetwork& network : networks) {
    found +=
        (found.empty() ? "\"" : "、\"") + network.name + "\" " + CategoryText(network.category);
    anyPublic = anyPublic || network.category == NetworkCategory::Public;
  }
  if (!anyPublic) return {Verdict::Pass, found};
  return {Verdict::Attention, found +
                                  " - 公用网络默认阻止入站连接，可在 设置 > 网络和 Internet > "
                                  "(当前网络) 属性 中改为专用网络"};
}

}  // namespace tidemoor
