#include "remote/remote_session.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/text.h"
#include "remote/remote_replies.h"

namespace tidemoor {
namespace {

using std::chrono::seconds;
using A = RemoteAction;
const auto kT0 = std::chrono::steady_clock::time_point{} + std::chrono::hours(10);

ChatMessage From(const std::string& id, const std::string& text) {
  return {"c1", id, "名" + id, text, "m1", false, false};
}

ServerSnapshot Running(ServerWork work = ServerWork::None, bool restApi = true) {
  ServerSnapshot server{ServerRunState::Running, work};
  server.restApi = restApi;
  server.playerNames = {"甲", "乙", "丙"};
  return server;
}

TEST(RemoteSession, WhoMayDoWhatAndWhen) {
  const ServerSnapshot stopped;
  const struct {
    std::string text;
    std::string author;
    bool noAdmins;
    ServerSnapshot server;
    std::string reply;
    A action = A::None;
  } cases[] = {
      {"今晚开吗", "boss", false, Running(), ""},
      {"/状态", "guest", true, stopped, "服务端: 已停止"},
      {"/玩家", "guest", false, Running(), "在线玩家 (3): 甲, 乙, 丙"},
      {"/重启", "guest", false, Running(), kNotAdminReply},
      {"/确认", "guest", false, Running(), kNotAdminReply},
      {"/备份", "guest", true, Running(), kNoAdminsReply},
      {"/备份", "boss", false, stopped, kBackupStartedReply, A::Backup},
      {"/备份", "boss", false, Running(ServerWork::BackingUp), "正在备份, 请稍候"},
      {"/公告 \t今晚\n维护 ", "boss", false, Running(), "正在发送公告: 今晚 维护", A::Announce},
      {"/公告", "boss", false, Running(), kAnnounceUsageReply},
      {"/公告 hi", "boss", false, Running(ServerWork::None, false), kAnnounceNeedsRestApiReply},
      {"/重启", "boss", false, Running(ServerWork::Stopping), "服务端正在关闭, 请稍候"},
      {"/关服", "boss", false, Running(ServerWork::None, false),
       "将关闭服务端 (在线 3 人, 没有 REST API, 无法先通知玩家和存档) - 60 秒内发送 /确认 执行"},
      {"/开服", "boss", false, stopped, "将启动服务端 - 60 秒内发送 /确认 执行"},
  };
  for (const auto& c : cases) {
    const auto admins = c.noAdmins ? std::vector<std::string>{} : std::vector<std::string>{"boss"};
    const RemoteDecision decision =
        RemoteSession().Answer(From(c.author, c.text), c.server, admins, kT0);
    EXPECT_EQ(decision.reply, c.reply) << c.text;
    EXPECT_EQ(decision.action, c.action) << c.text;
    // Changes and refused attempts at them are logged.
    const bool refused = c.reply == kNotAdminReply || c.reply == kNoAdminsReply;
    EXPECT_EQ(decision.logLine.empty(), c.action == A::None && !refused) << c.text;
  }
}

TEST(RemoteSession, RefusesOncePerPersonAnHourAndIgnoresFloods) {
  RemoteSession session;
  const auto ask = [&](const std::string& who, const std::string& text, int at) {
    return session.Answer(From(who, text), Running(), {"boss"}, kT0 + seconds(at)).reply;
  };
  EXPECT_EQ(ask("guest", "/重启", 0), kNotAdminReply);
  EXPECT_EQ(ask("guest", "/关服", 10), "");
  EXPECT_EQ(ask("other", "/关服", 10), kNotAdminReply);
  EXPECT_EQ(ask("guest", "/备份", 3600), kNotAdminReply);
  EXPECT_EQ(ask("guest", "/状态", 3601), "");  // within 3 s of the last one
  using Author = std::pair<std::string, std::string>;
  EXPECT_EQ(session.RecentAuthors(),
            (std::vector<Author>{{"guest", "名guest"}, {"other", "名other"}}));
}

TEST(RemoteSession, OnlyTheSamePersonsConfirmationWithinAMinuteCarriesItOut) {
  RemoteSession session;
  const struct {
    const char* who;
    const char* text;
    int at;
    ServerWork work;
    std::string reply;  // "" = not checked
    A action = A::None;
  } steps[] = {
      {"boss", "/重启", 0, ServerWork::None,
       "将安全重启服务端 (在线 3 人, 先通知 1 分钟) - 60 秒内发送 /确认 执行"},
      {"vice", "/确认", 5, ServerWork::None, kNothingToConfirmReply},
      {"boss", "/确认", 10, ServerWork::None, "正在安全重启服务端", A::Restart},
      {"boss", "/确认", 15, ServerWork::None, kNothingToConfirmReply},
      {"boss", "/关服", 20, ServerWork::None, ""},
      {"boss", "/确认", 81, ServerWork::None, kNothingToConfirmReply},  // too late
      {"boss", "/关服", 90, ServerWork::None, ""},
      {"boss", "/确认", 95, ServerWork::Restarting, "服务端正在重启, 请稍候"},
      {"boss", "/确认", 100, ServerWork::None, kNothingToConfirmReply},
      {"boss", "/关服", 105, ServerWork::None, ""},
      {"boss", "/重启", 110, ServerWork::None, ""},  // replaces the stop
      {"boss", "/确认", 170, ServerWork::None, "正在安全重启服务端", A::Restart},
  };
  for (const auto& s : steps) {
    const RemoteDecision decision =
        session.Answer(From(s.who, s.text), Running(s.work), {"boss", "vice"}, kT0 + seconds(s.at));
    EXPECT_TRUE(s.reply.empty() || decision.reply == s.reply) << s.at << ": " << decision.reply;
    EXPECT_EQ(decision.action, s.action) << s.at;
    EXPECT_EQ(decision.logLine, s.action == A::None ? "" : "远程指令: /重启 由 名boss (boss)");
  }
}

// A character that could break a line or hide in it; '\n' only where the reply puts its lines.
bool HasControls(std::string_view text, bool linesAllowed) {
  for (size_t i = 0; i < text.size();) {
    const char32_t c = DecodeUtf8(text, i);
    if ((c < 0x20 && !(linesAllowed && c == '\n')) || (c >= 0x7F && c <= 0x9F) ||
        (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || c == 0xFFFD) {
      return true;
    }
  }
  return false;
}

TEST(RemoteSession, NoReplyShowsASecretOrAStrangersControls) {
  std::mt19937 random(20261210);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const auto randomText = [&](int length, bool bytes) {
    std::string text;
    while (length-- > 0) text += static_cast<char>(bytes ? pick(0, 255) : pick('a', 'z'));
    return text;
  };
  const std::string nasty[] = {"\r\n", "\x1b[2J", "\xE2\x80\xAE", "\xE2\x80\xA8", "\x7f", "\xC2"};
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> secrets;
    for (int i = pick(1, 4); i > 0; --i) secrets.push_back(randomText(pick(4, 40), pick(0, 1)));
    ServerSnapshot server = Running(static_cast<ServerWork>(pick(0, 4)), pick(0, 1));
    server.state = static_cast<ServerRunState>(pick(0, 3));
    server.playerNames.clear();
    for (int i = pick(0, 35); i > 0; --i) {
      server.playerNames.push_back(randomText(pick(0, 6), false) + nasty[pick(0, 5)] +
                                   (pick(0, 2) ? "" : secrets[pick(0, int(secrets.size()) - 1)]));
    }
    server.version = server.playerNames.empty() ? "" : server.playerNames.front();
    server.lastCrash = pick(0, 1) ? secrets.front() + nasty[0] : "";
    const std::string author = pick(0, 1) ? "boss" : "guest" + nasty[pick(0, 5)];
    for (const std::string text :
         {"/状态", "/玩家", "/帮助", "/备份", "/重启", "/关服", "/开服", "/确认", "/公告 x"}) {
      ChatMessage message = From(author, text == "/公告 x" ? text + server.version : text);
      message.authorName += secrets.back() + nasty[pick(0, 5)];
      const RemoteDecision decision = RemoteSession().Answer(message, server, {"boss"}, kT0);
      EXPECT_FALSE(HasControls(decision.reply, text != "/玩家")) << text;
      EXPECT_FALSE(HasControls(decision.logLine, false)) << text;
      const std::string shown = WithoutSecrets(decision.reply, secrets);
      for (const std::string& secret : secrets) {
        EXPECT_EQ(shown.find(secret), std::string::npos) << text;
        EXPECT_EQ(shown.find(EscapeControlCharacters(secret)), std::string::npos) << text;
      }
    }
  }
}

}  // namespace
}  // namespace tidemoor
