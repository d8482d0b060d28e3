#pragma once
// Who came and went: the REST player list of one poll against the one before. A player is known
// by their userId, so a rename is no coming and going; one still loading into the world (no
// userId yet, or one of zeros) is nobody until the server has given them one. A poll that failed
// is never handed here, so a server that is busy for a moment makes nobody leave.

#include <string>
#include <string_view>
#include <vector>

#include "server/rest_api.h"

namespace tidemoor {

struct PlayerChange {
  bool joined = false;  // false: left
  std::string name;     // as last seen
  std::string userId;
};

// "玩家加入: 小明 (steam_76561198000000001)", "玩家离开: …", escaped as every stranger's name is.
std::string PlayerChangeText(const PlayerChange& change);

// Whether the server is still loading the player in (their ids are not given out yet).
bool StillLoading(const PlayerInfo& player);

class PlayerRoster {
 public:
  // The changes since the last list, leaves first, each group in the order of the lists.
  std::vector<PlayerChange> Update(const std::vector<PlayerInfo>& players);
  // The server has stopped: the next run starts with nobody.
  void Clear() { present_.clear(); }

 private:
  struct Present {
    std::string userId;
    std::string name;
  };
  std::vector<Present> present_;
};

}  // namespace tidemoor
