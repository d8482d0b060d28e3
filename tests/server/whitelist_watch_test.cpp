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

constexpr char kAnn[] = "steam_1\tAnn\n";

// The watch's world over the whitelist file's text (nullopt: the file cannot be read).
WhitelistWatchWorld World(QueuedApi& api, std::vector<std::string>& logged,
                          std::optional<std::string> file) {
  return {api, [&logged](std::string_view line) { logged.emplace_back(line); },
          [file] { return file ? std::optional(ReadWhitelist(*file)) : std::nullopt; },
          [] { return int64_t{100}; }};
}

TEST(WhitelistWatch, KicksWhomTheFileDoesNotHoldAndNobodyWhenTheFileFailsOrIsEmpty) {
  const struct {
    const char* name;
    std::optional<std::string> file;
    int kickStatus;
    const char* logged;  // how the line of the kick begins; "" when no kick is sent
  } cases[] = {
      {"the stranger goes", kAnn, 200, "白名单: 已踢出 Eve (steam_666)"},
      {"a refused kick is told", kAnn, 0, "白名单: 踢出 Eve (steam_666) 失败 - REST API"},
      {"an unreadable file keeps nobody out", std::nullopt, 200, ""},
      {"an empty file keeps nobody out", "# notes only\n", 200, ""},
  };
  for (const auto& c : cases) {
    QueuedApi api;
    std::vector<std::string> logged;
    WhitelistWatch watch(World(api, logged, c.file));
    watch.Tick(true, true, {});
    watch.Tick(true, true, {});  // one request at a time
    api.Reply(200, kOnline);
    if (!api.pending.empty()) api.Reply(c.kickStatus);
    std::vector<std::string> sent = {"players ", kKickEve};
    if (!*c.logged) sent.pop_back();
    EXPECT_EQ(api.sent, sent) << c.name;
    ASSERT_EQ(logged.size(), sent.size() - 1) << c.name;
    if (*c.logged) {
      EXPECT_TRUE(logged[0].starts_with(c.logged)) << c.name << ": " << logged[0];
    }
  }
}

TEST(WhitelistWatch, AsksNothingWhileOffOrStoppedAndDropsAReplyThatCameAfter) {
  QueuedApi api;
  std::vector<std::string> logged;
  WhitelistWatch watch(World(api, logged, kAnn));
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
