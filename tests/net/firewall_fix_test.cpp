#include "net/firewall_fix.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

constexpr char kProgram[] = "D:\\开服 工具\\PalServer-Win64-Shipping-Cmd.exe";

TEST(FirewallFixArguments, OnlyAWholeJobIsAccepted) {
  const FirewallFixJob job{kProgram, 8211, 27015};
  EXPECT_EQ(ReadFirewallFixArguments(FirewallFixArguments(job)), job);
  const struct {
    std::vector<std::string> arguments;
    bool accepted;
  } cases[] = {
      {{"--firewall-fix", kProgram, "8211", "8211"}, true},
      {{"--firewall-fix", kProgram, "8211"}, false},
      {{"--firewall-fix", kProgram, "8211", "27015", "8212"}, false},
      {{"--firewall-fix", "", "8211", "27015"}, false},
      {{"--firewall-fix", kProgram, "0", "27015"}, false},
      {{"--firewall-fix", kProgram, "8211", "65536"}, false},
      {{"--firewall-fix", kProgram, "8211x", "27015"}, false},
      {{"--FIREWALL-FIX", kProgram, "8211", "27015"}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadFirewallFixArguments(c.arguments).has_value(), c.accepted) << c.arguments.size();
  }
  EXPECT_EQ(FixPortList(job), "8211,27015");
  EXPECT_EQ(FixPortList({kProgram, 8211, 8211}), "8211");
}

TEST(FirewallFixOutcome, EveryEndIsToldPlainly) {
  const struct {
    FixLaunch launch;
    unsigned long exitCode;
    int blockRules;
    CheckLine line;
  } cases[] = {
      {FixLaunch::Ran, kFixDone, 0, {Verdict::Pass, "已添加防火墙规则"}},
      {FixLaunch::Ran, kFixDone, 2, {Verdict::Pass, "已添加防火墙规则，并停用了 2 条阻止规则"}},
      {FixLaunch::Ran,
       kFixUnsupported,
       0,
       {Verdict::Unknown, "不支持: 此系统没有可用的防火墙接口"}},
      {FixLaunch::Ran, kFixFailed, 0, {Verdict::Fail, "防火墙拒绝了更改 (代码 3)"}},
      {FixLaunch::Ran, 0xC0000005, 0, {Verdict::Fail, "防火墙拒绝了更改 (代码 3221225477)"}},
      {FixLaunch::Refused,
       0,
       0,
       {Verdict::Fail, "未获得管理员权限 (已拒绝授权) - 防火墙规则未添加"}},
      {FixLaunch::NotStarted,
       0,
       0,
       {Verdict::Unknown, "无法以管理员身份启动本工具 - 防火墙规则未添加"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirewallFixOutcome(c.launch, c.exitCode, c.blockRules), c.line) << c.line.found;
  }
}

}  // namespace
}  // namespace tidemoor
