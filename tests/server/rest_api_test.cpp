#include "server/rest_api.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

const RestEndpoint kEndpoint{8300, "s3cret"};

// The answers' values alone, for the cases where why one is unreadable does not matter.
std::optional<ServerInfo> ParseInfo(std::string_view body) {
  return ReadInfo(body).value;
}
std::optional<std::vector<PlayerInfo>> ParsePlayers(std::string_view body) {
  return ReadPlayers(body).value;
}
std::optional<ServerMetrics> ParseMetrics(std::string_view body) {
  return ReadMetrics(body).value;
}

TEST(RestApi, SignInIsBase64) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==");
  EXPECT_EQ(Base64("fo"), "Zm8=");
  EXPECT_EQ(Base64("foo"), "Zm9v");
  EXPECT_EQ(Base64("admin:s3cret"), "YWRtaW46czNjcmV0");
  EXPECT_EQ(Base64("\xff\xfe\x80"), "//6A");
}

// The server takes each command's fields by their exact names (a ban naming "userId" would do
// nothing), and answers 411 to a POST that does not state its length. The text is kept and
// escaped, and bytes that are not UTF-8 never stop a request.
TEST(RestApi, EveryRequestCarriesTheAddressTheSignInAndItsExactBody) {
  const std::string auth = "Authorization: Basic YWRtaW46czNjcmV0\r\n";
  const std::string json = auth + "Content-Type: application/json\r\n";
  const std::string empty = auth + "Content-Length: 0\r\n";
  struct Case {
    RestRequest request;
    const char* method;
    const char* path;
    std::string headers;
    std::string body;
  };
  const Case cases[] = {
      {InfoRequest(kEndpoint), "GET", "info", auth, ""},
      {PlayersRequest(kEndpoint), "GET", "players", auth, ""},
      {MetricsRequest(kEndpoint), "GET", "metrics", auth, ""},
      {SaveRequest(kEndpoint), "POST", "save", empty, ""},
      {ShutdownRequest(kEndpoint, 10, "服务器即将重启"), "POST", "shutdown", json,
       R"({"message":"服务器即将重启","waittime":10})"},
      {AnnounceRequest(kEndpoint, "say \"hi\" \\ 😀\n"), "POST", "announce", json,
       R"({"message":"say \"hi\" \\ 😀\n"})"},
      {AnnounceRequest(kEndpoint, "a\xff"), "POST", "announce", json,
       "{\"message\":\"a\xEF\xBF\xBD\"}"},
      {KickRequest(kEndpoint, "steam_1", "bye"), "POST", "kick", json,
       R"({"message":"bye","userid":"steam_1"})"},
      {BanRequest(kEndpoint, "steam_2", ""), "POST", "ban", json,
       R"({"message":"","userid":"steam_2"})"},
      {UnbanRequest(kEndpoint, "steam_1"), "POST", "unban", json, R"({"userid":"steam_1"})"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.request.method, c.method) << c.path;
    EXPECT_EQ(c.request.url, "http://127.0.0.1:8300/v1/api/" + std::string(c.path));
    EXPECT_EQ(c.request.headers, c.headers) << c.path;
    EXPECT_EQ(c.request.body, c.body) << c.path;
  }
}

TEST(RestApi, PortIsTheTypedNumberOrTheDefault) {
  EXPECT_EQ(RestApiPortFromText("8300"), 8300);
  EXPECT_EQ(RestApiPortFromText(" ８３００"), 8300);
  EXPECT_EQ(RestApiPortFromText("65535"), 65535);
  for (const char* typed : {"", "0", "-1", "65536", "abc", "99999999999"}) {
    EXPECT_EQ(RestApiPortFromText(typed), kDefaultRestApiPort) << typed;
  }
}

