#include "server/player_roster.h"

#include <algorithm>

#include "server/player_admin.h"

namespace tidemoor {
namespace {

// "", "0", "00000000", "steam_00000000000000000": no id given out yet.
bool NoIdYet(std::string_view id) {
  const size_t prefixEnd = id.rfind('_');
  const std::string_view digits =
      prefixEnd == std::string_view::npos ? id : id.substr(prefixEnd + 1);
  return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

}  // namespace

std::string PlayerChangeText(const PlayerChange& change) {
  PlayerInfo player;
  player.name = change.name;
  player.userId = change.userId;
  return (change.joined ? "玩家加入: " : "玩家离开: ") + PlayerLabel(player);
}

bool StillLoading(const PlayerInfo& player) {
  return NoIdYet(player.userId);
}

std::vector<PlayerChange> PlayerRoster::Update(const std::vector<PlayerInfo>& players) {
  std::vector<Present> now;
  for (const PlayerInfo& player : players) {
    if (StillLoading(player)) continue;
    const bool listed = std::any_of(
        now.begin(), now.end(), [&](const Present& seen) { return seen.userId == player.userId; });
    if (!listed) now.push_back({player.userId, player.name});
  }
  auto in = [](const std::vector<Present>& list, const std::string& userId) {
    return std::any_of(list.begin(), list.end(),
                       [&](const Present& seen) { return seen.userId == userId; });
  };
  std::vector<PlayerChange> changes;
  for (const Present& before : present_) {
    if (!in(now, before.userId)) changes.push_back({false, before.name, before.userId});
  }
  for (const Present& after : now) {
    if (!in(present_, after.userId)) changes.push_back({true, after.name, after.userId});
  }
  present_ = std::move(now);
  return changes;
}

}  // namespace tidemoor
