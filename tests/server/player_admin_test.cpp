#include "server/player_admin.h"

#include <gtest/gtest.h>

#include <deque>

#include "support/fake_prompt.h"

namespace tidemoor {
namespace {

using testing::FakePrompt;

constexpr char kTwoPlayers[] =
    R"({"players":[{"name":"小明","playerId":"A1","userId":"steam_1","ip":"10.0.0.2","ping":31.6,"level":41},)"
    R"({"name":"Ann 😀","playerId":"C3","userId":"steam_2","ip":"10.0.0.3","ping":12,"level":7}]})";

class QueuedApi : public ServerApi {
 public:
  void Ask(const RestRequest&, std::chrono::milliseconds,
           std::function<void(const RestReply&)>) override {}
  void Send(const RestRequest& request, std::function<void(const RestReply&)> done) override {
    pending.push_back({request, std::move(done)});
  }
  // Answers the oldest request still waiting.
  RestRequest Reply(int status, std::string body = "") {
    auto [request, done] = std::move(pending.front());
    pending.pop_front();
    done({status, std::move(body)});
    return request;
  }
  std::deque<std::pair<RestRequest, std::function<void(const RestReply&)>>> pending;
};

class FakeView : public PlayersView {
 public:
  void ShowPlayers(const std::vector<PlayerRow>& shown, int selectedRow) override {
    rows = shown;
    selected = selectedRow;
  }
  void ShowConnectionLine(std::string_view text) override { line = text; }
  void EnableActions(bool on) override { enabled = on; }
  void ShowStatus(std::string_view text) override { status = text; }
  int SelectedRow() const override { return selected; }
  std::string Reason() const override { return reason; }
  std::string Announcement() const override { return announcement; }
  std::optional<std::string> AskUserId() override { return typedUserId; }

