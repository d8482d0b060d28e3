#pragma once
// While 只允许白名单中的玩家 is ticked and the server runs: asks who is online every 5 s (whether
// the players window is open or not) and kicks each player the whitelist does not hold.

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "server/server_world.h"
#include "server/whitelist.h"

namespace tidemoor {

inline constexpr int kWhitelistPollMilliseconds = 5000;

struct WhitelistWatchWorld {
  ServerApi& api;
  std::function<void(std::string_view)> record;  // the event log
  // The whitelist as its file holds it now; nullopt when the file cannot be read.
  std::function<std::optional<Whitelist>()> whitelist;
  std::function<int64_t()> now;  // seconds on a clock that only goes forward
};

class WhitelistWatch {
 public:
  explicit WhitelistWatch(WhitelistWatchWorld world) : world_(std::move(world)) {}

  // Every kWhitelistPollMilliseconds. One request at a time; nothing while the whitelist is off
  // or the server is not running.
  void Tick(bool whitelistOn, bool serverRunning, const RestEndpoint& endpoint);

 private:
  void Kick(const RestEndpoint& endpoint, const PlayerInfo& player);

  WhitelistWatchWorld world_;
  WhitelistKicks kicks_;
  bool asking_ = false;
  uint32_t run_ = 0;  // a reply after the whitelist went off or the server stopped is dropped
};

}  // namespace tidemoor
