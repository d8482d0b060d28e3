#pragma once
// A player as the server's player list gives one: the name and the userId are what the tables
// look at.

#include <string>

#include "server/rest_api.h"

namespace tidemoor {

inline PlayerInfo OnlinePlayer(const std::string& name, const std::string& userId) {
  PlayerInfo player;
  player.name = name;
  player.userId = userId;
  return player;
}

}  // namespace tidemoor
