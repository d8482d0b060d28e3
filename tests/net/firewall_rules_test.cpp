#include "net/firewall_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

constexpr char kProgram[] =
    "D:\\Pal\\PalServer\\Pal\\Binaries\\Win64\\PalServer-Win64-Shipping-Cmd.exe";

TEST(PortListCovers, ListsRangesAndWildcards) {
  const struct {
    const char* list;
    bool covers;
  } cases[] = {{"", true},           {"*", true},           {"8211", true},
               {"8212", false},      {"27015, 8211", true}, {"8000-9000", true},
               {"8212-9000", false}, {"9000-8000", false},  {"RPC", false},
               {"8211x", false},     {",,8211", true},      {"70000-80000", false},
               {"8000-8211", true},  {"8211-9000", true},   {"8211-8211", true},
               {"8000-8210", false}};
  for (const auto& c : cases) EXPECT_EQ(PortListCovers(c.list, 8211), c.covers) << c.list;
}

TEST(FirewallLine, BlockRulesAllowRulesAndProfiles) {
  const std::string otherProgram = "C:\\Games\\Other.exe";
  FirewallRule allowProgram{"Pal allow", true, true, true, kProgram, "", "", kAllProfiles};
  FirewallRule blockProgram{"PalServer-Win64-Shipping-Cmd.exe",
                            true,
                            true,
                            false,
                            "d:/pal/palserver/pal/binaries/win64/palserver-win64-shipping-cmd.exe",
                            "UDP",
                            "",
                            kProfilePublic};
  FirewallRule allowPorts{"Pal ports", true, true, true, "", "UDP", "8211,27015", kAllProfiles};
  FirewallRule allowGameOnly{"Game only", true, true, true, "", "UDP", "8211", kAllProfiles};
  FirewallRule programGameOnly{"Program, game only", true, true, true, kProgram, "UDP", "8211",
                               kAllProfiles};
  FirewallRule allowTcp{"Tcp", true, true, true, "", "TCP", "8211,27015", kAllProfiles};
  FirewallRule blockAll{"Block everything", true, true, false, "", "", "", kAllProfiles};
  FirewallRule blockPort{"No 8211", true, true, false, "", "UDP", "8211", kAllProfiles};
  FirewallRule otherAllow{"Other", true, true, true, otherProgram, "", "", kAllProfiles};
  FirewallRule disabledBlock = blockProgram;
  disabledBlock.enabled = false;
  FirewallRule outboundBlock = blockProgram;
  outboundBlock.inbound = false;
  const FirewallState onPublic{kProfilePublic, kAllProfiles};
  const FirewallState onPrivate{kProfilePrivate, kAllProfiles};
  const std::string fix = " - 可点 添加防火墙规则";
  const struct {
    std::vector<FirewallRule> rules;
    FirewallState state;
    CheckLine line;
  } cases[] = {
      {{}, {kProfilePublic, kProfileDomain}, {Verdict::Pass, "当前网络类型的防火墙已关闭"}},
      {{}, onPublic, {Verdict::Fail, "没有放行服务端的入站规则" + fix}},
      {{allowProgram}, onPublic, {Verdict::Pass, "入站允许规则 \"Pal allow\" 放行服务端"}},
      {{allowPorts, otherAllow},
       onPublic,
       {Verdict::Pass, "入站允许规则 \"Pal ports\" 放行服务端"}},
      {{allowGameOnly}, onPublic, {Verdict::Fail, "没有放行服务端的入站规则" + fix}},
      {{programGameOnly}, onPublic, {Verdict::Fail, "没有放行服务端的入站规则" + fix}},
      {{allowTcp}, onPublic, {Verdict::Fail, "没有放行服务端的入站规则" + fix}},
      {{allowProgram, blockProgram},
       onPublic,
       {Verdict::Fail,
        "入站阻止规则 \"PalServer-Win64-Shipping-Cmd.exe\" 拦截服务端" + fix + " (停用阻止规则)"}},
      {{allowProgram, blockProgram},
       onPrivate,
       {Verdict::Pass, "入站允许规则 \"Pal allow\" 放行服务端"}},
      {{allowProgram, disabledBlock, outboundBlock, blockAll},
       onPublic,
       {Verdict::Pass, "入站允许规则 \"Pal allow\" 放行服务端"}},
      {{allowPorts, blockPort},
       onPublic,
       {Verdict::Fail, "入站阻止规则 \"No 8211\" 拦截服务端" + fix + " (停用阻止规则)"}},
  };
  for (const auto& c : cases) {
    const FirewallFindings findings = ReadFirewallRules(c.rules, c.state, kProgram, 8211, 27015);
    EXPECT_EQ(FirewallLine(findings), c.line) << c.line.found;
  }
}

}  // namespace
}  // namespace tidemoor
