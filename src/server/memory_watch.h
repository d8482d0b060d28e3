#pragma once
// The memory guard at work: once a minute it reads the server's working set, asks who is online
// when that matters, tells the players and the event log, and asks for the safe restart.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "server/memory_guard.h"
#include "server/server_world.h"

namespace tidemoor {

// How long the guard waits for the player list before it takes the players as unknown.
inline constexpr auto kMemoryPlayersLimit = std::chrono::seconds(5);

struct MemoryWatchWorld {
  ServerApi& api;
  std::function<void(std::string_view)> record;
  // The working set of the server's worker, nullopt when it cannot be read (not started yet).
  std::function<std::optional<uint64_t>()> memoryInUse;
  // The safe restart; false when it cannot begin now (a backup copy is reading the save).
  std::function<bool(std::string_view why)> restart;
};

class MemoryWatch {
 public:
  explicit MemoryWatch(MemoryWatchWorld world) : world_(std::move(world)) {}

  // Once a minute; limitText is Memory_Restart_GB as typed, so a change counts from the next
  // check on.
  void Tick(bool serverRunning, const RestEndpoint& endpoint, std::string_view limitText);

 private:
  void Decide(bool over, std::optional<int> playersOnline, const RestEndpoint& endpoint);

  MemoryWatchWorld world_;
  MemoryGuard guard_;
  uint64_t limit_ = 0;
  uint64_t lastInUse_ = 0;
  bool asking_ = false;
  bool postponedSaid_ = false;
  uint32_t run_ = 0;  // a reply that comes after the server stopped is dropped
};

}  // namespace tidemoor
