#pragma once
// The sockets under the router conversation: one SSDP search and one HTTP exchange at a time,
// each over within its time limit and size cap whatever the other side does.

#include <chrono>
#include <string>
#include <vector>

#include "net/gateway_description.h"
#include "net/router_session.h"

namespace tidemoor {

inline constexpr size_t kGatewayAnswerMaxBytes = 256 * 1024;

// Where the search goes: the SSDP multicast group, or (for a router that is a test program) a
// unicast address.
struct SearchTarget {
  std::string host = kSsdpAddress;
  unsigned short port = kSsdpPort;
};

// The answers that arrived within the wait (the first one that names a description ends it).
std::vector<std::string> SearchForGateways(const SearchTarget& target,
                                           std::chrono::milliseconds wait);

struct GatewayExchange {
  std::string raw;           // the answer's bytes; empty with a problem
  std::string localAddress;  // this PC's address on the way to the router
  std::string problem;
};

// Sends the request and reads until the router closes the connection, within limit overall.
GatewayExchange ExchangeWithGateway(const HttpUrl& url, const std::string& request,
                                    std::chrono::milliseconds limit);

// The router conversation over these sockets: searches wait 2 s, exchanges 4 s at most.
RouterNetwork SocketNetwork(const SearchTarget& target);

}  // namespace tidemoor
