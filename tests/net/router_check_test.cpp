#include "net/router_check.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

SoapAnswer Entry(const std::string& client, const std::string& port) {
  SoapAnswer answer;
  answer.kind = SoapAnswer::Kind::Values;
  answer.values = {{"NewInternalClient", client}, {"NewInternalPort", port}};
  return answer;
}

SoapAnswer FaultAnswer(int code) {
  SoapAnswer answer;
  answer.kind = SoapAnswer::Kind::Fault;
  answer.faultCode = code;
  answer.problem = "路由器拒绝: " + std::to_string(code);
  return answer;
}

TEST(RouterLine, MappingsDecideTheLineAndTheFixes) {
  const std::string here = "192.168.1.20";
  const std::string head = "路由器 UPnP 已开启，外网地址 203.0.113.7；";
  const struct {
    SoapAnswer game, query;
    CheckLine line;
    bool mayMap, mayRemove;
    size_t toAdd;
  } cases[] = {
      {FaultAnswer(kNoSuchMapping),
       FaultAnswer(kNoSuchMapping),
       {Verdict::Attention, head + "UDP 8211、UDP 27015 未映射到本机"},
       true,
       false,
       2},
      {Entry(here, "8211"),
       FaultAnswer(kNoSuchMapping),
       {Verdict::Attention, head + "UDP 27015 未映射到本机"},
       true,
       true,
       1},
      {Entry(here, "8211"),
       Entry(here, "27015"),
       {Verdict::Pass, head + "UDP 8211、UDP 27015 已映射到本机"},
       false,
       true,
       0},
      {Entry("192.168.1.30", "8211"),
       FaultAnswer(kNoSuchMapping),
       {Verdict::Fail, head + "UDP 8211 已映射到另一台电脑 192.168.1.30:8211 (不会替换)"},
       false,
       false,
       0},
      {Entry(here, "9000"),
       Entry(here, "27015"),
       {Verdict::Fail, head + "UDP 8211 已映射到本机端口 9000 (不会替换)"},
       false,
       true,
       0},
      {FaultAnswer(501),
       FaultAnswer(kNoSuchMapping),
       {Verdict::Unknown, head + "UDP 8211 路由器拒绝: 501"},
       false,
       false,
       0},
      {Entry("", "8211"),
       FaultAnswer(kNoSuchMapping),
       {Verdict::Unknown, head + "UDP 8211 路由器的映射记录不完整"},
       false,
       false,
       0},
      {Entry(here, "x"),
       FaultAnswer(kNoSuchMapping),
       {Verdict::Unknown, head + "UDP 8211 路由器的映射记录不完整"},
       false,
       false,
       0},
  };
  for (const auto& c : cases) {
    RouterFindings findings{true, "", "203.0.113.7", {}};
    findings.ports = {ReadMappingEntry(c.game, "UDP", 8211, here),
                      ReadMappingEntry(c.query, "UDP", 27015, here)};
    EXPECT_EQ(RouterLine(findings), c.line);
    EXPECT_EQ(MayMap(findings), c.mayMap) << c.line.found;
    EXPECT_EQ(MayRemove(findings), c.mayRemove) << c.line.found;
    const std::vector<PortMapping> toAdd = MappingsToAdd(findings, here);
    ASSERT_EQ(toAdd.size(), c.toAdd) << c.line.found;
    for (const PortMapping& mapping : toAdd) {
      EXPECT_EQ(mapping.internalClient, here);
      EXPECT_EQ(mapping.internalPort, mapping.externalPort);
      EXPECT_EQ(mapping.description, "Tidemoor Palworld");
    }
  }
  const RouterFindings none{false, "路由器没有回答", "", {}};
  EXPECT_EQ(RouterLine(none), (CheckLine{Verdict::Unknown, "未发现路由器 (路由器没有回答)"}));
  EXPECT_FALSE(MayMap(none));
  EXPECT_FALSE(MayRemove(none));
}

}  // namespace
}  // namespace tidemoor
