#include "app/first_start_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/guide_conclusion.h"

namespace tidemoor {
namespace {

using S = GuideStep;

GuideFacts AllTicked() {
  GuideFacts facts;
  facts.ticked = {true, true, true, true};
  return facts;
}

// Which step runs after what: a failed step holds up only the start, which needs the server.
TEST(FirstStartPlan, StepRunsUnlessUntickedOrItsNeedIsMissing) {
  GuideFacts unticked = AllTicked();
  unticked.ticked = {false, false, false, false};
  unticked.serverInstalled = true;
  GuideFacts running = AllTicked();
  running.serverRunning = true;
  running.serverInstalled = true;
  GuideFacts installFailed = AllTicked();
  installFailed.install = StepFailed("磁盘空间不足 - 服务端需要约 9 GB");
  GuideFacts installed = AllTicked();
  installed.install = StepDone();
  installed.serverInstalled = true;
  GuideFacts installedBefore = AllTicked();
  installedBefore.install = StepFailed("SteamCMD 运行结束, 退出代码 8");
  installedBefore.serverInstalled = true;
  GuideFacts installSkipped = unticked;
  installSkipped.serverInstalled = false;
  installSkipped.install = StepSkipped("未勾选");

  struct Case {
    const char* name;
    GuideFacts facts;
    GuideStep step;
    std::optional<std::string> skip;
  };
  const Case cases[] = {
      {"first start: install", AllTicked(), S::Install, std::nullopt},
      {"unticked install", unticked, S::Install, "未勾选"},
      {"unticked firewall", unticked, S::Firewall, "未勾选"},
      {"unticked mapping", unticked, S::Mapping, "未勾选"},
      {"unticked start-up entry", unticked, S::StartUp, "未勾选"},
      {"unticked steps still start", unticked, S::Start, std::nullopt},
      {"no install over a running server", running, S::Install, "服务端正在运行"},
      {"firewall beside a running server", running, S::Firewall, std::nullopt},
      {"mapping beside a running server", running, S::Mapping, std::nullopt},
      {"no second start", running, S::Start, "服务端已在运行"},
      {"failed install: firewall still", installFailed, S::Firewall, std::nullopt},
      {"failed install: mapping still", installFailed, S::Mapping, std::nullopt},
      {"failed install: start-up entry still", installFailed, S::StartUp, std::nullopt},
      {"failed install: no start", installFailed, S::Start, "服务端未安装 (安装失败)"},
      {"installed: start", installed, S::Start, std::nullopt},
      {"update failed over an installed server: start", installedBefore, S::Start, std::nullopt},
      {"install unticked, none there", installSkipped, S::Start, "服务端未安装"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SkipReason(c.step, c.facts), c.skip) << c.name;
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
TEST(GuideConclusion, TellsWhatFriendsJoinOnOrWhyNot) {
  const auto facts = [](std::string external, std::string publicAddress, bool router = true) {
    ConnectionFacts made;
    made.nat = {router, external, router ? "" : "未找到路由器", publicAddress, "8211"};
    made.lanConnect = "192.168.1.20:8211";
    return made;
  };
  const GuideConclusion direct = ConcludeConnection(facts("203.0.113.7", "203.0.113.7"));
  EXPECT_EQ(direct.verdict, Verdict::Pass);
  EXPECT_NE(direct.text.find("\r\n好友联机地址: 203.0.113.7:8211"), std::string::npos);
  EXPECT_EQ(direct.copyText, "203.0.113.7:8211");

  const GuideConclusion noRouter = ConcludeConnection(facts("", "203.0.113.7", false));
  EXPECT_EQ(noRouter.verdict, Verdict::Unknown);
  EXPECT_EQ(noRouter.copyText, "203.0.113.7:8211");

  for (const char* external : {"100.72.1.9", "192.168.0.2"}) {
    const GuideConclusion behind = ConcludeConnection(facts(external, "198.51.100.4"));
    EXPECT_NE(behind.verdict, Verdict::Pass) << external;
    EXPECT_NE(behind.text.find("向运营商申请公网 IPv4 地址"), std::string::npos) << external;
    EXPECT_NE(behind.text.find("虚拟局域网"), std::string::npos) << external;
    EXPECT_NE(behind.text.find("局域网联机地址 192.168.1.20:8211"), std::string::npos);
    EXPECT_EQ(behind.text.find("好友联机地址"), std::string::npos) << external;
    EXPECT_EQ(behind.copyText, "192.168.1.20:8211");
  }

  ConnectionFacts unknown = facts("203.0.113.7", "");
  unknown.publicFailure = "连接超时";
  const GuideConclusion lanOnly = ConcludeConnection(unknown);
  EXPECT_EQ(lanOnly.text,
            "无法获取公网地址 (连接超时) - 家里的玩家可用局域网联机地址 192.168.1.20:8211");
  EXPECT_EQ(lanOnly.copyText, "192.168.1.20:8211");
}

}  // namespace
}  // namespace tidemoor
