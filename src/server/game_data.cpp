#include "server/game_data.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "platform/text.h"

namespace tidemoor {
namespace {

using Json = nlohmann::json;

const Json* Field(const Json& object, std::string_view key) {
  for (auto item = object.begin(); item != object.end(); ++item) {
    if (EqualsIgnoringCase(item.key(), key)) return &item.value();
  }
  return nullptr;
}

std::string Text(const Json& object, std::string_view key) {
  const Json* value = Field(object, key);
  return value && value->is_string() ? value->get<std::string>() : std::string();
}

double Number(const Json& object, std::string_view key) {
  const Json* value = Field(object, key);
  if (!value || !value->is_number()) return 0;
  const double number = value->get<double>();
  return std::isfinite(number) ? number : 0;
}

int Whole(const Json& object, std::string_view key) {
  return static_cast<int>(std::clamp(Number(object, key), -1e9, 1e9));
}

GuildSummary& GuildNamed(std::vector<GuildSummary>& guilds, const std::string& name) {
  const auto found = std::find_if(guilds.begin(), guilds.end(),
                                  [&](const GuildSummary& guild) { return guild.name == name; });
  if (found != guilds.end()) return *found;
  guilds.push_back({name, 0, 0});
  return guilds.back();
}

}  // namespace

RestReading<GameData> ReadGameData(std::string_view body) {
  RestReading<GameData> reading;
  if (!IsUtf8(body)) {
    reading.error = "回应不是有效的 UTF-8 文本";
    return reading;
  }
  const Json parsed = Json::parse(body, nullptr, false);
  if (parsed.is_discarded() || !parsed.is_object()) {
    reading.error = body.empty() ? "回应为空" : "回应不是 JSON 对象";
    return reading;
  }
  const Json* actors = Field(parsed, "ActorData");
  if (actors && !actors->is_array()) {
    reading.error = "ActorData 应为列表";
    return reading;
  }
  GameData data;
  for (const Json& actor : actors ? *actors : Json::array()) {
    if (!actor.is_object()) continue;
    const std::string type = Text(actor, "UnitType");
    if (EqualsIgnoringCase(type, "Player")) {
      data.players.push_back({Text(actor, "NickName"), Text(actor, "userid"), Whole(actor, "level"),
                              Text(actor, "GuildName"), Number(actor, "LocationX"),
                              Number(actor, "LocationY")});
    } else if (EqualsIgnoringCase(type, "PalBox")) {
      data.baseGuilds.push_back(Text(actor, "GuildName"));
    }
  }
  reading.value = std::move(data);
  return reading;
}

std::vector<GuildSummary> Guilds(const GameData& data) {
  std::vector<GuildSummary> guilds;
  for (const GamePlayer& player : data.players) {
    if (!player.guildName.empty()) GuildNamed(guilds, player.guildName).playersOnline += 1;
  }
  for (const std::string& guild : data.baseGuilds) {
    if (!guild.empty()) GuildNamed(guilds, guild).bases += 1;
  }
  return guilds;
}

GameCells GameCellsOf(const GameData& data, std::string_view userId) {
  for (const GamePlayer& player : data.players) {
    if (player.userId.empty() || player.userId != userId) continue;
    return {EscapeControlCharacters(player.guildName),
            std::to_string(std::llround(player.x)) + ", " + std::to_string(std::llround(player.y))};
  }
  return {};
}

std::string GameDataFailureLine(const RestReply& reply, std::string_view readError) {
  if (reply.status == 404) {
    return "游戏数据接口未开启 (404) - 勾选启用游戏数据接口后, 下次开服生效";
  }
  if (!reply.Answered()) return "游戏数据未能取得: " + RestFailureText(reply);
  return "游戏数据无法读取: " + EscapeControlCharacters(readError);
}

}  // namespace tidemoor
