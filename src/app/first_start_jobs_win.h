#pragma once
// The first-start guide's long steps, each run on a worker and returning what it came to: what
// the server will take and what the disk has, the elevated firewall helper, the router mapping,
// and what players need to connect.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/first_start_plan.h"
#include "app/guide_conclusion.h"
#include "common/server_paths.h"
#include "net/firewall_fix.h"
#include "net/gateway_socket_win.h"

namespace tidemoor {

struct DiskRoom {
  std::optional<uint64_t> serverBytes;  // from SteamCMD's app info, when it told
  std::optional<uint64_t> freeBytes;    // on the server folder's drive
};

// The server's size from the app info SteamCMD last printed (kept in PaLWorld_Data).
std::optional<uint64_t> KeptServerSize(const ServerPaths& paths);
// Asks SteamCMD for the app info first (it is put in place when missing), then reads both.
DiskRoom MeasureDiskRoom(const ServerPaths& paths);

// Starts the helper elevated (the system asks the user: one prompt) and waits for its end. A
// refused prompt is the user's choice: the step is skipped, not failed.
StepResult AddFirewallRules(HWND owner, const FirewallFixJob& job);

struct MappingResult {
  StepResult result;
  std::vector<std::string> lines;  // for the event log
};
// Maps the game and query ports (UDP) to this PC on the router, except where another PC holds one.
MappingResult MapPortsNow(const SearchTarget& search, unsigned short game, unsigned short query);

// The router's outside address, the public address and this PC's LAN address.
ConnectionFacts ReadConnection(const SearchTarget& search, unsigned short game,
                               const std::string& gamePortText, const std::string& primaryEchoUrl,
                               const std::string& fallbackEchoUrl);

}  // namespace tidemoor
