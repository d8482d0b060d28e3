#pragma once
// Finding a router on the LAN: the SSDP search it answers, where its description lives, and the
// control address of its WAN connection service inside that description.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

inline constexpr char kSsdpAddress[] = "239.255.255.250";
inline constexpr unsigned short kSsdpPort = 1900;

// The M-SEARCH datagram asking Internet gateways to answer within two seconds.
std::string SsdpSearchRequest();

// The description address (LOCATION) of a "200 OK" SSDP answer; nullopt for anything else.
std::optional<std::string> SsdpLocation(std::string_view answer);

struct HttpUrl {
  std::string host;
  unsigned short port = 80;
  std::string path = "/";  // with the query, if any
  bool operator==(const HttpUrl&) const = default;
};

// Plain http:// addresses only; nullopt for anything else.
std::optional<HttpUrl> ParseHttpUrl(std::string_view url);

// A reference from a description resolved against the address it came from (or its URLBase).
std::optional<HttpUrl> ResolveUrl(const HttpUrl& base, std::string_view reference);

// A router answers only from the LAN: its address is an IPv4 address of this network (private,
// link-local or loopback), never a name to look up and never a public host.
bool IsLanHost(std::string_view host);

struct WanService {
  std::string serviceType;  // urn:schemas-upnp-org:service:WANIPConnection:1 and the like
  HttpUrl control;
};

struct DescriptionReading {
  std::optional<WanService> service;
  std::string problem;  // why there is none
};

// The first WANIPConnection service, else the first WANPPPConnection, at any depth of nested
// devices. Its control address must stay on the host the description came from.
DescriptionReading FindWanService(std::string_view description, const HttpUrl& location);

}  // namespace tidemoor
