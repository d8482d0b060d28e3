#pragma once
// Who holds the server's ports on this PC. Another program on the game or query port keeps
// friends out even when everything else is right; it is named with its process id so the host
// can find and end it.

#include <span>
#include <string>

#include "net/check_verdict.h"

namespace tidemoor {

struct WatchedPort {
  std::string name;      // 游戏端口, 查询端口, REST API 端口
  std::string protocol;  // UDP or TCP
  unsigned short port = 0;
};

struct PortHolder {
  std::string protocol;
  unsigned short port = 0;
  unsigned processId = 0;
  std::string processName;  // empty when the process could not be looked at
};

// serverProcesses: the running server's process tree (empty while it is stopped). The first
// watched port is the game port, which the running server must hold itself.
CheckLine PortsLine(std::span<const WatchedPort> watched, std::span<const PortHolder> holders,
                    std::span<const unsigned> serverProcesses);

}  // namespace tidemoor
