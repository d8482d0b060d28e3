#include "server/game_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

TEST(GameData, UnreadableAnswersSayWhy) {
  const struct {
    std::string body;
    const char* error;
  } cases[] = {
      {"", "回应为空"},
      {"<html>404</html>", "回应不是 JSON 对象"},
      {"[1,2]", "回应不是 JSON 对象"},
      {"{\"ActorData\": \"x\"}", "ActorData 应为列表"},
      {"{\"ActorData\": []}\xFF", "回应不是有效的 UTF-8 文本"},
  };
  for (const auto& c : cases) {
    const RestReading<GameData> reading = ReadGameData(c.body);
    EXPECT_FALSE(reading.value) << c.body;
    EXPECT_EQ(reading.error, c.error) << c.body;
  }
}

// Names in any letter case; a field missing or of another type keeps its default.
TEST(GameData, ReadsPlayersAndBasesByNameInAnyCase) {
  const RestReading<GameData> reading = ReadGameData(R"({"actordata": [
      {"UnitType": "Player", "NickName": "小明", "UserId": "steam_1", "Level": 12.7,
       "guildname": "Tide", "LocationX": -1234.5, "LOCATIONY": 88, "IP": "10.0.0.9"},
      {"unittype": "player", "nickname": 5, "level": "high"},
      {"UnitType": "PalBox", "GuildName": "Tide"},
      {"UnitType": "palbox", "GuildName": "Moor"},
      {"UnitType": "PalBox"},
      {"UnitType": "Monster", "GuildName": "Wild"},
      7, null
  ]})");
  ASSERT_TRUE(reading.value) << reading.error;
  const std::vector<GamePlayer> players = {{"小明", "steam_1", 12, "Tide", -1234.5, 88},
                                           {"", "", 0, "", 0, 0}};
  EXPECT_EQ(reading.value->players, players);
  const std::vector<GuildSummary> guilds = {{"Tide", 1, 1}, {"Moor", 0, 1}};
  EXPECT_EQ(Guilds(*reading.value), guilds);
  EXPECT_TRUE(ReadGameData("{}").value) << "no actors: an empty world";
  EXPECT_EQ(GameDataRequest({8212, "pw"}).url, "http://127.0.0.1:8212/v1/api/game-data");
}

TEST(GameData, CellsOfAPlayerAndWhyThereAreNone) {
  GameData data;
  data.players = {{"小明", "steam_1", 3, "晨星\n", -1200.5, 350.49}, {"Ann", "", 1, "", 1, 1}};
  EXPECT_EQ(GameCellsOf(data, "steam_1").guild, "晨星\\n");
  EXPECT_EQ(GameCellsOf(data, "steam_1").place, "-1201, 350");
  EXPECT_EQ(GameCellsOf(data, "steam_2").place, "");
  EXPECT_EQ(GameCellsOf(data, "").place, "") << "a player still loading matches nobody";

  EXPECT_EQ(GameDataFailureLine({404, ""}),
            "游戏数据接口未开启 (404) - 勾选启用游戏数据接口后, 下次开服生效");
  EXPECT_TRUE(GameDataFailureLine({0, ""}).starts_with("游戏数据未能取得: "));
  EXPECT_EQ(GameDataFailureLine({200, "x"}, "回应不是 JSON 对象"),
            "游戏数据无法读取: 回应不是 JSON 对象");
}

}  // namespace
}  // namespace tidemoor
