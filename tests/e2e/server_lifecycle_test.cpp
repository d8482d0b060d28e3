// The safe stop through the fixture server's REST API, its fallback to the kill, and the guard
// against a server that crashes again and again.

#include "e2e/lifecycle_rig.h"

#include <vector>

#include "backup/backup_manager_win.h"
#include "platform/directory_listing_win.h"

namespace tidemoor::testing {
namespace {

class ServerLifecycle : public LifecycleRig {};

TEST_F(ServerLifecycle, StopWithTheApiSavesThenShutsDownAndKillsNothing) {
  Prepare({.apiPort = 18231});
  // The user's own world settings: every pair must survive the REST API being turned on.
  directory.WriteBytes(kRigWorldSettings,
                       "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(ExpRate=2.000000,"
                       "ServerPlayerMaxNum=16,RESTAPIEnabled=False,MyOwnKey=\"kept, really\")\r\n");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);

  const std::string settings = directory.ReadBytes(kRigWorldSettings);
  for (const char* pair :
       {"ExpRate=2.000000", "ServerPlayerMaxNum=16", "RESTAPIEnabled=True", "RESTAPIPort=18231",
        "AdminPassword=\"admin-e2e-pw\"", "MyOwnKey=\"kept, really\""}) {
    EXPECT_NE(settings.find(pair), std::string::npos) << pair << " in " << settings;
  }
  EXPECT_EQ(settings.find("RESTAPIEnabled=False"), std::string::npos);

  StopWithYes(window);
  EXPECT_TRUE(WaitUntil([&] {
    return ControlText(window, Id(MainControl::StatusLine)) == "正在安全关闭服务端..." ||
           ShowsStopped(window);
  }));
  // Within the limits of the requests it makes, however the machine is loaded.
  ASSERT_TRUE(WaitUntil([&] { return ShowsStopped(window); }, std::chrono::seconds(70)))
      << EventLog() << ApiCalls();
  EXPECT_TRUE(WaitUntil([&] { return !ServerRunning(); }));

  const std::string calls = ApiCalls();
  const size_t info = calls.rfind("GET /v1/api/info");
  const size_t save = calls.find("POST /v1/api/save");
  const size_t shutdown =
      calls.find(R"(POST /v1/api/shutdown {"message":"服务器即将关闭","waittime":1})");
  ASSERT_NE(save, std::string::npos) << calls;
  ASSERT_NE(shutdown, std::string::npos) << calls;
  EXPECT_LT(info, save);
  EXPECT_LT(save, shutdown);
  EXPECT_EQ(Kills(), "") << "no process was killed";
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)), "游戏服务端版本 (等待服务端启动)");
  const std::string events = EventLog();
  EXPECT_NE(events.find("已写入 PalWorldSettings.ini"), std::string::npos) << events;
  EXPECT_NE(events.find("已安全关闭服务端"), std::string::npos) << events;
}

TEST_F(ServerLifecycle, SilentApiFallsBackToTheKillWithinSeconds) {
  Prepare({.apiPort = 18232});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  PutFlag("api-silent.flag");

  StopWithYes(window);
  const ULONGLONG asked = ::GetTickCount64();
  ASSERT_TRUE(WaitUntil([&] { return ShowsStopped(window); }, std::chrono::seconds(20)));
  // Two seconds for the API, then the kill; the window answered all along.
  EXPECT_LT(::GetTickCount64() - asked, 10'000u);
  EXPECT_TRUE(WaitUntil([&] { return !ServerRunning(); }));
  EXPECT_EQ(Lines(Kills()), 1);
  EXPECT_EQ(ApiCalls().find("POST /v1/api/save"), std::string::npos);
  EXPECT_NE(EventLog().find("REST API 未响应 (端口 18232, 连接超时)"), std::string::npos)
      << EventLog();
}

TEST_F(ServerLifecycle, ThirdQuickCrashIsNotRestartedAndSaysSoOnce) {
  Prepare({.apiPort = 18233, .crashRestart = true});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));
  for (int launches = 1; launches <= 3; ++launches) {
    ASSERT_TRUE(WaitUntil([&] { return Launches() == launches; }, std::chrono::seconds(30)));
    ASSERT_TRUE(
        WaitUntil([&] { return ProcessesBelow(directory.File(kRigServerDir)).size() == 2; }));
    PutFlag("crash.flag");
    ASSERT_TRUE(
        WaitUntil([&] { return !directory.Exists(kRigServerFile + std::string("crash.flag")); }));
  }
  std::optional<SeenMessageBox> message = WaitForMessageBox(tool->Id(), std::chrono::seconds(30));
  ASSERT_TRUE(message);
  EXPECT_EQ(message->text,
            " 服务端在 10 分钟内连续崩溃 3 次，已停止自动重启 - 请检查服务端和存档后再手动启动 ");
  EXPECT_EQ(message->title, " Error");
  AnswerMessageBox(*message, IDOK);
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)), "服务端连续崩溃 - 已停止自动重启");
  EXPECT_TRUE(ShowsStopped(window));
  EXPECT_FALSE(WaitUntil([&] { return Launches() > 3; }, std::chrono::seconds(5)));
  EXPECT_FALSE(WaitForMessageBox(tool->Id(), std::chrono::seconds(0)));
}

