// Control from the phone against a fake KOOK on 127.0.0.1 (tests/fixtures/KookServer): the bot
// connects with the token it keeps sealed, answers /状态 in its channel with the running state and
// without a secret or a player's IP, ignores other channels, refuses /重启 to someone who is not
// an admin, runs the safe restart after an admin's /重启 and /确认 and says so when it is done, and
// comes back after KOOK drops the line, resuming where it was. A secret sealed by another Windows
// user is not taken for the secret itself.

#include "e2e/fake_kook.h"
#include "e2e/lifecycle_rig.h"
#include "remote/remote_window_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kReplyPost[] = "POST /api/v3/message/create";

class RemoteControlling : public LifecycleRig {
 protected:
  // The replies the bot posted to channels so far.
  std::vector<std::string> Replies(const FakeKook& kook) const {
    std::vector<std::string> replies;
    for (const std::string& line : kook.Lines()) {
      if (line.starts_with(kReplyPost)) replies.push_back(line);
    }
    return replies;
  }
  // Makes someone write in a channel and waits for the bot's next reply there; "" when none came.
  std::string Ask(const FakeKook& kook, const std::string& line,
                  std::chrono::seconds limit = std::chrono::seconds(20)) {
    // One command per person every 3 s: a faster one is dropped by the bot's rate limit.
    const auto wait =
        lastAsked_ + std::chrono::milliseconds(3200) - std::chrono::steady_clock::now();
    if (wait > wait.zero())
      ::Sleep(
          static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()));
    lastAsked_ = std::chrono::steady_clock::now();
    const size_t before = Replies(kook).size();
    kook.Say(line);
    std::string reply;
    WaitUntil(
        [&] {
          const std::vector<std::string> replies = Replies(kook);
          if (replies.size() > before) reply = replies[before];
          return !reply.empty();
        },
        limit);
    return reply;
  }

  std::chrono::steady_clock::time_point lastAsked_{};
};

TEST_F(RemoteControlling, OnlyAdminsRestartAndTheLineComesBackAfterADrop) {
  const FakeKook kook(directory, "bot-token-1");
  Prepare({.apiPort = 18259,
           .extendedSettings = "Remote_Kook=1\r\nKook_Token=bot-token-1\r\n"
                               "Kook_Channels=chan-1\r\nRemote_Admins=boss\r\nKook_Api=" +
                               kook.ApiBase() +
                               // sealed by another Windows user: lost here, and said so
                               "\r\nWebhook_Secret_2=AQAAANCMnd8BFdERjHoAwE/Cl+sBAAAA\r\n"});
  HWND window = OpenTool("remote-notice-ms=500");
  ASSERT_NE(window, nullptr);
  const std::optional<SeenMessageBox> lost = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(lost);
  EXPECT_EQ(lost->text,
            " 设置中的 Webhook_Secret_2 无法解密 (它由另一台电脑或另一个 Windows 用户保存) - "
            "请重新填写 ");
  AnswerMessageBox(*lost, IDOK);
  ASSERT_TRUE(kook.WaitForLine("WS /gateway")) << ::testing::PrintToString(kook.Lines());
  EXPECT_TRUE(WaitUntil([&] {
    return EventLog().find("KOOK 机器人: 已连接") != std::string::npos;
  })) << EventLog();
  const std::string settings = directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini");
  EXPECT_EQ(settings.find("bot-token-1"), std::string::npos) << "the token typed in is sealed";
  EXPECT_NE(settings.find("Kook_Token="), std::string::npos);

  EXPECT_NE(Ask(kook, "group chan-1 u7 路人 /状态").find("服务端: 已停止"), std::string::npos);
  StartAndWaitForTheApi(window);
  const std::string saved = directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini");
  for (const char* key : {"\r\nKook_Token=", "\r\nWebhook_Secret_2="}) {
    const auto line = [key](const std::string& file) {
      const size_t at = file.find(key);
      return at == std::string::npos ? "" : file.substr(at, file.find("\r\n", at + 2) - at);
    };
    EXPECT_EQ(line(saved), line(settings)) << key << ": the start's save keeps the seal it finds";
  }
  const std::string status = Ask(kook, "group chan-1 u7 路人 /状态");
  EXPECT_NE(status.find("服务端: 运行中"), std::string::npos) << status;
  EXPECT_NE(status.find("在线玩家: 2"), std::string::npos) << status;
  EXPECT_NE(status.find("\"quote\":\"msg-"), std::string::npos) << status;
  for (const char* secret : {kRigAdminPassword, "bot-token-1", "192.168.1.20"}) {
    EXPECT_EQ(status.find(secret), std::string::npos) << secret;
  }
  EXPECT_EQ(Ask(kook, "group chan-2 boss 老板 /状态", std::chrono::seconds(3)), "")
      << "a channel the host did not choose is not heard";

  EXPECT_NE(Ask(kook, "group chan-1 u7 路人 /重启").find("没有管理权限"), std::string::npos);
  EXPECT_EQ(Ask(kook, "group chan-1 u7 路人 /确认", std::chrono::seconds(3)), "")
      << "told once an hour, silent in between";
  EXPECT_EQ(ApiCalls().find("/v1/api/shutdown"), std::string::npos) << ApiCalls();

  EXPECT_NE(
      Ask(kook, "group chan-1 boss 老板 /重启").find("将安全重启服务端 (在线 2 人, 先通知 1 分钟)"),
      std::string::npos);
  EXPECT_NE(Ask(kook, "group chan-1 boss 老板 /确认").find("正在安全重启服务端"),
            std::string::npos);
  EXPECT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(60))) << EventLog();
  const std::string calls = ApiCalls();
  const size_t notice = calls.find("服务器将在 1 分钟后重启");
  EXPECT_NE(notice, std::string::npos) << calls;
  EXPECT_NE(calls.find("/v1/api/shutdown", notice), std::string::npos) << calls;
  EXPECT_NE(EventLog().find("远程指令: /重启 由 老板 (boss)"), std::string::npos) << EventLog();
  EXPECT_TRUE(kook.WaitForLine("服务端已重启", std::chrono::seconds(60)));

  kook.Say("drop");
  ASSERT_TRUE(WaitUntil([&] { return kook.Connections() == 2; }, std::chrono::seconds(30)));
  EXPECT_TRUE(kook.WaitForLine("resume=1")) << ::testing::PrintToString(kook.Lines());
  EXPECT_NE(Ask(kook, "group chan-1 u7 路人 /玩家").find("在线玩家 (2)"), std::string::npos);
  EXPECT_NE(EventLog().find("KOOK 机器人: 连接中断"), std::string::npos) << EventLog();

  PressLabel(window, Id(MainControl::RemoteLabel));
  const HWND remote = WaitForWindowOfProcess(tool->Id(), kRemoteWindowTitle);
  ASSERT_NE(remote, nullptr);
  EXPECT_EQ(ControlText(remote, static_cast<int>(RemoteControlId::LineText)), "已连接");
  EXPECT_EQ(ControlText(remote, static_cast<int>(RemoteControlId::ChannelsEdit)), "chan-1");
}

}  // namespace
}  // namespace tidemoor::testing
