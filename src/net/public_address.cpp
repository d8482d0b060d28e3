#include "net/public_address.h"

#include <cctype>

#include "platform/text.h"

namespace tidemoor {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
  return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Number of 16-bit groups in a run like "2001:db8:0:1", or -1 when it is not one. The last group
// may be a dotted IPv4 address, which counts as two.
int CountIpv6Groups(std::string_view run, bool mayEndInIpv4) {
  if (run.empty()) return 0;
  int groups = 0;
  while (true) {
    const size_t colon = run.find(':');
    const std::string_view group = run.substr(0, colon);
    if (colon == std::string_view::npos && mayEndInIpv4 && IsIpv4Address(group)) {
      return groups + 2;
    }
    if (group.empty() || group.size() > 4) return -1;
    for (const char c : group) {
      if (!IsHexDigit(c)) return -1;
    }
    ++groups;
    if (colon == std::string_view::npos) return groups;
    run.remove_prefix(colon + 1);
  }
}

}  // namespace

bool IsIpv4Address(std::string_view text) {
  int parts = 0;
  while (true) {
    const size_t dot = text.find('.');
    const std::string_view part = text.substr(0, dot);
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
    int value = 0;
    for (const char c : part) {
      if (!IsDigit(c)) return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255) return false;
    ++parts;
    if (dot == std::string_view::npos) return parts == 4;
    text.remove_prefix(dot + 1);
  }
}

bool IsIpv6Address(std::string_view text) {
  const size_t gap = text.find("::");
  if (gap == std::string_view::npos) return CountIpv6Groups(text, true) == 8;
  const std::string_view head = text.substr(0, gap);
  const std::string_view tail = text.substr(gap + 2);
  if (tail.find("::") != std::string_view::npos) return false;
  const int headGroups = CountIpv6Groups(head, false);
  const int tailGroups = CountIpv6Groups(tail, true);
  return headGroups >= 0 && tailGroups >= 0 && headGroups + tailGroups <= 7;
}

std::string AddressFromAnswer(const HttpAnswer& answer, bool marked) {
  if (answer.status != 200) return {};
  std::string_view text = answer.body;
  if (marked) {
    constexpr std::string_view kOpen = "[ip/]", kClose = "[/ip]";
    const size_t open = text.find(kOpen);
    if (open == std::string_view::npos) return {};
    const size_t start = open + kOpen.size();
    const size_t close = text.find(kClose, start);
    if (close == std::string_view::npos) return {};
    text = text.substr(start, close - start);
  }
  text = TrimBlanks(text, " \t\r\n");
  return IsIpv4Address(text) || IsIpv6Address(text) ? std::string(text) : std::string();
}

std::string NoAddressReason(const HttpAnswer& answer) {
  if (answer.status == 200) return "回应中没有 IP 地址";
  const std::string why = HttpFailureText(answer.status, answer.failure, answer.networkError);
  return why.empty() ? "无回应" : why;
}

AddressLookup LookupPublicAddress(const HttpFetch& fetch, const std::string& primaryUrl,
                                  const std::string& fallbackUrl) {
  const HttpAnswer primary = fetch(primaryUrl);
  if (std::string address = AddressFromAnswer(primary, true); !address.empty()) return {address};
  const HttpAnswer fallback = fetch(fallbackUrl);
  if (std::string address = AddressFromAnswer(fallback, false); !address.empty()) return {address};
  return {kAddressLookupFailed,
          "主服务: " + NoAddressReason(primary) + "; 备用服务: " + NoAddressReason(fallback)};
}

std::string ConnectAddressText(std::string_view address, std::string_view port) {
  const bool bracketed = IsIpv6Address(address);
  std::string text = bracketed ? "[" : "";
  text.append(address).append(bracketed ? "]:" : ":").append(port);
  return text;
}

}  // namespace tidemoor
