#pragma once
// The program-wide values: set at start-up or by the server's start, read by every subsystem.

#include <cstdint>
#include <string>

#include "install/server_paths.h"

namespace tidemoor {

struct ProgramState {
  ServerPaths Paths;          // empty until the main window's creation fills it
  std::string WindowTitle;    // as loaded from the tool settings file
  uint32_t ServerPid = 0;     // the last launched server, 0 before the first start
  uint32_t MonitorTicks = 0;  // status-monitor ticks since the last start
};

ProgramState& Program();

}  // namespace tidemoor
