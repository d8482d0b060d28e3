#pragma once
// What the tool knows about the server at the moment a command from a chat app comes in.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidemoor {

enum class ServerRunState { Stopped, Starting, Running, Stopping };
// What the tool is doing to the server now, if anything.
enum class ServerWork { None, Restarting, Stopping, Starting, BackingUp };

struct ServerSnapshot {
  ServerRunState state = ServerRunState::Stopped;
  ServerWork work = ServerWork::None;
  std::string version;                   // "" when unknown
  std::vector<std::string> playerNames;  // online now, as the server gives them (strangers' text)
  int maxPlayers = 0;                    // 0 when unknown
  std::optional<std::chrono::seconds> uptime;
  std::optional<double> fps;
  std::optional<uint64_t> memoryBytes;  // the server's working set
  std::string lastBackup;               // e.g. "2026-12-10 14:05", "" for none
  std::string lastCrash;                // the last crash's reason, "" for none
  bool restApi = false;                 // announcements and safe restarts need the REST API
};

}  // namespace tidemoor
