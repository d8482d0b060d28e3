#pragma once
// A crash after a mod change, undone in one click: the mods of the last start that ran ten minutes
// without crashing are remembered (PaLWorld_Data\ModsLastGood.txt); when the server crashes soon
// after the first start with other mods, the host is asked whether to go back to them. Nobody may
// be at the PC: the question waits for whoever comes, and the server's own restart does not wait
// for it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/server_paths.h"
#include "platform/delay_win.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/server_controller.h"

namespace tidemoor {

// The question, with the mods switched on since and the reason the server gave for its crash.
std::string ModCrashQuestion(const std::vector<std::string>& switchedOn,
                             std::string_view crashReason);

struct ModCrashGuardWiring {
  const ServerPaths& paths;
  ServerController& server;
  ServerClock& clock;
  Prompt& prompt;
  EventLog& log;
};

class ModCrashGuard {
 public:
  explicit ModCrashGuard(ModCrashGuardWiring wiring) : wiring_(wiring) {}

  // The tool launched the server (a restart too).
  void OnLaunched();
  // The server ended by itself; text: the controller's line, with the crash's reason when known.
  void OnCrashed(std::string_view text);
  // A stop the tool made: the run proved nothing.
  void OnStopped() { proving_.Cancel(); }
  void Cancel();

 private:
  void Prove();
  void GoBack();

  ModCrashGuardWiring wiring_;
  // The mods of the run under way, and those of the start before it.
  std::optional<std::vector<std::string>> current_;
  std::optional<std::vector<std::string>> previous_;
  int64_t changedAt_ = 0;  // the first start with the current mods, monotonic milliseconds
  bool asking_ = false;    // a question waits for the host: a second crash asks nothing more
  Delay proving_;
};

}  // namespace tidemoor
