#include "server/rest_api.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "common/port_number.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

using Json = nlohmann::json;

RestRequest Request(const RestEndpoint& endpoint, std::string_view method, std::string_view path,
                    const Json* body = nullptr) {
  RestRequest request;
  request.method = std::string(method);
  request.url =
      "http://127.0.0.1:" + std::to_string(endpoint.port) + "/v1/api/" + std::string(path);
  request.headers = "Authorization: Basic " + Base64("admin:" + endpoint.adminPassword) + "\r\n";
  if (body) {
    request.headers += "Content-Type: application/json\r\n";
    // A message with bytes that are not UTF-8 still goes out (as U+FFFD) instead of failing.
    request.body = body->dump(-1, ' ', false, Json::error_handler_t::replace);
  } else if (method == "POST") {
    // The server answers 411 to a POST that does not state its length, even an empty one.
    request.headers += "Content-Length: 0\r\n";
  }
  return request;
}

RestRequest Post(const RestEndpoint& endpoint, std::string_view path, const Json& body) {
  return Request(endpoint, "POST", path, &body);
}

// A field of an unexpected type throws WrongType, caught by the Read functions below and nowhere
// else; it names the field and what it should have been.
struct WrongType {
  std::string field;
  const char* expected;
};

std::string WrongTypeText(const WrongType& wrong) {
  return wrong.field + " 应为" + wrong.expected;
}

// The body as a JSON object, or the reason it is none.
template <typename Value>
std::optional<Json> ParseObject(std::string_view body, RestReading<Value>& reading) {
  if (!IsUtf8(body)) {
    reading.error = "回应不是有效的 UTF-8 文本";
    return std::nullopt;
  }
  Json parsed = Json::parse(body, nullptr, false);
  if (parsed.is_discarded()) {
    reading.error = body.empty() ? "回应为空" : "回应不是 JSON";
    return std::nullopt;
  }
  if (!parsed.is_object()) {
    reading.error = "回应不是 JSON 对象";
    return std::nullopt;
  }
  return parsed;
}

const Json* Field(const Json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end() || it->is_null()) return nullptr;
  return &*it;
}

void Read(const Json& object, const char* key, std::string& out) {
  const Json* value = Field(object, key);
  if (!value) return;
  if (!value->is_string()) throw WrongType{key, "文本"};
  out = value->get<std::string>();
}

void Read(const Json& object, const char* key, double& out) {
  const Json* value = Field(object, key);
  if (!value) return;
  if (!value->is_number()) throw WrongType{key, "数字"};
  out = value->get<double>();
}

// Whole numbers past the range saturate; a fraction is cut.
template <typename Integer>
void Read(const Json& object, const char* key, Integer& out) {
  double number = 0;
  if (!Field(object, key)) return;
  Read(object, key, number);
  if (std::isnan(number)) return;
  constexpr auto kLow = static_cast<double>(std::numeric_limits<Integer>::min());
  constexpr auto kHigh = static_cast<double>(std::numeric_limits<Integer>::max());
  if (number <= kLow) {
    out = std::numeric_limits<Integer>::min();
  } else if (number >= kHigh) {
    out = std::numeric_limits<Integer>::max();
  } else {
    out = static_cast<Integer>(number);
  }
}

PlayerInfo ReadPlayer(const Json& entry) {
  if (!entry.is_object()) throw WrongType{"", "JSON 对象"};
  PlayerInfo player;
  Read(entry, "name", player.name);
  Read(entry, "accountName", player.accountName);
  Read(entry, "playerId", player.playerId);
  Read(entry, "userId", player.userId);
  Read(entry, "ip", player.ip);
  Read(entry, "ping", player.ping);
  Read(entry, "location_x", player.locationX);
  Read(entry, "location_y", player.locationY);
  Read(entry, "level", player.level);
  Read(entry, "building_count", player.buildingCount);
  return player;
}

}  // namespace

int RestApiPortFromText(std::string_view typed) {
  return ParsePortNumber(typed).value_or(kDefaultRestApiPort);
}

