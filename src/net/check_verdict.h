#pragma once
// What one line of the connection doctor says: a verdict and what was found, and the verdict a
// host reads first when friends cannot join, from the public address against the router's.

#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

enum class Verdict { Pass, Attention, Fail, Unknown };

// 通过 / 注意 / 未通过 / 无法判断
std::string_view VerdictText(Verdict verdict);

struct CheckLine {
  Verdict verdict = Verdict::Unknown;
  std::string found;
  bool operator==(const CheckLine&) const = default;
};

// Where an IPv4 address can be reached from. Shared is the carrier's own address space
// (100.64.0.0/10); Unusable covers what no router shows as its outside address when connected
// (0/8, loopback, link-local, multicast and above).
enum class AddressKind { Public, Private, Shared, Unusable, NotAnAddress };

AddressKind ClassifyIpv4(std::string_view address);

struct NatFindings {
  bool gatewayFound = false;
  std::string routerExternal;  // empty when the router did not tell it
  std::string routerProblem;   // why the router's answer could not be used
  std::string publicAddress;   // empty when the lookup found none
  std::string gamePort;
};

CheckLine NatVerdict(const NatFindings& findings);

// The address friends on the same network join: the first private address with the game port;
// empty when this PC has none.
std::string LanConnectAddress(const std::vector<std::string>& addresses, std::string_view gamePort);

// "局域网联机地址 a.b.c.d:port", with this PC's other addresses after it.
CheckLine LanLine(const std::vector<std::string>& addresses, std::string_view gamePort);

}  // namespace tidemoor
