#include "server/whitelist_watch.h"

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
    sent.push_back(request.url.substr(request.url.rfind('/') + 1) + " " + request.body);
    pending.push_back(std::move(done));
  }
  void Reply(int status, const std::string& body = {}) {
    auto done = std::move(pending.front());
    pending.pop_front();
    done({status, body});
  }
  std::vector<std::string> sent;
  std::deque<std::function<void(const RestReply&)>> pending;
};

constexpr char kOnline[] =
    R"({"players":[{"name":"Ann","userId":"steam_1"},{"name":"Eve","userId":"steam_666"}]})";
constexpr char kKickEve[] = R"(kick {"message":" 你不在本服务器的白名单中 ","userid":"steam_666"})";

TEST(WhitelistWatch, KicksWhomTheFileDoesNotHoldAndNobodyWhenTheFileFailsOrIsEmpty) {
  const struct {
    const char* name;
    std::optional<std::string> file;  // nullopt: the file cannot be read
    int kickStatus;
    std::vector<std::string> sent;
    std::vector<std::string> logged;
  } cases[] = {
      {"the stranger goes",
       "steam_1\tAnn\n",
       200,
       {"players ", kKickEve},
       {"白名单: 已踢出 Eve (steam_666)"}},
      {"a refused kick is told",
       "steam_1\tAnn\n",
       0,
       {"players ", kKickEve},
       {"白名单: 踢出 Eve (steam_666) 失败 - REST API"}},
      {"an unreadable file keeps nobody out", std::nullopt, 200, {"players "}, {}},
      {"an empty file keeps nobody out", "# notes only\n", 200, {"players "}, {}},
  };
  for (const auto& c : cases) {
    QueuedApi api;
    std::vector<std::string> logged;
    WhitelistWatch watch({api, [&](std::string_view line) { logged.emplace_back(line); },
                          [&]() -> std::optional<Whitelist> {
                            if (!c.file) return std::nullopt;
                            return ReadWhitelist(*c.file);
                          },
                          [] { return int64_t{100}; }});
    watch.Tick(true, true, {});
    watch.Tick(true, true, {});  // one request at a time
    api.Reply(200, kOnline);
    if (!api.pending.empty()) api.Reply(c.kickStatus);
    EXPECT_EQ(api.sent, c.sent) << c.name;
    ASSERT_EQ(logged.size(), c.logged.size()) << c.name;
    for (size_t i = 0; i < logged.size(); ++i) {
      EXPECT_EQ(logged[i].substr(0, c.logged[i].size()), c.logged[i]) << c.name;
    }
  }
}

TEST(WhitelistWatch, AsksNothingWhileOffOrStoppedAndDropsAReplyThatCameAfter) {
  QueuedApi api;
  std::vector<std::string> logged;
  WhitelistWatch watch({api, [&](std::string_view line) { logged.emplace_back(line); },
                        [] { return std::optional(ReadWhitelist("steam_1\tAnn\n")); },
                        [] { return int64_t{100}; }});
  watch.Tick(false, true, {});
  watch.Tick(true, false, {});
  EXPECT_TRUE(api.sent.empty());
  watch.Tick(true, true, {});
  watch.Tick(false, true, {});  // ticked off while the list was asked
  api.Reply(200, kOnline);
  EXPECT_TRUE(api.pending.empty()) << "nobody kicked by a list asked before";
  watch.Tick(true, true, {});
  EXPECT_EQ(api.sent.size(), 2u) << "a new request once the old one is dropped";
}

}  // namespace
}  // namespace tidemoor
