#include "server/player_roster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/online_player.h"

namespace tidemoor {
namespace {

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
       {{OnlinePlayer("Ann", "steam_2"), OnlinePlayer("Ann", "steam_2")},
        {OnlinePlayer("Ann", "steam_2")},
        {}},
       {{"+steam_2 Ann"}, {}, {"-steam_2 Ann"}}},
      {"twice under two names",
       {{OnlinePlayer("Ann", "steam_2"), OnlinePlayer("Annie", "steam_2")}, {}},
       {{"+steam_2 Ann"}, {"-steam_2 Ann"}}},
      {"twice while already present",
       {{OnlinePlayer("Ann", "steam_2")},
        {OnlinePlayer("Ann", "steam_2"), OnlinePlayer("Ann", "steam_2")},
        {}},
       {{"+steam_2 Ann"}, {}, {"-steam_2 Ann"}}},
      {"leaves before joins, each in list order",
       {{OnlinePlayer("Ann", "steam_2"), OnlinePlayer("Bo", "steam_3")},
        {OnlinePlayer("Cy", "steam_4"), OnlinePlayer("Di", "steam_5")}},
       {{"+steam_2 Ann", "+steam_3 Bo"},
        {"-steam_2 Ann", "-steam_3 Bo", "+steam_4 Cy", "+steam_5 Di"}}},
      {"ids of zeros under any prefix are still loading, other ids are not",
       {{OnlinePlayer("Ed", "gdk_0000"), OnlinePlayer("Fay", "ps5_"),
         OnlinePlayer("Gus", "steam_0001")}},
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
