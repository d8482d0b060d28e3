#pragma once
// One conversation with the router, from the search to the mapping fixes, over whatever network
// it is given: the sockets in the tool, scripted answers in a test.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/gateway_description.h"
#include "net/router_check.h"

namespace tidemoor {

struct RouterNetwork {
  // The SSDP answers to one search.
  std::function<std::vector<std::string>()> search;
  // One HTTP exchange: the raw answer, this PC's address on the way, or a problem.
  struct Exchange {
    std::string raw;
    std::string localAddress;
    std::string problem;
  };
  std::function<Exchange(const HttpUrl& url, const std::string& request)> exchange;
};

struct RouterSession {
  std::optional<WanService> service;
  std::string thisPc;   // this PC's address as the router sees it
  std::string problem;  // why there is no service
};

// Searches, reads the first answering router's description and finds its WAN service. A router
// outside the LAN is never spoken to.
RouterSession FindRouter(const RouterNetwork& network);

// The router's external address and who the ports (UDP) lead to.
RouterFindings CheckRouter(const RouterNetwork& network, const RouterSession& session,
                           const std::vector<unsigned short>& udpPorts);

// Maps the free ports to this PC. Returns one line for the event log per port.
std::vector<std::string> MapPorts(const RouterNetwork& network, const RouterSession& session,
                                  const RouterFindings& findings);
// Removes the mappings that lead to this PC (never another PC's).
std::vector<std::string> RemoveMappings(const RouterNetwork& network, const RouterSession& session,
                                        const RouterFindings& findings);

}  // namespace tidemoor
