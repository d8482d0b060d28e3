#pragma once
// Who plays, kept while the server runs: the whitelist's watch, which turns away whoever the host
// did not list, and PaLWorld_Data\Players.tsv, every player the tool has seen, written at each
// join and leave and every 10 minutes for those online. Nothing goes into the server's own files.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "common/server_paths.h"
#include "platform/event_log.h"
#include "platform/ticker_win.h"
#include "platform/worker_win.h"
#include "server/player_roster.h"
#include "server/running_server.h"
#include "server/whitelist_watch.h"

namespace tidemoor {

struct PeopleWiring {
  ServerApi& api;
  EventLog& log;
  const ServerPaths& paths;
  std::function<bool()> whitelistOn;  // 只允许白名单中的玩家, as ticked now
};

class PeopleOnServer {
 public:
  explicit PeopleOnServer(PeopleWiring wiring);

  // Once the main window is on screen.
  void Begin();
  // The running server's value while it runs, nullopt once it stops: everyone online has gone.
  void Follow(const std::optional<RunningServer>& running);
  // A player came or went, as the player watch saw it.
  void OnPlayerChange(const PlayerChange& change);
  void Cancel();

  struct Records;  // the players file as this run keeps it (defined with the class)

 private:
  // Runs the change on the players file in the lane, then writes the file in one step.
  void Update(std::function<void(Records&)> change);

  PeopleWiring wiring_;
  std::optional<RestEndpoint> endpoint_;  // while the server runs
  WhitelistWatch whitelist_;
  // Touched only by the lane's jobs, one after another.
  std::shared_ptr<Records> records_;
  Worker lane_;
  Ticker whitelistCheck_;
  Ticker onlineCount_;
};

}  // namespace tidemoor
