#pragma once
// Finding the machine's public address through two IP-echo services, and the text players
// paste to join.

#include <functional>
#include <string>
#include <string_view>

#include "platform/http_answer.h"

namespace tidemoor {

inline constexpr char kAddressLookupFailed[] = "<获取公网数字地址错误.请手动填写地址>";

using HttpFetch = std::function<HttpAnswer(const std::string& url)>;

bool IsIpv4Address(std::string_view text);
bool IsIpv6Address(std::string_view text);

// The address an echo service answered, trimmed of blanks and line breaks; empty unless the
// answer was a success (200) and the text is an IPv4 or IPv6 address. With markers, the address
// is what stands between the first "[ip/]" and the first "[/ip]" after it.
std::string AddressFromAnswer(const HttpAnswer& answer, bool marked);

// Why an answer gave no address: no answer (and why), an HTTP status other than 200, or a text
// that holds no address.
std::string NoAddressReason(const HttpAnswer& answer);

struct AddressLookup {
  std::string address;  // kAddressLookupFailed when neither service gave one
  std::string failure;  // then why, service by service; empty otherwise
};

// Asks the primary service (marked answer) and, when it gives no address, the fallback one
// (bare answer).
AddressLookup LookupPublicAddress(const HttpFetch& fetch, const std::string& primaryUrl,
                                  const std::string& fallbackUrl);

// address:port as typed; an IPv6 address is bracketed so the port stays distinguishable.
std::string ConnectAddressText(std::string_view address, std::string_view port);

}  // namespace tidemoor