TEST(RestApi, FailureSaysWhatWentWrongWithThePortAndTheStatusOrWhyThereWasNoAnswer) {
  struct Case {
    int status;
    HttpFailure failure;
    uint32_t networkError;
    std::optional<int> port;
    const char* text;
  };
  constexpr auto kNone = HttpFailure::None;
  for (const Case& c : {
           Case{401, kNone, 0, std::nullopt, "REST API 拒绝了管理员密码 (HTTP 401)"},
           Case{0, kNone, 0, std::nullopt, "REST API 未响应"},
           Case{500, kNone, 0, std::nullopt, "REST API 回应异常 (HTTP 500)"},
           Case{401, kNone, 0, 8300, "REST API 拒绝了管理员密码 (端口 8300)"},
           Case{0, kNone, 0, 8300, "REST API 未响应 (端口 8300)"},
           Case{404, kNone, 0, 8300, "REST API 回应异常 (端口 8300, HTTP 404)"},
           Case{0, HttpFailureOfNetworkError(12029), 12029, 8300,
                "REST API 未响应 (端口 8300, 连接被拒绝)"},
           Case{0, HttpFailureOfNetworkError(12002), 12002, std::nullopt,
                "REST API 未响应 (连接超时)"},
           Case{0, HttpFailureOfNetworkError(12007), 12007, 8300,
                "REST API 未响应 (端口 8300, 无法解析主机名)"},
           Case{0, HttpFailureOfNetworkError(12030), 12030, 8300,
                "REST API 未响应 (端口 8300, 网络错误 12030)"},
           Case{0, HttpFailure::TooLong, 0, std::nullopt, "REST API 未响应 (回应过长)"},
       }) {
    EXPECT_EQ(RestFailureText(RestReply{c.status, "", c.failure, c.networkError}, c.port), c.text)
        << c.text;
  }
}

TEST(RestApi, InfoTakesItsFieldsAndDefaultsMissingOnes) {
  const auto info = ParseInfo(
      R"({"version":"v0.3.11","servername":"世界","description":"d","worldguid":"ABC","x":[1]})");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->version, "v0.3.11");
  EXPECT_EQ(info->serverName, "世界");
  EXPECT_EQ(info->description, "d");
  EXPECT_EQ(info->worldGuid, "ABC");

  const auto sparse = ParseInfo(R"({"version":"v1","servername":null})");
  ASSERT_TRUE(sparse);
  EXPECT_EQ(sparse->version, "v1");
  EXPECT_EQ(sparse->serverName, "");
}

TEST(RestApi, UnreadableAnswersAreNoAnswerNeverACrash) {
  for (const std::string& body : std::vector<std::string>{
           "", "null", "[]", "\"text\"", "{", "{\"players\":[],\"x\":\"a\xff\"}",
           "<html>401</html>", std::string("{\"version\":\"a\0b\"}", 18)}) {
    EXPECT_FALSE(ParseInfo(body)) << body;
    EXPECT_FALSE(ParseMetrics(body)) << body;
    EXPECT_FALSE(ParsePlayers(body)) << body;
  }
  EXPECT_FALSE(ParseInfo(R"({"version":1})"));
  EXPECT_FALSE(ParsePlayers(R"({"players":{}})"));
  EXPECT_FALSE(ParsePlayers(R"({"players":[1]})"));
  EXPECT_FALSE(ParsePlayers(R"({"players":[{"name":"a"},{"level":"high"}]})"));
  EXPECT_FALSE(ParseMetrics(R"({"serverfps":"60"})"));
  const std::string deep = std::string(200'000, '[') + std::string(200'000, ']');
  EXPECT_FALSE(ParsePlayers("{\"players\":" + deep + "}"));
}

TEST(RestApi, PlayersKeepEveryFieldAndAnyScript) {
  const auto players = ParsePlayers(R"({"players":[
      {"name":"小明","accountName":"xm","playerId":"A1","userId":"steam_7656","ip":"10.0.0.2",
       "ping":33.5,"location_x":-1200.25,"location_y":99.5,"level":41,"building_count":12},
      {"name":"Ann 😀","userId":"steam_2"}]})");
  ASSERT_TRUE(players);
  ASSERT_EQ(players->size(), 2u);
  const PlayerInfo& first = (*players)[0];
  EXPECT_EQ(first.name, "小明");
  EXPECT_EQ(first.accountName, "xm");
  EXPECT_EQ(first.playerId, "A1");
  EXPECT_EQ(first.userId, "steam_7656");
  EXPECT_EQ(first.ip, "10.0.0.2");
  EXPECT_DOUBLE_EQ(first.ping, 33.5);
  EXPECT_DOUBLE_EQ(first.locationX, -1200.25);
  EXPECT_DOUBLE_EQ(first.locationY, 99.5);
  EXPECT_EQ(first.level, 41);
  EXPECT_EQ(first.buildingCount, 12);
  EXPECT_EQ((*players)[1].name, "Ann 😀");
  EXPECT_EQ((*players)[1].level, 0);

  const auto none = ParsePlayers("{}");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());

  std::string many = R"({"players":[)";
  for (int i = 0; i < 20'000; ++i) many += (i ? "," : "") + std::string(R"({"name":"p"})");
  const auto big = ParsePlayers(many + "]}");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->size(), 20'000u);
}

