#include "net/network_profile.h"

#include <algorithm>

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
  std::vector<std::string> told;
  for (const ConnectedNetwork& network : networks) {
    // A network reached through several adapters is listed once per adapter; it is told once.
    const std::string entry = "\"" + network.name + "\" " + CategoryText(network.category);
    if (std::find(told.begin(), told.end(), entry) != told.end()) continue;
    told.push_back(entry);
    found += (found.empty() ? "" : "、") + entry;
    anyPublic = anyPublic || network.category == NetworkCategory::Public;
  }
  if (!anyPublic) return {Verdict::Pass, found};
  return {Verdict::Attention, found +
                                  " - 公用网络默认阻止入站连接，可在 设置 > 网络和 Internet > "
                                  "(当前网络) 属性 中改为专用网络"};
}

}  // namespace tidemoor
