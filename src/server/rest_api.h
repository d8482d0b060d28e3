#pragma once
// The dedicated server's REST API as plain values: the requests the tool sends (address, basic
// authentication, JSON body) and what its answers hold. No network here; the Windows side sends
// the requests on a worker thread.
//
// The API listens on 127.0.0.1:<RESTAPIPort> once PalWorldSettings.ini has RESTAPIEnabled=True;
// user "admin", password the file's AdminPassword. It is meant for this machine or a LAN.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http_answer.h"
#include "platform/text.h"

namespace tidemoor {

inline constexpr int kDefaultRestApiPort = 8212;

// The port the user typed, or the default when it is not a port at all.
int RestApiPortFromText(std::string_view typed);

// Where the running server's API listens and how to sign in to it.
struct RestEndpoint {
  int port = kDefaultRestApiPort;
  std::string adminPassword;
};

// One request, ready for the HTTP client.
struct RestRequest {
  std::string method;   // GET or POST
  std::string url;      // http://127.0.0.1:<port>/v1/api/<path>
  std::string headers;  // header lines, each ended by CR LF
  std::string body;     // JSON, empty for a GET
};

RestRequest InfoRequest(const RestEndpoint& endpoint);
RestRequest PlayersRequest(const RestEndpoint& endpoint);
RestRequest MetricsRequest(const RestEndpoint& endpoint);
// Only answered by a server started with -enable-gamedata-api; the answer can be hundreds of KB.
RestRequest GameDataRequest(const RestEndpoint& endpoint);
RestRequest SaveRequest(const RestEndpoint& endpoint);
// The server tells its players the message, waits waitSeconds, saves and exits.
RestRequest ShutdownRequest(const RestEndpoint& endpoint, int waitSeconds,
                            std::string_view message);
RestRequest AnnounceRequest(const RestEndpoint& endpoint, std::string_view message);
RestRequest KickRequest(const RestEndpoint& endpoint, std::string_view userId,
                        std::string_view message);
RestRequest BanRequest(const RestEndpoint& endpoint, std::string_view userId,
                       std::string_view message);
RestRequest UnbanRequest(const RestEndpoint& endpoint, std::string_view userId);

// What came back. A status of 0 is no answer at all, and failure says why (refused, timed out).
struct RestReply {
  int status = 0;
  std::string body;
  HttpFailure failure = HttpFailure::None;
  uint32_t networkError = 0;
  bool Answered() const { return status >= 200 && status < 300; }
};

// A reply that is no success, in the words every window and the event log use: what went wrong,
// then in brackets the port asked (when given) and the HTTP status, or without an answer why there
// was none (refused, timed out). The status is left out beside a port when the words already say
// the password was refused.
std::string RestFailureText(const RestReply& reply, std::optional<int> port = std::nullopt);

// The answers' fields. A missing field keeps its default; an answer that is not a JSON object, a
// field of another type, or text that is not UTF-8 makes the whole answer unreadable (nullopt):
// the tool treats it as no answer and never fails on it.
struct ServerInfo {
  std::string version;
  std::string serverName;
  std::string description;
  std::string worldGuid;
};

struct PlayerInfo {
  std::string name;
  std::string accountName;
  std::string playerId;
  std::string userId;
  std::string ip;
  double ping = 0;
  double locationX = 0;
  double locationY = 0;
  int level = 0;
  int buildingCount = 0;
};

struct ServerMetrics {
  int serverFps = 0;
  int currentPlayers = 0;
  double serverFrameTime = 0;  // milliseconds
  int maxPlayers = 0;
  int64_t uptimeSeconds = 0;
  int days = 0;  // in-game days
};

// An answer read, or why it could not be, in a sentence the user can act on (which field of which
// player had which wrong type, text that is not UTF-8, a body that is not JSON).
template <typename Value>
struct RestReading {
  std::optional<Value> value;
  std::string error;  // empty when value holds
};

RestReading<ServerInfo> ReadInfo(std::string_view body);
RestReading<std::vector<PlayerInfo>> ReadPlayers(std::string_view body);
RestReading<ServerMetrics> ReadMetrics(std::string_view body);

}  // namespace tidemoor