TEST(RestApi, MetricsSaturateInsteadOfOverflowing) {
  const auto metrics = ParseMetrics(
      R"({"serverfps":58,"currentplayernum":3,"serverframetime":16.9,"maxplayernum":32,)"
      R"("uptime":18720,"days":7})");
  ASSERT_TRUE(metrics);
  EXPECT_EQ(metrics->serverFps, 58);
  EXPECT_EQ(metrics->currentPlayers, 3);
  EXPECT_DOUBLE_EQ(metrics->serverFrameTime, 16.9);
  EXPECT_EQ(metrics->maxPlayers, 32);
  EXPECT_EQ(metrics->uptimeSeconds, 18720);
  EXPECT_EQ(metrics->days, 7);

  const auto huge = ParseMetrics(
      R"({"serverfps":1e300,"currentplayernum":-1e300,"uptime":18446744073709551615,"days":2.9})");
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->serverFps, 2147483647);
  EXPECT_EQ(huge->currentPlayers, -2147483647 - 1);
  EXPECT_EQ(huge->uptimeSeconds, INT64_MAX);
  EXPECT_EQ(huge->days, 2);
}

TEST(RestApi, UnreadableAnswersSayWhatIsWrongWithThem) {
  const struct {
    std::string body;
    std::string error;
  } cases[] = {
      {"", "回应为空"},
      {"<html>401</html>", "回应不是 JSON"},
      {"[1,2]", "回应不是 JSON 对象"},
      {"{\"players\":[{\"name\":\"a\xff\"}]}", "回应不是有效的 UTF-8 文本"},
      {R"({"players":"none"})", "players 应为列表"},
      {R"({"players":[{"name":"a"},2]})", "第 2 个玩家应为 JSON 对象"},
      {R"({"players":[{"name":"a"},{"name":"b"},{"userId":7}]})", "第 3 个玩家的 userId 应为文本"},
      {R"({"players":[{"ping":"fast"}]})", "第 1 个玩家的 ping 应为数字"},
  };
  for (const auto& c : cases) {
    const RestReading<std::vector<PlayerInfo>> reading = ReadPlayers(c.body);
    EXPECT_FALSE(reading.value) << c.body;
    EXPECT_EQ(reading.error, c.error) << c.body;
  }
  EXPECT_EQ(ReadMetrics(R"({"serverfps":58,"uptime":"1h"})").error, "uptime 应为数字");
  EXPECT_EQ(ReadInfo(R"({"version":["1"]})").error, "version 应为文本");
  const RestReading<ServerMetrics> fine = ReadMetrics(R"({"serverfps":58})");
  ASSERT_TRUE(fine.value);
  EXPECT_EQ(fine.error, "");
}

}  // namespace
}  // namespace tidemoor
