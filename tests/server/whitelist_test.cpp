#include "server/whitelist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/online_player.h"

namespace tidemoor {
namespace {

// A file edited by hand comes back as it was, only the line ends made CR LF; the tool's own lines
// are read whole.
TEST(WhitelistFile, KeepsWhatItCannotReadAndReadsItsOwnLines) {
  const struct {
    const char* text;
    std::vector<WhitelistEntry> entries;
    const char* written;
  } cases[] = {
      {"steam_1\tAnn\t1700000000\n",
       {{"steam_1", "Ann", 1700000000}},
       "steam_1\tAnn\t1700000000\r\n"},
      {"\xEF\xBB\xBFgdk_2\r\nps5_3\tBo\r\n",
       {{"gdk_2", "", {}}, {"ps5_3", "Bo", {}}},
       "gdk_2\t\r\nps5_3\tBo\r\n"},
      {"# friends\r\n\r\n steam_4\r\nsteam_5\tCy\tyesterday\r\nsteam_6\ta\tb\tc\r\n",
       {},
       "# friends\r\n\r\n steam_4\r\nsteam_5\tCy\tyesterday\r\nsteam_6\ta\tb\tc\r\n"},
      {"", {}, ""},
  };
  for (const auto& c : cases) {
    const Whitelist whitelist = ReadWhitelist(c.text);
    EXPECT_EQ(whitelist.Entries(), c.entries) << c.text;
    EXPECT_EQ(WhitelistText(whitelist), c.written) << c.text;
  }
}

TEST(WhitelistFile, AddsTrimmedIdsOnceAndRemovesEveryLineOfOne) {
  Whitelist whitelist = ReadWhitelist("# kept\nsteam_1\tAnn\nsteam_1\tAnn again\n");
  const struct {
    const char* id;
    const char* name;
    bool added;
  } adds[] = {
      {"  gdk_2 \t", "Bo\tthe\r\nbuilder", true},
      {"gdk_2", "Bo", false},
      {"   ", "nobody", false},
      {"steam_1", "Ann", false},
      {"id\nwith break", "", false},
      {"two words", "", false},
      {"#note", "", false},
      {"STEAM_1", "", true},  // ids are opaque text: another case is another id
  };
  for (const auto& add : adds) {
    EXPECT_EQ(AddToWhitelist(whitelist, add.id, add.name, 7), add.added) << add.id;
  }
  RemoveFromWhitelist(whitelist, "steam_1");
  EXPECT_EQ(WhitelistText(whitelist), "# kept\r\ngdk_2\tBo the  builder\t7\r\nSTEAM_1\t\t7\r\n");
  RemoveFromWhitelist(whitelist, "gdk_2");
  EXPECT_FALSE(whitelist.Empty());
  RemoveFromWhitelist(whitelist, "STEAM_1");
  EXPECT_TRUE(whitelist.Empty()) << "a kept line is no player";
}

// Each poll: who is kicked, with the 30 s guard per player; a failed poll (nullopt) changes
// nothing. A player with no id yet, or an id of zeros, is still loading and waits.
TEST(WhitelistKicks, KicksTheUnlistedOnceEveryThirtySeconds) {
  const Whitelist whitelist = ReadWhitelist("steam_1\tAnn\n");
  const PlayerInfo ann = OnlinePlayer("Ann", "steam_1"), bo = OnlinePlayer("Bo", "steam_2"),
                   cy = OnlinePlayer("Cy", "xbox_9");
  const std::vector<PlayerInfo> loading = {ann, OnlinePlayer("Cy", ""), OnlinePlayer("D", "gdk_0"),
                                           OnlinePlayer("E", "steam_00000000000000000")};
  const struct {
    const char* what;
    std::optional<std::vector<PlayerInfo>> online;
    int64_t now;
    std::vector<std::string> kicked;
  } polls[] = {
      {"listed stay, loading ones wait", loading, 0, {}},
      {"kicked once though listed twice", std::vector{ann, bo, bo}, 5, {"steam_2"}},
      {"not again within 30 s", std::vector{bo}, 10, {}},
      {"the loading one has an id now", std::vector{bo, cy}, 20, {"xbox_9"}},
      {"a failed poll kicks nobody", std::nullopt, 34, {}},
      {"30 s after the first kick, again", std::vector{bo, cy}, 35, {"steam_2"}},
      {"the second still guarded", std::vector{cy}, 49, {}},
      {"the second's gap over", std::vector{cy}, 50, {"xbox_9"}},
  };
  WhitelistKicks kicks;
  for (const auto& poll : polls) {
    std::vector<std::string> ids;
    for (const PlayerInfo& player : kicks.Decide(poll.online, whitelist, poll.now)) {
      ids.push_back(player.userId);
    }
    EXPECT_EQ(ids, poll.kicked) << poll.what;
  }
}

}  // namespace
}  // namespace tidemoor
