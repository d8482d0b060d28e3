#include "net/check_verdict.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <optional>

#include "net/public_address.h"

namespace tidemoor {
namespace {

std::optional<uint32_t> Ipv4Value(std::string_view address) {
  if (!IsIpv4Address(address)) return std::nullopt;
  uint32_t value = 0;
  const char* at = address.data();
  const char* end = address.data() + address.size();
  for (int part = 0; part < 4; ++part) {
    unsigned octet = 0;
    at = std::from_chars(at, end, octet).ptr + 1;
    value = (value << 8) | octet;
  }
  return value;
}

bool InRange(uint32_t value, uint32_t network, int prefixBits) {
  const uint32_t mask = prefixBits == 0 ? 0 : ~uint32_t{0} << (32 - prefixBits);
  return (value & mask) == network;
}

constexpr uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  return (a << 24) | (b << 16) | (c << 8) | d;
}

}  // namespace

std::string_view VerdictText(Verdict verdict) {
  switch (verdict) {
    case Verdict::Pass:
      return "通过";
    case Verdict::Attention:
      return "注意";
    case Verdict::Fail:
      return "未通过";
    case Verdict::Unknown:
      break;
  }
  return "无法判断";
}

AddressKind ClassifyIpv4(std::string_view address) {
  const std::optional<uint32_t> value = Ipv4Value(address);
  if (!value) return AddressKind::NotAnAddress;
  if (InRange(*value, Ip(10, 0, 0, 0), 8) || InRange(*value, Ip(172, 16, 0, 0), 12) ||
      InRange(*value, Ip(192, 168, 0, 0), 16)) {
    return AddressKind::Private;
  }
  if (InRange(*value, Ip(100, 64, 0, 0), 10)) return AddressKind::Shared;
  if (InRange(*value, Ip(0, 0, 0, 0), 8) || InRange(*value, Ip(127, 0, 0, 0), 8) ||
      InRange(*value, Ip(169, 254, 0, 0), 16) || *value >= Ip(224, 0, 0, 0)) {
    return AddressKind::Unusable;
  }
  return AddressKind::Public;
}

CheckLine NatVerdict(const NatFindings& findings) {
  const std::string publicPart =
      findings.publicAddress.empty() ? "公网地址获取失败" : "公网地址 " + findings.publicAddress;
  if (!findings.gatewayFound) {
    return {Verdict::Unknown, "无法判断 (路由器未开启 UPnP) - " + publicPart};
  }
  if (findings.routerExternal.empty()) {
    return {Verdict::Unknown,
            "路由器未告知外网地址 (" + findings.routerProblem + ") - " + publicPart};
  }
  switch (ClassifyIpv4(findings.routerExternal)) {
    case AddressKind::Private:
    case AddressKind::Shared:
      return {Verdict::Fail,
              "运营商级 NAT - 没有公网 IPv4，端口映射无法让外网好友连接。可向运营商申请公网 IP，"
              "或与好友使用虚拟局域网"};
    case AddressKind::Unusable:
    case AddressKind::NotAnAddress:
      return {Verdict::Unknown, "路由器的外网地址 " + findings.routerExternal +
                                    " 不可用 (路由器未连上外网?) - " + publicPart};
    case AddressKind::Public:
      break;
  }
  if (ClassifyIpv4(findings.publicAddress) == AddressKind::NotAnAddress) {
    return {Verdict::Unknown,
            "路由器外网地址 " + findings.routerExternal + "，" + publicPart + "，无法比较"};
  }
  if (findings.publicAddress == findings.routerExternal) {
    return {Verdict::Pass, "公网 IP - 端口映射后好友可直接连接 " +
                               ConnectAddressText(findings.publicAddress, findings.gamePort)};
  }
  return {Verdict::Attention,
          "路由器前还有一层路由器 (光猫?) - 需在上一级设备也做端口映射或改为桥接"};
}

std::string LanConnectAddress(const std::vector<std::string>& addresses,
                              std::string_view gamePort) {
  for (const std::string& address : addresses) {
    if (ClassifyIpv4(address) == AddressKind::Private) return ConnectAddressText(address, gamePort);
  }
  return {};
}

CheckLine LanLine(const std::vector<std::string>& addresses, std::string_view gamePort) {
  const std::string connect = LanConnectAddress(addresses, gamePort);
  std::string others;
  for (const std::string& address : addresses) {
    if (connect.rfind(address + ":", 0) == 0) continue;
    others += (others.empty() ? "" : "、") + address;
  }
  if (connect.empty()) {
    return {
        Verdict::Attention,
        "本机没有局域网地址" + (others.empty() ? std::string() : " (本机地址: " + others + ")")};
  }
  return {Verdict::Pass,
          "局域网联机地址 " + connect + (others.empty() ? std::string() : "；其他地址: " + others)};
}

}  // namespace tidemoor
