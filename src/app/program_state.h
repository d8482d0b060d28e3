#pragma once
// The program-wide values: set at start-up or by the server's start, read by every subsystem.

#include <cstdint>
#include <string>

#include "common/server_paths.h"

namespace tidemoor {

struct ProgramState {
  ServerPaths Paths;          // empty until the main window's creation fills it
  std::string WindowTitle;    // as loaded from the tool settings file
  uint32_t ServerPid = 0;     // the last launched server, 0 before the first start
  uint32_t MonitorTicks = 0;  // status-monitor ticks since the last start
  // Set as the main window starts to go away. A handler that let messages through (a wait, a
  // message box) may find it set when it resumes: it must then end at once, since its window and
  // controls are gone and the settings have been saved for the last time.
  bool Closing = false;
};

ProgramState& Program();

}  // namespace tidemoor
