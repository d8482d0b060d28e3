#include "net/check_verdict.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(ClassifyIpv4, RangeEdges) {
  const struct {
    const char* address;
    AddressKind kind;
  } cases[] = {
      {"9.255.255.255", AddressKind::Public},
      {"10.0.0.0", AddressKind::Private},
      {"10.255.255.255", AddressKind::Private},
      {"11.0.0.0", AddressKind::Public},
      {"100.63.255.255", AddressKind::Public},
      {"100.64.0.0", AddressKind::Shared},
      {"100.127.255.255", AddressKind::Shared},
      {"100.128.0.0", AddressKind::Public},
      {"172.15.255.255", AddressKind::Public},
      {"172.16.0.0", AddressKind::Private},
      {"172.31.255.255", AddressKind::Private},
      {"172.32.0.0", AddressKind::Public},
      {"192.167.255.255", AddressKind::Public},
      {"192.168.0.0", AddressKind::Private},
      {"192.168.255.255", AddressKind::Private},
      {"192.169.0.0", AddressKind::Public},
      {"0.0.0.0", AddressKind::Unusable},
      {"127.0.0.1", AddressKind::Unusable},
      {"169.254.1.1", AddressKind::Unusable},
      {"224.0.0.1", AddressKind::Unusable},
      {"224.0.0.0", AddressKind::Unusable},
      {"223.255.255.255", AddressKind::Public},
      {"203.0.113.7", AddressKind::Public},
      {"", AddressKind::NotAnAddress},
      {"100.64.0", AddressKind::NotAnAddress},
      {"2001:db8::1", AddressKind::NotAnAddress},
      {"<b>1.2.3.4</b>", AddressKind::NotAnAddress},
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyIpv4(c.address), c.kind) << c.address;
}

TEST(NatVerdict, PublicAddressAgainstRouter) {
  const std::string cgnat =
      "运营商级 NAT - 没有公网 IPv4，端口映射无法让外网好友连接。可向运营商申请公网 IP，"
      "或与好友使用虚拟局域网";
  const std::string doubleNat =
      "路由器前还有一层路由器 (光猫?) - 需在上一级设备也做端口映射或改为桥接";
  const struct {
    NatFindings findings;
    CheckLine line;
  } cases[] = {
      {{true, "203.0.113.7", "", "203.0.113.7", "8211"},
       {Verdict::Pass, "公网 IP - 端口映射后好友可直接连接 203.0.113.7:8211"}},
      {{true, "100.64.12.34", "", "203.0.113.7", "8211"}, {Verdict::Fail, cgnat}},
      {{true, "10.1.2.3", "", "", "8211"}, {Verdict::Fail, cgnat}},
      {{true, "192.168.1.1", "", "203.0.113.7", "8211"}, {Verdict::Fail, cgnat}},
      {{true, "198.51.100.9", "", "203.0.113.7", "8211"}, {Verdict::Attention, doubleNat}},
      {{false, "", "", "203.0.113.7", "8211"},
       {Verdict::Unknown, "无法判断 (路由器未开启 UPnP) - 公网地址 203.0.113.7"}},
      {{false, "", "", "", "8211"},
       {Verdict::Unknown, "无法判断 (路由器未开启 UPnP) - 公网地址获取失败"}},
      {{true, "", "路由器没有回答", "203.0.113.7", "8211"},
       {Verdict::Unknown, "路由器未告知外网地址 (路由器没有回答) - 公网地址 203.0.113.7"}},
      {{true, "0.0.0.0", "", "203.0.113.7", "8211"},
       {Verdict::Unknown,
        "路由器的外网地址 0.0.0.0 不可用 (路由器未连上外网?) - 公网地址 203.0.113.7"}},
      {{true, "203.0.113.7", "", "", "8211"},
       {Verdict::Unknown, "路由器外网地址 203.0.113.7，公网地址获取失败，无法比较"}},
      {{true, "203.0.113.7", "", "2001:db8::7", "8211"},
       {Verdict::Unknown, "路由器外网地址 203.0.113.7，公网地址 2001:db8::7，无法比较"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NatVerdict(c.findings), c.line) << c.findings.routerExternal;
  }
  EXPECT_EQ(VerdictText(Verdict::Pass), "通过");
  EXPECT_EQ(VerdictText(Verdict::Attention), "注意");
  EXPECT_EQ(VerdictText(Verdict::Fail), "未通过");
  EXPECT_EQ(VerdictText(Verdict::Unknown), "无法判断");
}

TEST(LanLine, FirstPrivateAddressWithTheGamePort) {
  const struct {
    std::vector<std::string> addresses;
    CheckLine line;
  } cases[] = {
      {{"192.168.1.20"}, {Verdict::Pass, "局域网联机地址 192.168.1.20:8211"}},
      {{"100.72.1.2", "10.0.0.5", "192.168.56.1"},
       {Verdict::Pass, "局域网联机地址 10.0.0.5:8211；其他地址: 100.72.1.2、192.168.56.1"}},
      {{"203.0.113.7"}, {Verdict::Attention, "本机没有局域网地址 (本机地址: 203.0.113.7)"}},
      {{}, {Verdict::Attention, "本机没有局域网地址"}},
  };
  for (const auto& c : cases) EXPECT_EQ(LanLine(c.addresses, "8211"), c.line) << c.line.found;
}

}  // namespace
}  // namespace tidemoor
