#include "app/guide_conclusion.h"

#include "net/public_address.h"

namespace tidemoor {
namespace {

std::string AtHome(const std::string& lanConnect) {
  if (lanConnect.empty()) return "本机没有局域网地址";
  return "家里的玩家可用局域网联机地址 " + lanConnect;
}

}  // namespace

GuideConclusion ConcludeConnection(const ConnectionFacts& facts) {
  if (facts.nat.publicAddress.empty()) {
    const std::string why = facts.publicFailure.empty() ? "" : " (" + facts.publicFailure + ")";
    return {Verdict::Unknown, "无法获取公网地址" + why + " - " + AtHome(facts.lanConnect),
            facts.lanConnect};
  }
  const CheckLine line = NatVerdict(facts.nat);
  // Behind the carrier's NAT or a second router, a mapping on this router reaches nobody outside.
  if (line.verdict == Verdict::Fail || line.verdict == Verdict::Attention) {
    return {
        line.verdict,
        line.found +
            "\r\n外网好友无法直接连接。两个办法: 向运营商申请公网 IPv4 地址; 或所有玩家加入同一个"
            "虚拟局域网, 用其中的地址联机\r\n" +
            AtHome(facts.lanConnect),
        facts.lanConnect};
  }
  const std::string address = ConnectAddressText(facts.nat.publicAddress, facts.nat.gamePort);
  return {line.verdict, line.found + "\r\n好友联机地址: " + address, address};
}

}  // namespace tidemoor
