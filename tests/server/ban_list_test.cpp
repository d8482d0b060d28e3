#include "server/ban_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

TEST(BanList, SplitsLinesAndIdsRunTogether) {
  const struct {
    const char* text;
    std::vector<std::string> ids;
  } cases[] = {
      {"", {}},
      {"steam_76561198000000001\r\ngdk_2\r\n", {"steam_76561198000000001", "gdk_2"}},
      {"\xEF\xBB\xBFsteam_1steam_2gdk_3ps5_4xbox_5mac_6",
       {"steam_1", "steam_2", "gdk_3", "ps5_4", "xbox_5", "mac_6"}},
      {"  steam_1 \n\n\t\nsteam_1\nsteam_2 steam_3", {"steam_1", "steam_2", "steam_3"}},
      {"steam_1,steam_2;", {"steam_1", "steam_2"}},
      {"legacy_7\nlegacy_8steam_9", {"legacy_7", "legacy_8", "steam_9"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadBanList(c.text), c.ids) << c.text;
}

TEST(BanList, RowsNameEachIdAndTheTimeOfTheToolsLastBanThatSucceeded) {
  const std::string players =
      "userId\tname\tfirstSeen\tlastSeen\tsessions\tminutesOnline\tformerNames\r\n"
      "steam_1\t小明\t1\t2\t1\t0\r\n";
  const std::string log =
      "2026-12-01 10:00:00  封禁玩家 小明 (steam_1), 原因: 外挂\r\n"
      "2026-12-02 11:00:00  封禁玩家 Eve (gdk_2) - 失败: REST API 未响应\r\n"
      "2026-12-03 12:00:00  解封玩家 (steam_1)\r\n"
      "2026-12-04 13:00:00  封禁玩家 小明 (steam_1)\r\n"
      "2026-12-05 14:00:00  踢出玩家 Bob (steam_3)\r\n"
      "cut short\r\n";
  EXPECT_EQ(
      BannedPlayers("steam_1\ngdk_2\nsteam_3", players, log),
      (std::vector<BannedPlayer>{
          {"steam_1", "小明", "2026-12-04 13:00:00"}, {"gdk_2", "", ""}, {"steam_3", "", ""}}));
  EXPECT_TRUE(BannedPlayers("", players, log).empty());
  EXPECT_EQ(
      BanListFile(MakeServerPaths("D:\\Host")),
      "D:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved\\SaveGames\\banlist.txt");
}

}  // namespace
}  // namespace tidemoor
