#pragma once
// What the router's answers mean for the host: whether the game's UDP ports reach this PC, and
// which of the two fixes (map, remove) may be offered. A mapping that points to another PC is
// never replaced: it belongs to someone else's game or device.

#include <string>
#include <vector>

#include "net/check_verdict.h"
#include "net/upnp_soap.h"

namespace tidemoor {

enum class MappingHolder { Nobody, ThisPc, OtherPc, Unknown };

struct PortOnRouter {
  std::string protocol;  // UDP
  unsigned short port = 0;
  MappingHolder holder = MappingHolder::Unknown;
  std::string heldBy;  // where else the port leads, or why that is unknown
};

// The router's answer to GetSpecificPortMappingEntry for port, against this PC's LAN address.
PortOnRouter ReadMappingEntry(const SoapAnswer& answer, std::string protocol, unsigned short port,
                              const std::string& thisPc);

struct RouterFindings {
  bool found = false;
  std::string problem;  // why no usable router was found
  std::string externalAddress;
  std::vector<PortOnRouter> ports;  // game port first
};

CheckLine RouterLine(const RouterFindings& findings);

// Mapping is offered while some port is free and none is held by another PC; removing while some
// port points to this PC.
bool MayMap(const RouterFindings& findings);
bool MayRemove(const RouterFindings& findings);

// What "映射端口" asks the router for: every port not yet pointing here.
std::vector<PortMapping> MappingsToAdd(const RouterFindings& findings, const std::string& thisPc);

}  // namespace tidemoor
