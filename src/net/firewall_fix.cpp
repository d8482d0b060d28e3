#include "net/firewall_fix.h"

#include "common/port_number.h"

namespace tidemoor {

std::vector<std::string> FirewallFixArguments(const FirewallFixJob& job) {
  return {kFirewallFixSwitch, job.program, std::to_string(job.gamePort),
          std::to_string(job.queryPort)};
}

std::optional<FirewallFixJob> ReadFirewallFixArguments(const std::vector<std::string>& arguments) {
  if (arguments.size() != 4 || arguments[0] != kFirewallFixSwitch || arguments[1].empty()) {
    return std::nullopt;
  }
  const std::optional<uint16_t> game = ParsePortNumber(arguments[2]);
  const std::optional<uint16_t> query = ParsePortNumber(arguments[3]);
  if (!game || !query) return std::nullopt;
  return FirewallFixJob{arguments[1], *game, *query};
}

std::string FixPortList(const FirewallFixJob& job) {
  if (job.gamePort == job.queryPort) return std::to_string(job.gamePort);
  return std::to_string(job.gamePort) + "," + std::to_string(job.queryPort);
}

CheckLine FirewallFixOutcome(FixLaunch launch, unsigned long exitCode, int disabledBlockRules) {
  switch (launch) {
    case FixLaunch::Refused:
      return {Verdict::Fail, "未获得管理员权限 (已拒绝授权) - 防火墙规则未添加"};
    case FixLaunch::NotStarted:
      return {Verdict::Unknown, "无法以管理员身份启动本工具 - 防火墙规则未添加"};
    case FixLaunch::Ran:
      break;
  }
  switch (exitCode) {
    case kFixDone:
      return {Verdict::Pass,
              "已添加防火墙规则" +
                  (disabledBlockRules > 0
                       ? "，并停用了 " + std::to_string(disabledBlockRules) + " 条阻止规则"
                       : std::string())};
    case kFixUnsupported:
      return {Verdict::Unknown, "不支持: 此系统没有可用的防火墙接口"};
    default:
      return {Verdict::Fail, "防火墙拒绝了更改 (代码 " + std::to_string(exitCode) + ")"};
  }
}

}  // namespace tidemoor