std::string RestFailureText(const RestReply& reply, std::optional<int> port) {
  const int status = reply.status;
  std::string text = status == 401 ? "REST API 拒绝了管理员密码"
                     : status == 0 ? "REST API 未响应"
                                   : "REST API 回应异常";
  std::string details;
  if (port) details = "端口 " + std::to_string(*port);
  if (!(status == 401 && port)) {
    const std::string why = HttpFailureText(status, reply.failure, reply.networkError);
    if (!why.empty()) details += (details.empty() ? "" : ", ") + why;
  }
  if (!details.empty()) text += " (" + details + ")";
  return text;
}

RestRequest InfoRequest(const RestEndpoint& endpoint) {
  return Request(endpoint, "GET", "info");
}

RestRequest PlayersRequest(const RestEndpoint& endpoint) {
  return Request(endpoint, "GET", "players");
}

RestRequest MetricsRequest(const RestEndpoint& endpoint) {
  return Request(endpoint, "GET", "metrics");
}

RestRequest GameDataRequest(const RestEndpoint& endpoint) {
  return Request(endpoint, "GET", "game-data");
}

RestRequest SaveRequest(const RestEndpoint& endpoint) {
  return Request(endpoint, "POST", "save");
}

RestRequest ShutdownRequest(const RestEndpoint& endpoint, int waitSeconds,
                            std::string_view message) {
  return Post(endpoint, "shutdown", {{"waittime", waitSeconds}, {"message", message}});
}

RestRequest AnnounceRequest(const RestEndpoint& endpoint, std::string_view message) {
  return Post(endpoint, "announce", {{"message", message}});
}

RestRequest KickRequest(const RestEndpoint& endpoint, std::string_view userId,
                        std::string_view message) {
  return Post(endpoint, "kick", {{"userid", userId}, {"message", message}});
}

RestRequest BanRequest(const RestEndpoint& endpoint, std::string_view userId,
                       std::string_view message) {
  return Post(endpoint, "ban", {{"userid", userId}, {"message", message}});
}

RestRequest UnbanRequest(const RestEndpoint& endpoint, std::string_view userId) {
  return Post(endpoint, "unban", {{"userid", userId}});
}

RestReading<ServerInfo> ReadInfo(std::string_view body) {
  RestReading<ServerInfo> reading;
  const std::optional<Json> object = ParseObject(body, reading);
  if (!object) return reading;
  ServerInfo info;
  try {
    Read(*object, "version", info.version);
    Read(*object, "servername", info.serverName);
    Read(*object, "description", info.description);
    Read(*object, "worldguid", info.worldGuid);
  } catch (const WrongType& wrong) {
    reading.error = WrongTypeText(wrong);
    return reading;
  }
  reading.value = std::move(info);
  return reading;
}

RestReading<std::vector<PlayerInfo>> ReadPlayers(std::string_view body) {
  RestReading<std::vector<PlayerInfo>> reading;
  const std::optional<Json> object = ParseObject(body, reading);
  if (!object) return reading;
  const Json* list = Field(*object, "players");
  std::vector<PlayerInfo> players;
  if (list && !list->is_array()) {
    reading.error = "players 应为列表";
    return reading;
  }
  if (list) {
    players.reserve(list->size());
    for (const Json& entry : *list) {
      try {
        players.push_back(ReadPlayer(entry));
      } catch (const WrongType& wrong) {
        const std::string which = "第 " + std::to_string(players.size() + 1) + " 个玩家";
        reading.error = wrong.field.empty() ? which + "应为 " + wrong.expected
                                            : which + "的 " + WrongTypeText(wrong);
        return reading;
      }
    }
  }
  reading.value = std::move(players);
  return reading;
}

RestReading<ServerMetrics> ReadMetrics(std::string_view body) {
  RestReading<ServerMetrics> reading;
  const std::optional<Json> object = ParseObject(body, reading);
  if (!object) return reading;
  ServerMetrics metrics;
  try {
    Read(*object, "serverfps", metrics.serverFps);
    Read(*object, "currentplayernum", metrics.currentPlayers);
    Read(*object, "serverframetime", metrics.serverFrameTime);
    Read(*object, "maxplayernum", metrics.maxPlayers);
    Read(*object, "uptime", metrics.uptimeSeconds);
    Read(*object, "days", metrics.days);
  } catch (const WrongType& wrong) {
    reading.error = WrongTypeText(wrong);
    return reading;
  }
  reading.value = metrics;
  return reading;
}

}  // namespace tidemoor
