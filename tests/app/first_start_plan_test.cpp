#include "app/first_start_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/guide_conclusion.h"

namespace tidemoor {
namespace {

using S = GuideStep;

// Which step runs after what: a failed step holds up only the start, which needs the server.
TEST(FirstStartPlan, StepRunsUnlessUntickedOrItsNeedIsMissing) {
  const std::optional<StepResult> none, done = StepDone(), skipped = StepSkipped("未勾选"),
                                        failed = StepFailed("磁盘空间不足 - 服务端需要约 9 GB");
  const struct {
    const char* name;
    bool ticked, installed, running;
    std::optional<StepResult> install;
    GuideStep step;
    std::optional<std::string> skip;
  } cases[] = {
      {"first start: install", true, false, false, none, S::Install, std::nullopt},
      {"unticked install", false, true, false, none, S::Install, "未勾选"},
      {"unticked firewall", false, true, false, none, S::Firewall, "未勾选"},
      {"unticked mapping", false, true, false, none, S::Mapping, "未勾选"},
      {"unticked start-up entry", false, true, false, none, S::StartUp, "未勾选"},
      {"unticked steps still start", false, true, false, none, S::Start, std::nullopt},
      {"no install over a running server", true, true, true, none, S::Install, "服务端正在运行"},
      {"firewall beside a running server", true, true, true, none, S::Firewall, std::nullopt},
      {"mapping beside a running server", true, true, true, none, S::Mapping, std::nullopt},
      {"no second start", true, true, true, none, S::Start, "服务端已在运行"},
      {"failed install: firewall still", true, false, false, failed, S::Firewall, std::nullopt},
      {"failed install: mapping still", true, false, false, failed, S::Mapping, std::nullopt},
      {"failed install: start-up entry", true, false, false, failed, S::StartUp, std::nullopt},
      {"failed install: no start", true, false, false, failed, S::Start, "服务端未安装 (安装失败)"},
      {"installed: start", true, true, false, done, S::Start, std::nullopt},
      {"update failed over an installed server", true, true, false, failed, S::Start, std::nullopt},
      {"install unticked, none there", false, false, false, skipped, S::Start, "服务端未安装"},
  };
  for (const auto& c : cases) {
    GuideFacts facts;
    facts.ticked.fill(c.ticked);
    facts.serverInstalled = c.installed;
    facts.serverRunning = c.running;
    facts.install = c.install;
    EXPECT_EQ(SkipReason(c.step, facts), c.skip) << c.name;
  }
}

TEST(FirstStartPlan, ResultsReadAsTheirWordThenWhy) {
  EXPECT_EQ(ResultText(StepDone()), "完成");
  EXPECT_EQ(ResultText(StepFailed("路由器未开启 UPnP")), "失败: 路由器未开启 UPnP");
  EXPECT_EQ(ResultText(StepSkipped("未勾选")), "跳过: 未勾选");
}

// The server's size plus 5 GB, in GB of 1024³ bytes, rounded up; an unknown size is taken as 4 GB,
// unreadable free space holds nothing up.
TEST(FirstStartPlan, FreeSpaceIsTheServersSizePlusFiveGb) {
  const uint64_t size = 3 * kGiB + kGiB / 2;
  struct Case {
    std::optional<uint64_t> serverBytes;
    std::optional<uint64_t> freeBytes;
    std::optional<std::string> shortfall;
  };
  const Case cases[] = {
      {size, size + kFreeSpaceMargin, std::nullopt},
      {size, size + kFreeSpaceMargin - 1, "磁盘空间不足 - 服务端需要约 9 GB"},
      {size, 0, "磁盘空间不足 - 服务端需要约 9 GB"},
      {std::nullopt, 9 * kGiB, std::nullopt},
      {std::nullopt, 9 * kGiB - 1, "磁盘空间不足 - 服务端需要约 9 GB"},
      {20 * kGiB + 1, 25 * kGiB, "磁盘空间不足 - 服务端需要约 26 GB"},
      {size, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FreeSpaceShortfall(c.serverBytes, c.freeBytes), c.shortfall)
        << c.serverBytes.value_or(0) << " " << c.freeBytes.value_or(0);
  }
  EXPECT_EQ(InstallCaption(size), "安装游戏服务端 (约 4 GB)");
  EXPECT_EQ(InstallCaption(std::nullopt), "安装游戏服务端");
}

// What the host sends friends: the public address where it reaches this PC, the ways out where a
// carrier's or a second router's NAT stands between, the LAN address where nothing else is known.
// A friends' address is said only where friends can join on it.
TEST(GuideConclusion, TellsWhatFriendsJoinOnOrWhyNot) {
  using V = Verdict;
  const std::string lan = "192.168.1.20:8211", ip = "203.0.113.7", at = ip + ":8211";
  const std::vector<std::string> behind = {"向运营商申请公网 IPv4 地址", "虚拟局域网",
                                           "局域网联机地址 " + lan};
  const struct {
    const char* what;
    std::string external, publicAddress;  // no public address: it timed out
    V verdict;
    std::vector<std::string> said;
    std::string copy;
  } cases[] = {
      {"direct", ip, ip, V::Pass, {"\r\n好友联机地址: " + at}, at},
      {"no router", "", ip, V::Unknown, {}, at},
      {"carrier NAT", "100.72.1.9", "198.51.100.4", V::Fail, behind, lan},
      {"a second router", "192.168.0.2", "198.51.100.4", V::Fail, behind, lan},
      {"no public address",
       ip,
       "",
       V::Unknown,
       {"无法获取公网地址 (连接超时) - 家里的玩家可用局域网联机地址 " + lan},
       lan},
  };
  for (const auto& c : cases) {
    ConnectionFacts facts;
    const bool router = !c.external.empty();
    facts.nat = {router, c.external, router ? "" : "未找到路由器", c.publicAddress, "8211"};
    facts.lanConnect = lan;
    if (c.publicAddress.empty()) facts.publicFailure = "连接超时";
    const GuideConclusion conclusion = ConcludeConnection(facts);
    EXPECT_EQ(conclusion.verdict, c.verdict) << c.what;
    for (const std::string& part : c.said) {
      EXPECT_NE(conclusion.text.find(part), std::string::npos) << c.what << ": " << part;
    }
    EXPECT_EQ(conclusion.text.find("好友联机地址") != std::string::npos, c.copy != lan) << c.what;
    EXPECT_EQ(conclusion.copyText, c.copy) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
