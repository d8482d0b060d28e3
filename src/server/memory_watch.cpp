#include "server/memory_watch.h"

namespace tidemoor {

void MemoryWatch::Tick(bool serverRunning, const RestEndpoint& endpoint,
                       std::string_view limitText) {
  const std::optional<uint64_t> limit = MemoryLimitBytes(limitText);
  if (!serverRunning || !limit) {
    if (!serverRunning) {
      ++run_;
      asking_ = false;
    }
    guard_.Reset();
    postponedSaid_ = false;
    return;
  }
  if (asking_) return;
  limit_ = *limit;
  const std::optional<uint64_t> inUse = world_.memoryInUse();
  const bool over = inUse && *inUse > limit_;
  if (inUse) lastInUse_ = *inUse;
  if (over && !guard_.NeedsPlayers(false)) {
    world_.record("服务端内存占用 " + MemoryText(*inUse) + ", 超过上限 " + MemoryText(limit_) +
                  " (连续第 " + std::to_string(guard_.ChecksOver() + 1) + " 次检查)");
  }
  if (!guard_.NeedsPlayers(over)) {
    Decide(over, std::nullopt, endpoint);
    return;
  }
  asking_ = true;
  world_.api.Ask(PlayersRequest(endpoint), kMemoryPlayersLimit,
                 [this, over, endpoint, run = run_](const RestReply& reply) {
                   if (run != run_) return;
                   asking_ = false;
                   std::optional<int> players;
                   if (reply.Answered()) {
                     const auto list = ReadPlayers(reply.body);
                     if (list.value) players = static_cast<int>(list.value->size());
                   }
                   Decide(over, players, endpoint);
                 });
}

void MemoryWatch::Decide(bool over, std::optional<int> playersOnline,
                         const RestEndpoint& endpoint) {
  const bool announced = guard_.NeedsPlayers(false);
  const MemoryStep step = guard_.Check(over, playersOnline);
  const std::string players =
      playersOnline ? "在线玩家 " + std::to_string(*playersOnline) + " 人" : "在线玩家未知";
  if (step.action == MemoryStep::Action::Notice) {
    if (!announced) {
      world_.record("服务端内存连续 " + std::to_string(kMemoryChecksOverLimit) + " 次超过上限 " +
                    MemoryText(limit_) + ", " + players + ", " + std::to_string(step.minutes) +
                    " 分钟后重启");
    }
    const std::string notice = MemoryRestartNotice(step.minutes);
    world_.record("向玩家公告: " + notice);
    world_.api.Send(AnnounceRequest(endpoint, notice), [](const RestReply&) {});
    return;
  }
  if (step.action != MemoryStep::Action::Restart) return;
  const std::string why = "内存占用过高, 重启服务端 (内存 " + MemoryText(lastInUse_) + ", 上限 " +
                          MemoryText(limit_) + ", " + players + ")";
  if (world_.restart(why)) return;
  // Due again at the next check: the copy is done in a moment, and the save it reads must not
  // change under it.
  if (!postponedSaid_) world_.record("内存重启推迟: 备份正在读取存档");
  postponedSaid_ = true;
}

}  // namespace tidemoor
