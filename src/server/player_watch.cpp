#include "server/player_watch.h"

namespace tidemoor {

void PlayerWatch::Tick(bool serverRunning, const RestEndpoint& endpoint) {
  if (!serverRunning) {
    ++run_;
    asking_ = false;
    roster_.Clear();
    return;
  }
  if (asking_) return;
  asking_ = true;
  api_.Send(PlayersRequest(endpoint), [this, run = run_](const RestReply& reply) {
    if (run != run_) return;
    asking_ = false;
    if (!reply.Answered()) return;
    const RestReading<std::vector<PlayerInfo>> players = ReadPlayers(reply.body);
    if (!players.value) return;
    for (const PlayerChange& change : roster_.Update(*players.value)) {
      record_(PlayerChangeText(change));
      if (listener_) listener_(change);
    }
  });
}

}  // namespace tidemoor
