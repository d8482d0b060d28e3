#include "server/whitelist_watch.h"

#include "server/player_admin.h"

namespace tidemoor {

void WhitelistWatch::Tick(bool whitelistOn, bool serverRunning, const RestEndpoint& endpoint) {
  if (!whitelistOn || !serverRunning) {
    ++run_;
    asking_ = false;
    return;
  }
  if (asking_) return;
  asking_ = true;
  world_.api.Send(PlayersRequest(endpoint), [this, endpoint, run = run_](const RestReply& reply) {
    if (run != run_) return;
    asking_ = false;
    std::optional<std::vector<PlayerInfo>> online;
    if (reply.Answered()) online = ReadPlayers(reply.body).value;
    // A whitelist that cannot be read, or holds nobody (emptied by hand), keeps nobody out: it
    // would otherwise turn away every friend at once.
    const std::optional<Whitelist> whitelist = world_.whitelist();
    if (!whitelist || whitelist->Empty()) return;
    for (const PlayerInfo& player : kicks_.Decide(online, *whitelist, world_.now())) {
      Kick(endpoint, player);
    }
  });
}

void WhitelistWatch::Kick(const RestEndpoint& endpoint, const PlayerInfo& player) {
  world_.api.Send(KickRequest(endpoint, player.userId, kWhitelistKickMessage),
                  [this, player](const RestReply& reply) {
                    if (reply.Answered()) {
                      world_.record(WhitelistKickText(player));
                    } else {
                      world_.record("白名单: 踢出 " + PlayerLabel(player) + " 失败 - " +
                                    RestFailureText(reply));
                    }
                  });
}

}  // namespace tidemoor