  std::vector<PlayerRow> rows;
  int selected = -1;
  std::string line;
  bool enabled = true;
  std::string status;
  std::string reason;
  std::string announcement;
  std::optional<std::string> typedUserId;
};

class RecordedLog : public EventLog {
 public:
  void Record(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

class PlayerAdminTest : public ::testing::Test {
 protected:
  void ShowTwoPlayers() {
    admin.Refresh();
    api.Reply(200, kTwoPlayers);
    ASSERT_EQ(view.rows.size(), 2u);
  }
  static std::string Path(const RestRequest& request) {
    return request.url.substr(request.url.find("/v1/api/") + 8);
  }

  QueuedApi api;
  FakeView view;
  FakePrompt prompt;
  RecordedLog log;
  ApiAccess access{true, true, {18240, "pw"}};
  PlayerAdmin admin{{view, api, prompt, log, [this] { return access; }}};
};

TEST_F(PlayerAdminTest, ListShowsEveryColumnAndKeepsTheSelectedPlayerAcrossARefresh) {
  ShowTwoPlayers();
  EXPECT_EQ(view.rows[0], (PlayerRow{"小明", "41", "32", "A1", "steam_1", "10.0.0.2"}));
  EXPECT_EQ(view.rows[1][0], "Ann 😀");
  EXPECT_EQ(view.line, "在线玩家 2 人");
  EXPECT_TRUE(view.enabled);

  view.selected = 1;  // Ann; the next answer lists a newcomer first
  admin.Refresh();
  api.Reply(200, R"({"players":[{"name":"New","userId":"steam_9"},)"
                 R"({"name":"小明","userId":"steam_1"},{"name":"Ann","userId":"steam_2"}]})");
  EXPECT_EQ(view.selected, 2);

  view.selected = 2;  // Ann leaves
  admin.Refresh();
  api.Reply(200, R"({"players":[{"name":"小明","userId":"steam_1"}]})");
  EXPECT_EQ(view.selected, -1);
}

TEST_F(PlayerAdminTest, OneRefreshAtATimeSoASilentServerPilesNothingUp) {
  admin.Refresh();
  admin.Refresh();
  admin.Refresh();
  EXPECT_EQ(api.pending.size(), 1u);
  api.Reply(0);
  admin.Refresh();
  EXPECT_EQ(api.pending.size(), 1u);
}

TEST_F(PlayerAdminTest, EachWayOfNotAnsweringHasItsOwnLineAndClearsTheList) {
  struct Case {
    bool running;
    bool apiOn;
    int status;
    std::string body;
    std::string expected;
  };
  const Case cases[] = {
      {false, true, 200, kTwoPlayers, "服务端未运行"},
      {true, true, 401, "", "REST API 拒绝了管理员密码 (HTTP 401)"},
      {true, false, 0, "", "PalWorldSettings.ini 中 REST API 未开启"},
      {true, true, 0, "", "REST API 未响应 (端口 18240)"},
      {true, true, 500, "", "REST API 回应异常 (HTTP 500)"},
      {true, true, 200, R"({"players":[{"level":"x"}]})",
       "REST API 的回应无法读取: 第 1 个玩家的 level 应为数字"},
  };
  for (const Case& c : cases) {
    ShowTwoPlayers();
    access.serverRunning = c.running;
    access.apiOnInSettings = c.apiOn;
    admin.Refresh();
    if (c.running) api.Reply(c.status, c.body);
    EXPECT_TRUE(api.pending.empty());
    EXPECT_TRUE(view.rows.empty()) << c.expected;
    EXPECT_FALSE(view.enabled) << c.expected;
    EXPECT_EQ(view.line.rfind(c.expected, 0), 0u) << view.line;
    access = ApiAccess{true, true, {18240, "pw"}};
  }
}

TEST_F(PlayerAdminTest, KickAsksByNameThenSendsTheReasonAndLogsNameAndUserId) {
  ShowTwoPlayers();
  view.selected = 1;
  view.reason = "恶意破坏 \"base\"";
  admin.Kick();
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_NE(prompt.asked[0].text.find("Ann 😀 (steam_2)"), std::string::npos);
  EXPECT_EQ(prompt.asked[0].style, PromptStyle::WarningQuestion);
  const RestRequest kick = api.Reply(200);
  EXPECT_EQ(Path(kick), "kick");
  EXPECT_EQ(kick.body, R"({"message":"恶意破坏 \"base\"","userid":"steam_2"})");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], "踢出玩家 Ann 😀 (steam_2), 原因: 恶意破坏 \"base\"");
  EXPECT_EQ(view.status, " 已踢出 Ann 😀 ");
  // The list is asked again at once.
  ASSERT_EQ(api.pending.size(), 1u);
  EXPECT_EQ(Path(api.pending.front().first), "players");
}

TEST_F(PlayerAdminTest, NoKickOrBanWithoutAYesOrASelectedPlayer) {
  ShowTwoPlayers();
  view.selected = -1;
  admin.Kick();
  EXPECT_EQ(view.status, " 请先在列表中选择一名玩家 ");
  EXPECT_TRUE(prompt.asked.empty());

  view.selected = 0;
  prompt.answerYes = false;
  admin.Ban();
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_NE(prompt.asked[0].text.find("封禁玩家 小明 (steam_1)"), std::string::npos);
  EXPECT_TRUE(api.pending.empty());
  EXPECT_TRUE(log.lines.empty());

  // The server stopped while the question was open.
  prompt.answerYes = true;
  prompt.onAsk = [this](const FakePrompt::Asked&) { access.serverRunning = false; };
  admin.Ban();
  EXPECT_TRUE(api.pending.empty());
  EXPECT_FALSE(view.enabled);
}

TEST_F(PlayerAdminTest, AClosedWindowDropsRepliesButTheLogStillTellsWhatWasDone) {
  ShowTwoPlayers();
  view.selected = 0;
  admin.Ban();
  admin.Forget();
  view.status.clear();
  api.Reply(0);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], "封禁玩家 小明 (steam_1) - 失败: REST API 未响应");
  EXPECT_EQ(view.status, "");
  EXPECT_TRUE(api.pending.empty()) << "no refresh for a window that is gone";

  admin.Refresh();
  ASSERT_EQ(api.pending.size(), 1u) << "a reopened window asks again";
}

