#pragma once
// Asks the running server who is online, as the live status line does, and tells the event log
// (and whoever listens, such as an alert sender) each player who joined or left.

#include <cstdint>
#include <functional>
#include <string_view>

#include "server/player_roster.h"
#include "server/server_world.h"

namespace tidemoor {

class PlayerWatch {
 public:
  PlayerWatch(ServerApi& api, std::function<void(std::string_view)> record)
      : api_(api), record_(std::move(record)) {}

  // Called with each change after it went to the event log.
  void SetListener(std::function<void(const PlayerChange&)> listener) {
    listener_ = std::move(listener);
  }

  // Beside the live status line's request, every 10 s. A reply that fails or cannot be read
  // changes nothing; a server that stopped takes its players with it without a word (they did
  // not leave, the server went, and the event log says so already). One request at a time.
  void Tick(bool serverRunning, const RestEndpoint& endpoint);

 private:
  ServerApi& api_;
  std::function<void(std::string_view)> record_;
  std::function<void(const PlayerChange&)> listener_;
  PlayerRoster roster_;
  bool asking_ = false;
  uint32_t run_ = 0;  // a reply that comes after the server stopped is dropped
};

}  // namespace tidemoor
