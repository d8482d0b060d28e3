#include "net/mapping_at_start.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

using H = MappingHolder;

RouterFindings Router(H game, H query) {
  RouterFindings findings;
  findings.found = true;
  findings.externalAddress = "203.0.113.7";
  findings.ports = {{"UDP", 8211, game, game == H::OtherPc ? "另一台电脑 192.168.1.77:8211" : ""},
                    {"UDP", 27015, query, query == H::Unknown ? "路由器的映射记录不完整" : ""}};
  return findings;
}

RouterFindings NoRouter() {
  RouterFindings findings;
  findings.problem = "路由器未开启 UPnP";
  return findings;
}

// Every port the start did not map is accounted for in the event log, and a stop with nothing of
// this PC's on the router says so instead of staying silent.
TEST(MappingAtStart, EveryPortGetsALineAtStartAndAtStop) {
  const std::vector<std::string> added = {"路由器端口映射已添加: UDP 8211 -> 192.168.1.20"};
  const std::vector<std::string> removed = {"路由器端口映射已删除: UDP 8211"};
  const struct {
    const char* name;
    RouterFindings findings;
    std::vector<std::string> atStart, atStop;
  } cases[] = {
      {"no router",
       NoRouter(),
       {"开服自动映射端口: 未发现路由器 (路由器未开启 UPnP)"},
       {"关服删除端口映射: 未发现路由器 (路由器未开启 UPnP)"}},
      {"both free",
       Router(H::Nobody, H::Nobody),
       added,
       {"关服删除端口映射: 路由器上没有指向本机的映射"}},
      {"game port held elsewhere",
       Router(H::OtherPc, H::Nobody),
       {"开服自动映射端口: UDP 8211 已映射到另一台电脑 192.168.1.77:8211，不会替换",
        "开服自动映射端口: UDP 27015 未映射 (另一个端口无法映射到本机)"},
       {"关服删除端口映射: 路由器上没有指向本机的映射"}},
      {"query port unreadable",
       Router(H::ThisPc, H::Unknown),
       {"开服自动映射端口: UDP 8211 已映射到本机",
        "开服自动映射端口: UDP 27015 无法确认 (路由器的映射记录不完整)，未映射"},
       removed},
      {"already here",
       Router(H::ThisPc, H::ThisPc),
       {"开服自动映射端口: UDP 8211 已映射到本机", "开服自动映射端口: UDP 27015 已映射到本机"},
       removed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool mapping = MayMap(c.findings);
    EXPECT_EQ(MappingAtStartLines(c.findings, mapping ? added : std::vector<std::string>{}),
              c.atStart);
    EXPECT_EQ(RemovalAtStopLines(c.findings,
                                 MayRemove(c.findings) ? removed : std::vector<std::string>{}),
              c.atStop);
  }
}

}  // namespace
}  // namespace tidemoor