TEST_F(PlayerAdminTest, AnswersAndQuestionsThatOutliveTheWindowDoNothing) {
  ShowTwoPlayers();
  view.rows.clear();
  view.line.clear();
  admin.Refresh();
  admin.Forget();
  api.Reply(200, kTwoPlayers);
  EXPECT_TRUE(view.rows.empty());
  EXPECT_EQ(view.line, "");
  EXPECT_TRUE(api.pending.empty());

  for (void (PlayerAdmin::*remove)() : {&PlayerAdmin::Kick, &PlayerAdmin::Ban}) {
    ShowTwoPlayers();
    view.selected = 0;
    prompt.onAsk = [this](const FakePrompt::Asked&) { admin.Forget(); };
    (admin.*remove)();
    EXPECT_TRUE(api.pending.empty());
    EXPECT_TRUE(log.lines.empty());
  }
}

TEST_F(PlayerAdminTest, UnbanSaveAndAnnounceSendTheirBodiesAndLogThem) {
  ShowTwoPlayers();
  view.typedUserId = "  steam_3\u3000";
  admin.Unban();
  EXPECT_EQ(api.Reply(200).body, R"({"userid":"steam_3"})");
  api.Reply(200, kTwoPlayers);
  // Pasted from a chat or a web page, blanks of any width and all; the log names a listed player.
  view.typedUserId = "\u3000 \t steam_1 \u3000\t\r\n";
  admin.Unban();
  EXPECT_EQ(api.Reply(200).body, R"({"userid":"steam_1"})");
  api.Reply(200, kTwoPlayers);

  view.typedUserId = std::nullopt;
  admin.Unban();
  view.typedUserId = " ";
  admin.Unban();
  EXPECT_TRUE(api.pending.empty());

  admin.SaveNow();
  EXPECT_EQ(Path(api.Reply(200)), "save");
  EXPECT_EQ(view.status, " 已存档 ");
  api.Reply(200, kTwoPlayers);

  view.announcement = "  \u3000\r\n";
  admin.Announce();
  EXPECT_EQ(view.status, " 公告内容不能为空 ");
  EXPECT_TRUE(api.pending.empty());

  view.announcement = "今晚 8 点 \"重启\" \\ 维护\n";
  admin.Announce();
  const RestRequest announce = api.Reply(401);
  EXPECT_EQ(announce.body, R"({"message":"今晚 8 点 \"重启\" \\ 维护\n"})");
  EXPECT_EQ(view.status, " 失败: REST API 拒绝了管理员密码 (HTTP 401) ");

  ASSERT_EQ(log.lines.size(), 4u);
  EXPECT_EQ(log.lines[0], "解封玩家 (steam_3)");
  EXPECT_EQ(log.lines[1], "解封玩家 小明 (steam_1)");
  EXPECT_EQ(log.lines[2], "立即存档");
  EXPECT_EQ(
      log.lines[3],
      "发送公告: 今晚 8 点 \"重启\" \\\\ 维护\\n - 失败: REST API 拒绝了管理员密码 (HTTP 401)");
}

TEST_F(PlayerAdminTest, ANameMadeToBreakLinesIsShownAndLoggedEscaped) {
  admin.Refresh();
  api.Reply(
      200,
      R"({"players":[{"name":"Evil\r\n2026-01-01 00:00:00  已安全关闭\u202e","userId":"steam_\t1"}]})");
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_EQ(view.rows[0][0], "Evil\\r\\n2026-01-01 00:00:00  已安全关闭\\u{202E}");
  EXPECT_EQ(view.rows[0][4], "steam_\\t1");
  view.selected = 0;
  admin.Kick();
  api.Reply(200);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0].find_first_of("\r\n"), std::string::npos) << log.lines[0];
  // The request itself carries the userId exactly as the server gave it.
  EXPECT_EQ(api.pending.size(), 1u);
}

TEST_F(PlayerAdminTest, ALongNameIsCutEverywhereButTheUserIdStaysWhole) {
  const std::string longName(100, 'N');
  const std::string longId = "steam_" + std::string(90, '7');
  admin.Refresh();
  api.Reply(200, R"({"players":[{"name":")" + longName + R"(","userId":")" + longId + R"("}]})");
  ASSERT_EQ(view.rows.size(), 1u);
  const std::string cut = std::string(64, 'N') + "…";
  EXPECT_EQ(view.rows[0][0], cut);
  EXPECT_EQ(view.rows[0][4], longId);
  view.selected = 0;
  view.reason = std::string(80, 'r');
  admin.Ban();
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_NE(prompt.asked[0].text.find(cut + " (" + longId + ")"), std::string::npos);
  api.Reply(200);
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0],
            "封禁玩家 " + cut + " (" + longId + "), 原因: " + std::string(64, 'r') + "…");
}

