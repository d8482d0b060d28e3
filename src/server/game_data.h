#pragma once
// What the server's game-data answer tells about the world: the players in it with their guild
// and place, and the guilds with their bases (PalBox actors). Only a server started with
// -enable-gamedata-api answers. Fields are read by name in any letter case; a field missing or of
// another type keeps its default, so one odd actor among hundreds hides nothing else. The answer
// also holds the players' IP addresses: they are never read here.

#include <string>
#include <string_view>
#include <vector>

#include "server/rest_api.h"

namespace tidemoor {

struct GamePlayer {
  std::string name;  // NickName
  std::string userId;
  int level = 0;
  std::string guildName;
  double x = 0;  // LocationX
  double y = 0;  // LocationY

  bool operator==(const GamePlayer&) const = default;
};

struct GameData {
  std::vector<GamePlayer> players;
  std::vector<std::string> baseGuilds;  // the guild of each PalBox, one entry per base
};

// Unreadable: not UTF-8, not a JSON object, or ActorData that is not a list.
RestReading<GameData> ReadGameData(std::string_view body);

struct GuildSummary {
  std::string name;
  int playersOnline = 0;
  int bases = 0;

  bool operator==(const GuildSummary&) const = default;
};

// The guilds of the players online, then those with only bases, each in the order first met; a
// player or base without a guild belongs to none.
std::vector<GuildSummary> Guilds(const GameData& data);

// 公会 and 坐标 of the player in the answer ("晨星", "-1201, 350": rounded to whole units); both
// empty when the answer does not hold the player.
struct GameCells {
  std::string guild;
  std::string place;
};
GameCells GameCellsOf(const GameData& data, std::string_view userId);

// Why the players window shows no guilds or places, in one line: a server started without
// -enable-gamedata-api answers 404; readError is what made an answer unreadable.
std::string GameDataFailureLine(const RestReply& reply, std::string_view readError = {});

}  // namespace tidemoor
