#pragma once

#include <string>
#include <vector>

#include "net/network_profile.h"

namespace tidemoor {

struct NetworkReading {
  std::vector<ConnectedNetwork> networks;
  std::string problem;  // "不支持" where the system has no network list
};

// The connected networks and their categories, on the calling thread (entered into COM for it).
NetworkReading ReadConnectedNetworks();

}  // namespace tidemoor
