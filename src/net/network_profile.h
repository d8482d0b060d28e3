#pragma once
// Whether the networks this PC is on are Public (Windows blocks inbound connections there by
// default) or Private.

#include <string>
#include <vector>

#include "net/check_verdict.h"

namespace tidemoor {

enum class NetworkCategory { Public, Private, Domain };

struct ConnectedNetwork {
  std::string name;
  NetworkCategory category = NetworkCategory::Public;
};

CheckLine NetworkProfileLine(const std::vector<ConnectedNetwork>& networks);

}  // namespace tidemoor
