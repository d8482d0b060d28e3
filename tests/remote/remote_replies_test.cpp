#include "remote/remote_replies.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(RemoteReplies, StatusShowsEachKnownLine) {
  ServerSnapshot server{ServerRunState::Running,
                        ServerWork::None,
                        "v0.6.1",
                        {"甲", "乙", "丙"},
                        32,
                        std::chrono::seconds(2 * 3600 + 5 * 60 + 59),
                        57.6,
                        uint64_t{6657} * 1024 * 1024,
                        "2026-12-10 14:05",
                        "内存不足\r\n退出码 3"};
  EXPECT_EQ(StatusReply(server),
            "服务端: 运行中\n版本: v0.6.1\n在线玩家: 3/32\n已运行: 2 小时 5 分\nFPS: 58\n"
            "内存: 6.5 GB\n最近备份: 2026-12-10 14:05\n最近崩溃: 内存不足\\r\\n退出码 3");

  server.work = ServerWork::BackingUp;
  server.maxPlayers = 0;
  server.uptime = std::chrono::seconds(26 * 3600 + 60);
  server.memoryBytes = uint64_t{512} * 1024 * 1024;
  server.version = server.lastBackup = server.lastCrash = "";
  server.fps.reset();
  EXPECT_EQ(StatusReply(server),
            "服务端: 运行中 (正在备份)\n在线玩家: 3\n已运行: 1 天 2 小时 1 分\n内存: 512 MB");
  EXPECT_EQ(StatusReply(ServerSnapshot{}), "服务端: 已停止");
}

TEST(RemoteReplies, PlayersListsThirtyNamesOnOneLine) {
  ServerSnapshot server;
  EXPECT_EQ(PlayersReply(server), "服务端没有运行");
  server.state = ServerRunState::Running;
  EXPECT_EQ(PlayersReply(server), "当前没有玩家在线");
  server.playerNames = {"甲\n", "\xE2\x80\xAE乙"};
  EXPECT_EQ(PlayersReply(server), "在线玩家 (2): 甲\\n, \\u{202E}乙");
  server.playerNames.clear();
  std::string listed;
  for (int i = 1; i <= 31; ++i) {
    server.playerNames.push_back("p" + std::to_string(i));
    if (i <= 30) listed += (i > 1 ? ", p" : "p") + std::to_string(i);
  }
  EXPECT_EQ(PlayersReply(server), "在线玩家 (31): " + listed + " 等 31 人");
}

TEST(RemoteReplies, WithoutSecretsHidesEverySecretWhole) {
  const struct {
    const char* reply;
    std::vector<std::string> secrets;
    const char* want;
  } cases[] = {
      {"token abcd1234 twice abcd1234", {"abcd1234"}, "token *** twice ***"},
      {"pw abc stays", {"abc", ""}, "pw abc stays"},
      {"url https://h/k?key=SECRETkey", {"SECRET", "https://h/k?key=SECRETkey"}, "url ***"},
      {"a p\\nw b", {"p\nw!"}, "a p\\nw b"},
      {"a p\\nw! b", {"p\nw!"}, "a *** b"},
      {"qwxyz", {"q***", "wxyz"}, "***"},  // hiding one brought another together
  };
  for (const auto& c : cases) EXPECT_EQ(WithoutSecrets(c.reply, c.secrets), c.want) << c.reply;
}

}  // namespace
}  // namespace tidemoor
