#include "net/firewall_rules.h"

#include "common/port_number.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

bool AppliesTo(const FirewallRule& rule, const FirewallState& state) {
  return rule.enabled && rule.inbound && (rule.profiles & state.activeProfiles) != 0;
}

bool CoversUdp(const FirewallRule& rule, unsigned short port) {
  return (rule.protocol.empty() || rule.protocol == "UDP") && PortListCovers(rule.localPorts, port);
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "\"" : "、\"") + name + "\"";
  return text;
}

}  // namespace

bool PortListCovers(std::string_view localPorts, unsigned short port) {
  localPorts = TrimBlanks(localPorts);
  if (localPorts.empty() || localPorts == "*") return true;
  while (!localPorts.empty()) {
    const size_t comma = localPorts.find(',');
    const std::string_view part = localPorts.substr(0, comma);
    localPorts =
        comma == std::string_view::npos ? std::string_view() : localPorts.substr(comma + 1);
    const size_t dash = part.find('-');
    if (dash == std::string_view::npos) {
      if (ParsePortNumber(part) == port) return true;
      continue;
    }
    const std::optional<uint16_t> low = ParsePortNumber(part.substr(0, dash));
    const std::optional<uint16_t> high = ParsePortNumber(part.substr(dash + 1));
    if (low && high && *low <= port && port <= *high) return true;
  }
  return false;
}

bool SameProgramPath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] == '/' ? '\\' : LowerAscii(a[i]);
    const char y = b[i] == '/' ? '\\' : LowerAscii(b[i]);
    if (x != y) return false;
  }
  return true;
}

FirewallFindings ReadFirewallRules(std::span<const FirewallRule> rules, const FirewallState& state,
                                   std::string_view serverProgram, unsigned short gamePort,
                                   unsigned short queryPort) {
  FirewallFindings findings;
  findings.firewallOn = (state.activeProfiles & state.enabledProfiles) != 0;
  bool gameAllowed = false, queryAllowed = false;
  for (const FirewallRule& rule : rules) {
    if (!AppliesTo(rule, state)) continue;
    const bool onProgram = !rule.program.empty() && SameProgramPath(rule.program, serverProgram);
    const bool anyProgram = rule.program.empty();
    const bool onGame = (onProgram || anyProgram) && CoversUdp(rule, gamePort);
    const bool onQuery = (onProgram || anyProgram) && CoversUdp(rule, queryPort);
    if (!rule.allow) {
      // A block rule for any program that covers every port is a blanket rule of the host's own
      // making (or a security suite's); only rules aimed at the server are named.
      const std::string_view ports = TrimBlanks(rule.localPorts);
      const bool aimed =
          onProgram || (anyProgram && !ports.empty() && ports != "*" && (onGame || onQuery));
      if (aimed) findings.blockRules.push_back(rule.name);
      continue;
    }
    if (onGame || onQuery) findings.allowRules.push_back(rule.name);
    findings.programAllowed = findings.programAllowed || (onProgram && onGame && onQuery);
    gameAllowed = gameAllowed || onGame;
    queryAllowed = queryAllowed || onQuery;
  }
  findings.portsAllowed = gameAllowed && queryAllowed;
  return findings;
}

CheckLine FirewallLine(const FirewallFindings& findings) {
  if (!findings.firewallOn) return {Verdict::Pass, "当前网络类型的防火墙已关闭"};
  if (!findings.blockRules.empty()) {
    return {Verdict::Fail, "入站阻止规则 " + Joined(findings.blockRules) +
                               " 拦截服务端 - 可点 添加防火墙规则 (停用阻止规则)"};
  }
  if (findings.programAllowed || findings.portsAllowed) {
    return {Verdict::Pass, "入站允许规则 " + Joined(findings.allowRules) + " 放行服务端"};
  }
  return {Verdict::Fail, "没有放行服务端的入站规则 - 可点 添加防火墙规则"};
}

}  // namespace tidemoor
