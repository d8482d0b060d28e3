#include "server/player_roster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

PlayerInfo Player(const std::string& name, const std::string& userId) {
  PlayerInfo player;
  player.name = name;
  player.userId = userId;
  return player;
}

// "+id name" for a join, "-id name" for a leave, in the order they came.
std::vector<std::string> Changes(PlayerRoster& roster, const std::vector<PlayerInfo>& players) {
  std::vector<std::string> changes;
  for (const PlayerChange& change : roster.Update(players)) {
    changes.push_back((change.joined ? "+" : "-") + change.userId + " " + change.name);
  }
  return changes;
}

// The server may list a player twice in one answer (a quick rejoin, a list taken mid-update): one
// player, one join and one leave, under the name first listed.
TEST(PlayerRoster, APlayerListedTwiceInOneAnswerComesAndGoesOnce) {
  const struct {
    const char* what;
    std::vector<std::vector<PlayerInfo>> polls;
    std::vector<std::vector<std::string>> changes;
  } cases[] = {
      {"twice in the first answer",
       {{Player("Ann", "steam_2"), Player("Ann", "steam_2")}, {Player("Ann", "steam_2")}, {}},
       {{"+steam_2 Ann"}, {}, {"-steam_2 Ann"}}},
      {"twice under two names",
       {{Player("Ann", "steam_2"), Player("Annie", "steam_2")}, {}},
       {{"+steam_2 Ann"}, {"-steam_2 Ann"}}},
      {"twice while already present",
       {{Player("Ann", "steam_2")}, {Player("Ann", "steam_2"), Player("Ann", "steam_2")}, {}},
       {{"+steam_2 Ann"}, {}, {"-steam_2 Ann"}}},
      {"leaves before joins, each in list order",
       {{Player("Ann", "steam_2"), Player("Bo", "steam_3")},
        {Player("Cy", "steam_4"), Player("Di", "steam_5")}},
       {{"+steam_2 Ann", "+steam_3 Bo"},
        {"-steam_2 Ann", "-steam_3 Bo", "+steam_4 Cy", "+steam_5 Di"}}},
      {"ids of zeros under any prefix are still loading, other ids are not",
       {{Player("Ed", "gdk_0000"), Player("Fay", "ps5_"), Player("Gus", "steam_0001")}},
       {{"+steam_0001 Gus"}}},
  };
  for (const auto& c : cases) {
    PlayerRoster roster;
    for (size_t i = 0; i < c.polls.size(); ++i) {
      EXPECT_EQ(Changes(roster, c.polls[i]), c.changes[i]) << c.what << ", poll " << i;
    }
  }
}

}  // namespace
}  // namespace tidemoor
