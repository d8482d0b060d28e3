// The REST API client on its worker threads, against a local HTTP server that answers, refuses
// or never answers.

#include "server/server_api_win.h"

#include <gtest/gtest.h>

#include <optional>

#include "net/local_http_server_win.h"
#include "support/pumping_wait_win.h"
#include "platform/worker_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;
using testing::LocalHttpServer;

class ServerApiClient : public ::testing::Test {
 protected:
  RestEndpoint Endpoint() const {
    const std::string url = server.Url("/");
    return RestEndpoint{std::stoi(url.substr(url.rfind(':') + 1)), "pw"};
  }

  // Asks and lets the messages through until done has run; status -1 when it never did.
  RestReply AskAndWait(const RestRequest& request, std::chrono::milliseconds limit) {
    std::optional<RestReply> reply;
    api.Ask(request, limit, [&reply](const RestReply& answer) { reply = answer; });
    EXPECT_FALSE(reply) << "never on the caller's stack";
    PumpUntil([&] { return reply.has_value(); }, limit + 10s);
    return reply.value_or(RestReply{-1, ""});
  }

  LocalHttpServer server;
  WindowsServerApi api;
};

TEST_F(ServerApiClient, AskedRequestsBringBackTheAnswerAndSignIn) {
  server.Serve("/v1/api/info", 200, R"({"version":"v1"})");
  const RestReply reply = AskAndWait(InfoRequest(Endpoint()), 10s);
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.body, R"({"version":"v1"})");
  EXPECT_NE(server.LastRequest().find("Authorization: Basic YWRtaW46cHc="), std::string::npos)
      << server.LastRequest();

  server.Serve("/v1/api/save", 401, "");
  EXPECT_FALSE(AskAndWait(SaveRequest(Endpoint()), 10s).Answered());
}

// The server answers 411 to a POST without a length: an empty one states "Content-Length: 0" once,
// and one with a body states the body's length.
TEST_F(ServerApiClient, EveryPostStatesItsLengthOnTheWire) {
  server.Serve("/v1/api/save", 200, "");
  server.Serve("/v1/api/unban", 200, "");
  const struct {
    RestRequest request;
    const char* length;
  } cases[] = {{SaveRequest(Endpoint()), "Content-Length: 0\r\n"},
               {UnbanRequest(Endpoint(), "steam_1"), "Content-Length: 20\r\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(AskAndWait(c.request, 10s).status, 200) << c.request.url;
    const std::string sent = server.LastRequest();
    const size_t at = sent.find(c.length);
    EXPECT_NE(at, std::string::npos) << sent;
    EXPECT_EQ(sent.find("Content-Length", at + 1), std::string::npos) << sent;
  }
}

// An answer that points elsewhere is a failed call, and the password never follows it.
TEST_F(ServerApiClient, ARedirectFailsTheCallAndIsNeverFollowed) {
  for (const int status : {301, 302, 307, 308}) {
    server.Redirect("/v1/api/info", status, server.Url("/elsewhere"));
    server.Serve("/elsewhere", 200, R"({"version":"v1"})");
    const RestReply reply = AskAndWait(InfoRequest(Endpoint()), 10s);
    EXPECT_FALSE(reply.Answered()) << status;
    EXPECT_EQ(server.Hits("/elsewhere"), 0) << status;
  }
}

// A silent server holds its request's thread for the whole time-out; the wait ends at its limit
// with the windows' messages handled meanwhile, and the next request is not stuck behind it.
TEST_F(ServerApiClient, ASilentServerCostsTheLimitAndNothingAfterIt) {
  server.Hang("/v1/api/info");
  server.Serve("/v1/api/save", 200, "");
  Worker other;
  bool delivered = false;
  other.Run([] {}, [&] { delivered = true; });

  EXPECT_EQ(AskAndWait(InfoRequest(Endpoint()), 1500ms).status, 0);
  EXPECT_TRUE(delivered) << "messages went on during the wait";
  EXPECT_EQ(AskAndWait(SaveRequest(Endpoint()), 10s).status, 200);
}

// The tool closing puts its API away: a reply still under way, or a refusal that comes at once,
// is handed to no one.
TEST_F(ServerApiClient, NothingComesBackFromAnApiPutAway) {
  server.Hang("/v1/api/info");
  int handedBack = 0;
  {
    WindowsServerApi closing;
    closing.Ask(InfoRequest(Endpoint()), 60s, [&](const RestReply&) { ++handedBack; });
    closing.Ask(InfoRequest(RestEndpoint{1, ""}), 60s, [&](const RestReply&) { ++handedBack; });
  }
  PumpUntil([] { return false; }, 500ms);
  EXPECT_EQ(handedBack, 0);
}

TEST_F(ServerApiClient, SentRequestsAnswerBetweenMessagesInOrder) {
  server.Serve("/v1/api/info", 200, "{}");
  server.Serve("/v1/api/announce", 200, "");
  std::vector<std::string> replies;
  api.Send(AnnounceRequest(Endpoint(), "服务器将在 1 分钟后重启"), [&](const RestReply& reply) {
    replies.push_back("announce " + std::to_string(reply.status));
  });
  api.Send(InfoRequest(Endpoint()), [&](const RestReply& reply) {
    replies.push_back("info " + std::to_string(reply.status));
  });
  EXPECT_TRUE(replies.empty()) << "never on the caller's stack";
  ASSERT_TRUE(PumpUntil([&] { return replies.size() == 2; }, 20s));
  EXPECT_EQ(replies, (std::vector<std::string>{"announce 200", "info 200"}));
  EXPECT_EQ(server.Hits("/v1/api/announce"), 1);
}

}  // namespace
}  // namespace tidemoor