// The copy must hold the world as the server has just written it, not a save half way through.
TEST_F(ServerLifecycle, AManualPointAsksTheServerToSaveBeforeItCopies) {
  Prepare({.apiPort = 18234});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  PutFlag("save-marks.flag");

  PressLabel(window, Id(MainControl::BackupManagerLabel));
  HWND manager = WaitForWindowOfProcess(tool->Id(), kBackupManagerTitle);
  ASSERT_NE(manager, nullptr);
  ClickControl(manager, static_cast<int>(BackupManagerControl::CreateButton));
  std::optional<SeenMessageBox> done = WaitForMessageBox(tool->Id(), std::chrono::seconds(40));
  ASSERT_TRUE(done);
  EXPECT_EQ(done->text, " 已创建现行备份点数据 ");
  AnswerMessageBox(*done, IDOK);

  std::vector<std::string> points;
  ListDirectories(directory.File("PaLWorld_Saved_Backups"), points, false);
  ASSERT_EQ(points.size(), 1u);
  const std::string copied = directory.ReadBytes("PaLWorld_Saved_Backups\\" + points[0] +
                                                 "\\Saved\\SaveGames\\0\\World\\Level.sav");
  EXPECT_NE(copied.find("saved through the API"), std::string::npos) << copied;
  EXPECT_NE(ApiCalls().find("POST /v1/api/save"), std::string::npos) << ApiCalls();
  const std::string events = EventLog();
  const size_t saved = events.find("备份前存档完成");
  ASSERT_NE(saved, std::string::npos) << events;
  EXPECT_LT(saved, events.find("创建备份点 " + points[0] + " (手动)")) << events;
}

// Without an admin password the REST API would take anyone's commands: the start says so on the
// screen and leaves the API off in the file, while the name and passwords are still written. The
// server writes why it crashed only into its crash folder: the tool shows the reason, and for a
// damaged save offers the backups.
TEST_F(ServerLifecycle, AnEmptyAdminPasswordIsToldAndACrashShowsTheServersReason) {
  Prepare({.apiPort = 18262, .adminPassword = ""});
  directory.WriteBytes(kRigWorldSettings,
                       "; kept\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=("
                       "ExpRate=2.000000,RESTAPIEnabled=False)\r\n");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));
  std::optional<SeenMessageBox> notice = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(notice);
  EXPECT_EQ(notice->text, " 管理员密码为空 - 未开启 REST API，安全关服、在线玩家等功能不可用 ");
  EXPECT_EQ(notice->title, " Warning");
  AnswerMessageBox(*notice, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(30)));
  EXPECT_EQ(directory.ReadBytes(kRigWorldSettings),
            "; kept\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=("
            "ExpRate=2.000000,RESTAPIEnabled=False,ServerName=\"E2E Host\",ServerPassword=\"\","
            "AdminPassword=\"\")\r\n");

  directory.WriteBytes(
      kRigServerFile + std::string("crash-report.txt"),
      "Save data is corrupted. Please restore from a backup (world 0A1B2C3D &amp; player data)");
  PutFlag("crash.flag");
  std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id(), std::chrono::seconds(30));
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, " 服务端报告存档已损坏 - 是否打开备份管理器? ");
  EXPECT_EQ(question->title, " Error");
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)),
            "服务端崩溃: Save data is corrupted. Please restore from a backup (world…");
  const std::string events = EventLog();
  EXPECT_NE(events.find("管理员密码为空"), std::string::npos) << events;
  EXPECT_NE(events.find("服务端崩溃原因 (Crash, UECC-Windows-"), std::string::npos) << events;
  EXPECT_NE(events.find("): Save data is corrupted. Please restore from a backup (world 0A1B2C3D "
                        "& player data)"),
            std::string::npos)
      << events;
  AnswerMessageBox(*question, IDYES);
  EXPECT_NE(WaitForWindowOfProcess(tool->Id(), kBackupManagerTitle), nullptr);
  EXPECT_TRUE(ShowsStopped(window));
}

}  // namespace
}  // namespace tidemoor::testing
