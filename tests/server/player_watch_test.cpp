#include "server/player_watch.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace tidemoor {
namespace {

class QueuedApi : public ServerApi {
 public:
  void Ask(const RestRequest&, std::chrono::milliseconds,
           std::function<void(const RestReply&)>) override {}
  void Send(const RestRequest& request, std::function<void(const RestReply&)> done) override {
    pending.push_back({request, std::move(done)});
  }
  std::deque<std::pair<RestRequest, std::function<void(const RestReply&)>>> pending;
};

std::string Player(const std::string& name, const std::string& userId) {
  return R"({"name":")" + name + R"(","playerId":"P","userId":")" + userId + R"("})";
}

std::string List(const std::vector<std::string>& players) {
  std::string body = R"({"players":[)";
  for (size_t i = 0; i < players.size(); ++i) body += (i ? "," : "") + players[i];
  return body + "]}";
}

// One poll: the reply the server gave (status 0: none; "stop": the server stopped before it)
// and the lines the event log got from it.
struct Poll {
  int status;
  std::string body;
  std::vector<std::string> logged;
};

TEST(PlayerWatch, LogsEachJoinAndLeaveByUserIdAndNothingForLoadingPlayersOrFailedPolls) {
  const std::string ann = Player("Ann", "steam_2");
  const std::string ming = Player("小明", "steam_1");
  const struct {
    const char* name;
    std::vector<Poll> polls;
  } cases[] = {
      {"join, then leave",
       {{200, List({ming}), {"玩家加入: 小明 (steam_1)"}},
        {200, List({ming, ann}), {"玩家加入: Ann (steam_2)"}},
        {200, List({ann}), {"玩家离开: 小明 (steam_1)"}}}},
      {"still loading until the id comes",
       {{200,
         List({Player("Bob", ""), Player("Cy", "steam_00000000000000000"), Player("Di", "0")}),
         {}},
        {200,
         List({Player("Bob", "steam_3"), Player("Cy", "steam_00000000000000000")}),
         {"玩家加入: Bob (steam_3)"}}}},
      {"a rename is the same player, and leaves under the new name",
       {{200, List({ming}), {"玩家加入: 小明 (steam_1)"}},
        {200, List({Player("大明", "steam_1")}), {}},
        {200, List({}), {"玩家离开: 大明 (steam_1)"}}}},
      {"failed and unreadable polls in between change nothing",
       {{200, List({ming, ann}), {"玩家加入: 小明 (steam_1)", "玩家加入: Ann (steam_2)"}},
        {0, "", {}},
        {401, "", {}},
        {200, R"({"players":"none"})", {}},
        {200, "not json", {}},
        {200, List({ming, ann}), {}}}},
      {"leaves first, and a name cannot forge a line",
       {{200, List({Player("a\\nb", "steam_9")}), {"玩家加入: a\\nb (steam_9)"}},
        {200, List({ann}), {"玩家离开: a\\nb (steam_9)", "玩家加入: Ann (steam_2)"}}}},
      {"a stop clears the list silently and a late reply is dropped",
       {{200, List({ming}), {"玩家加入: 小明 (steam_1)"}},
        {-1, List({}), {}},
        {200, List({ming}), {"玩家加入: 小明 (steam_1)"}}}},
  };
  for (const auto& c : cases) {
    QueuedApi api;
    std::vector<std::string> logged;
    std::vector<std::string> heard;
    PlayerWatch watch(api, [&](std::string_view text) { logged.emplace_back(text); });
    watch.SetListener([&](const PlayerChange& change) {
      heard.push_back((change.joined ? "+" : "-") + change.userId);
    });
    const RestEndpoint endpoint{18260, "pw"};
    for (size_t i = 0; i < c.polls.size(); ++i) {
      const Poll& poll = c.polls[i];
      logged.clear();
      heard.clear();
      watch.Tick(true, endpoint);
      watch.Tick(true, endpoint);  // one request at a time
      ASSERT_EQ(api.pending.size(), 1u) << c.name;
      EXPECT_EQ(api.pending.front().first.url, "http://127.0.0.1:18260/v1/api/players");
      auto done = std::move(api.pending.front().second);
      api.pending.pop_front();
      if (poll.status < 0) watch.Tick(false, endpoint);
      done({poll.status < 0 ? 200 : poll.status, poll.body});
      EXPECT_EQ(logged, poll.logged) << c.name << ", poll " << i;
      EXPECT_EQ(heard.size(), logged.size()) << c.name << ", poll " << i;
    }
  }
}

}  // namespace
}  // namespace tidemoor
