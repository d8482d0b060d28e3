#include "net/port_holders.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

TEST(PortsLine, NamesEveryOtherHolder) {
  const std::vector<WatchedPort> watched = {
      {"游戏端口", "UDP", 8211}, {"查询端口", "UDP", 27015}, {"REST API 端口", "TCP", 8212}};
  const PortHolder server{"UDP", 8211, 300, "PalServer-Win64-Shipping-Cmd.exe"};
  const PortHolder other{"UDP", 8211, 77, "Holder.exe"};
  const struct {
    std::vector<PortHolder> holders;
    std::vector<unsigned> serverProcesses;
    CheckLine line;
  } cases[] = {
      {{}, {}, {Verdict::Pass, "UDP 8211、UDP 27015、TCP 8212 均未被其他程序占用"}},
      {{other}, {}, {Verdict::Fail, "UDP 8211 (游戏端口) 被 Holder.exe (进程 77) 占用"}},
      {{{"UDP", 8211, 0, ""}}, {}, {Verdict::Fail, "UDP 8211 (游戏端口) 被 未知程序 占用"}},
      {{other, other, {"TCP", 8211, 78, "Web.exe"}, {"UDP", 8212, 79, "Dns.exe"}},
       {},
       {Verdict::Fail, "UDP 8211 (游戏端口) 被 Holder.exe (进程 77) 占用"}},
      {{{"TCP", 8212, 5, ""}, {"UDP", 27015, 6, "Steam.exe"}},
       {},
       {Verdict::Fail,
        "UDP 27015 (查询端口) 被 Steam.exe (进程 6) 占用；TCP 8212 (REST API 端口) 被 未知程序 "
        "(进程 5) 占用"}},
      {{server, {"TCP", 8212, 300, "PalServer-Win64-Shipping-Cmd.exe"}},
       {100, 300},
       {Verdict::Pass,
        "UDP 8211 (游戏端口) 由服务端 PalServer-Win64-Shipping-Cmd.exe (进程 300) "
        "使用，没有其他程序占用端口"}},
      {{}, {100, 300}, {Verdict::Attention, "服务端运行中，但 UDP 8211 (游戏端口) 不在它手里"}},
      {{server},
       {},
       {Verdict::Fail, "UDP 8211 (游戏端口) 被 PalServer-Win64-Shipping-Cmd.exe (进程 300) 占用"}},
      {{server, other}, {300}, {Verdict::Fail, "UDP 8211 (游戏端口) 被 Holder.exe (进程 77) 占用"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortsLine(watched, c.holders, c.serverProcesses), c.line) << c.line.found;
  }
}

}  // namespace
}  // namespace tidemoor