TEST(LiveStatusLine, CountsFpsAndTheUptimeInDaysHoursAndMinutes) {
  EXPECT_EQ(LiveStatusLine({58, 3, 17.2, 32, 5 * 3600 + 12 * 60 + 59, 7}),
            "在线 3/32  ·  FPS 58  ·  已运行 5小时12分");
  EXPECT_EQ(LiveStatusLine({60, 0, 0, 32, 59, 0}), "在线 0/32  ·  FPS 60  ·  已运行 0分");
  EXPECT_EQ(LiveStatusLine({60, 0, 0, 32, 3600, 0}), "在线 0/32  ·  FPS 60  ·  已运行 1小时0分");
  EXPECT_EQ(LiveStatusLine({60, 1, 0, 4, 2 * 86400 + 61, 0}),
            "在线 1/4  ·  FPS 60  ·  已运行 2天0小时1分");
  EXPECT_EQ(LiveStatusLine({1, 1, 0, 4, -5, 0}), "在线 1/4  ·  FPS 1  ·  已运行 0分");
  EXPECT_NE(LiveStatusLine({1, 1, 0, 4, INT64_MAX, 0}).find("已运行 106751991167300天"),
            std::string::npos);
  const uint64_t gb = 1024ull * 1024 * 1024;
  const ServerMetrics metrics{58, 3, 17.2, 32, 5 * 3600 + 12 * 60, 7};
  EXPECT_EQ(LiveStatusLine(metrics, 9 * gb + 4 * gb / 10),
            "在线 3/32  ·  FPS 58  ·  已运行 5小时12分  ·  内存 9.4 GB");
  EXPECT_EQ(LiveStatusLine(metrics, std::nullopt), "在线 3/32  ·  FPS 58  ·  已运行 5小时12分");
  EXPECT_EQ(LiveStatusLine(std::nullopt, 2 * gb), "内存 2.0 GB");
  EXPECT_EQ(LiveStatusLine(std::nullopt, std::nullopt), "");
}

TEST(LiveStatus, ShowsMetricsWhileTheServerAnswersAndNothingOtherwise) {
  QueuedApi api;
  std::string line = "old";
  LiveStatus status(api, [&](std::string_view text) { line = text; });
  const RestEndpoint endpoint{18241, "pw"};

  status.Tick(true, endpoint);
  status.Tick(true, endpoint);
  ASSERT_EQ(api.pending.size(), 1u);
  EXPECT_EQ(
      api.Reply(200, R"({"serverfps":58,"currentplayernum":3,"maxplayernum":32,"uptime":18720})")
          .url,
      "http://127.0.0.1:18241/v1/api/metrics");
  EXPECT_EQ(line, "在线 3/32  ·  FPS 58  ·  已运行 5小时12分");
  ASSERT_TRUE(status.Latest());
  EXPECT_EQ(status.Latest()->currentPlayers, 3);
  EXPECT_EQ(status.Latest()->serverFps, 58);

  // A failed answer is not the last good one: the server's week samples it as not known.
  status.Tick(true, endpoint);
  api.Reply(0);
  EXPECT_EQ(line, "");
  EXPECT_FALSE(status.Latest());
  status.Tick(true, endpoint);
  api.Reply(200, R"({"serverfps":"fast"})");
  EXPECT_EQ(line, "");
  EXPECT_FALSE(status.Latest());

  // A reply that arrives after the server stopped does not bring the line back.
  status.Tick(true, endpoint);
  api.Reply(200, R"({"serverfps":58})");
  status.Tick(true, endpoint);
  status.Tick(false, endpoint);
  EXPECT_EQ(line, "");
  EXPECT_FALSE(status.Latest());
  api.Reply(200, R"({"serverfps":58})");
  EXPECT_EQ(line, "");
  EXPECT_FALSE(status.Latest());
  status.Tick(true, endpoint);
  EXPECT_EQ(api.pending.size(), 1u);
}

}  // namespace
}  // namespace tidemoor
