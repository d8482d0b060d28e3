#pragma once
// Which programs hold which UDP and TCP ports on this PC, from the system's owner tables.

#include <vector>

#include "net/port_holders.h"

namespace tidemoor {

struct PortSnapshot {
  std::vector<PortHolder> holders;        // UDP ports bound and TCP ports listened on
  std::vector<unsigned> serverProcesses;  // the server's process and every process below it
};

// serverProcess: the server's process id, 0 while it is stopped.
PortSnapshot TakePortSnapshot(unsigned serverProcess);

}  // namespace tidemoor
