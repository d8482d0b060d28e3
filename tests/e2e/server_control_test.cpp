// The server's start, stop, crash restart and adoption, with the fixture launcher and worker.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "app/main_controls.h"
#include "platform/codepage_win.h"
#include "platform/process_win.h"
#include "platform/system_error_win.h"
#include "server/server_world.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
constexpr char kLaunches[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\PalServer-launches.txt";
constexpr char kCrashFlag[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\crash.flag";
constexpr char kExpectedCommandLine[] =
    "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
    "-publiclobby -players=32 -servername=\"E2E Host\" -serverpassword=\"\" "
    "-adminpassword=admin-e2e-pw\r\n";

int Id(MainControl control) {
  return static_cast<int>(control);
}

int LineCount(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class ServerControlTest : public ::testing::Test {
 protected:
  void Prepare(bool crashRestart, bool installServer = true, std::string joinPassword = "") {
    directory.InstallTool();
    directory.InstallFixture("taskkill.exe");
    if (installServer) {
      directory.InstallFixture("PalServer.exe", kServerDir);
      directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", kServerDir);
    }
    const std::string settings =
        "[服务端运行控制]\r\nHide_ServerConsole=0\r\nAuto_CheckServer=0\r\nCrash_Autorun=" +
        std::string(crashRestart ? "1" : "0") +
        "\r\nTimeer_Autorestart=0\r\nUse_4To_optimize=0\r\nTimeer_Autobackup_Saved=0\r\n"
        "[服务器启动参数]\r\nPort_Game=8211\r\nPort_SteamList=27015\r\nMax_Player=32\r\n"
        "Admin_Password=admin-e2e-pw\r\nServer_Name=E2E Host\r\nOpen_community=1\r\n"
        "Connect_Password=" +
        joinPassword + "\r\n";
    directory.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini", Utf8ToGbk(settings));
  }

  HWND OpenTool() {
    tool.emplace(directory);
    HWND window = tool->WaitForMainWindow();
    EXPECT_NE(window, nullptr);
    return window;
  }

  std::string Launches() const { return directory.ReadBytes(kLaunches); }

  // The launcher records its command line once it runs, a moment after the tool saw it start.
  bool WaitForLaunches(int count) {
    return WaitUntil([&] { return LineCount(Launches()) == count; }, std::chrono::seconds(30));
  }

  bool ServerRunning() const { return !ProcessesBelow(directory.File(kServerDir)).empty(); }

  // Starts by the button and waits for the running caption.
  void Start(HWND window) {
    ClickControl(window, Id(MainControl::StartButton));
    ASSERT_TRUE(WaitUntil(
        [&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; }));
  }

  void StopWithYes(HWND window) {
    ClickControl(window, Id(MainControl::StartButton));
    std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text, " 是否结束游戏服务端运行? ");
    EXPECT_EQ(question->title, " Kill");
    AnswerMessageBox(*question, IDYES);
    EXPECT_TRUE(WaitUntil(
        [&] { return ControlText(window, Id(MainControl::StartButton)) == kStartCaption; }));
  }

  TempToolDirectory directory{"server"};
  std::optional<ToolProcess> tool;
};

TEST_F(ServerControlTest, StartLaunchesTheServerAndStopEndsItsWholeTree) {
  Prepare(false);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);

  ASSERT_TRUE(WaitForLaunches(1));
  EXPECT_EQ(Launches(), kExpectedCommandLine);
  const std::string status = ControlText(window, Id(MainControl::StatusLine));
  EXPECT_EQ(status.rfind("运行中  ···  内核版本 (Run:0.1.5.0)  ···  ", 0), 0u) << status;
  EXPECT_NE(status.find("日 - "), std::string::npos) << status;
  EXPECT_NE(status.find("秒"), std::string::npos) << status;
  ASSERT_TRUE(WaitUntil([&] { return ProcessesBelow(directory.File(kServerDir)).size() == 2; }));

  StopWithYes(window);
  EXPECT_TRUE(WaitUntil([&] { return !ServerRunning(); }));
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)), "游戏服务端版本 (等待服务端启动)");
}

TEST_F(ServerControlTest, CrashWithAutoRestartLaunchesAgain) {
  Prepare(true);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  ASSERT_TRUE(WaitForLaunches(1));

  directory.WriteBytes(kCrashFlag, "");
  EXPECT_TRUE(WaitForLaunches(2));
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; }));
  EXPECT_EQ(Launches(), std::string(kExpectedCommandLine) + kExpectedCommandLine);
}

TEST_F(ServerControlTest, CrashWithoutAutoRestartOnlyShowsStopped) {
  Prepare(false);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  ASSERT_TRUE(WaitForLaunches(1));
  const std::string status = ControlText(window, Id(MainControl::StatusLine));

  directory.WriteBytes(kCrashFlag, "");
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStartCaption; },
                std::chrono::seconds(30)));
  // A restart would follow the detection within about two seconds.
  EXPECT_FALSE(WaitUntil([&] { return LineCount(Launches()) > 1; }, std::chrono::seconds(4)));
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)), status);
}

TEST_F(ServerControlTest, MissingServerShowsTheStartError) {
  Prepare(false, false);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));
  std::optional<SeenMessageBox> error = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(error);
  // The cause on a line of its own: no server where the tool starts it.
  EXPECT_EQ(error->text, " 启动服务端错误 - 请检查是否已经更新游戏服务端 \r\n 无法启动 " +
                             directory.File(std::string(kServerDir) + "\\PalServer.exe") + " (" +
                             CauseText(SystemErrorOf(ERROR_FILE_NOT_FOUND)) + ")");
  EXPECT_EQ(error->title, " Error");
  AnswerMessageBox(*error, IDOK);
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStartCaption);
}

TEST_F(ServerControlTest, DoubleQuoteInAPasswordIsRefusedBeforeAnyLaunch) {
  Prepare(false, true, "pa\"ss");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));
  std::optional<SeenMessageBox> error = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(error);
  EXPECT_EQ(error->text, " 服务器名字和密码中不能包含双引号 ");
  EXPECT_EQ(error->title, " Error");
  AnswerMessageBox(*error, IDOK);
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStartCaption);
  EXPECT_FALSE(directory.Exists(kLaunches));
}

TEST_F(ServerControlTest, ServerLeftByAnEarlierRunIsAdoptedAndThenStopped) {
  Prepare(false);
  const std::string serverDir = directory.File(kServerDir);
  // As an earlier run of the tool would have left it: running, with no tool around.
  ASSERT_NE(LaunchProcess(serverDir + "\\PalServer.exe", "\"PalServer.exe\" -earlier", false, 6,
                          serverDir + "\\"),
            0u);
  ASSERT_TRUE(WaitUntil([&] { return ProcessesBelow(serverDir).size() == 2; }));

  // Taken over at start-up, before any click: the window never shows a stopped server while one
  // runs on the save.
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; }));
  EXPECT_EQ(Launches(), "\"PalServer.exe\" -earlier\r\n");
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine))
                .rfind("运行中  ···  内核版本 (Run:0.1.5.0)  ···  ", 0),
            0u);

  StopWithYes(window);
  EXPECT_TRUE(WaitUntil([&] { return !ServerRunning(); }));
}

// The restart after a crash waits two seconds; a window closed meanwhile must not be "started"
// from its destroyed controls, which would save every value empty.
TEST_F(ServerControlTest, ClosingWhileACrashRestartWaitsKeepsEverySetting) {
  Prepare(true);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  ASSERT_TRUE(WaitForLaunches(1));
  const std::string saved = directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini");
  ASSERT_NE(saved.find("Port_Game=8211\r\n"), std::string::npos);

  directory.WriteBytes(kCrashFlag, "");
  ASSERT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStartCaption; },
                std::chrono::seconds(30)));
  CloseToolWindow(window);
  ASSERT_TRUE(tool->WaitForExit());
  EXPECT_EQ(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini"), saved);
  EXPECT_EQ(LineCount(Launches()), 1);
}

TEST_F(ServerControlTest, ClosingTheToolSavesTheSettingsAndLeavesTheServerRunning) {
  Prepare(false);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  ASSERT_TRUE(WaitForLaunches(1));
  SetControlText(window, Id(MainControl::MaxPlayersEdit), "40");

  CloseToolWindow(window);
  ASSERT_TRUE(tool->WaitForExit());
  EXPECT_FALSE(WaitForMessageBox(tool->Id(), std::chrono::milliseconds(0)));
  EXPECT_TRUE(ServerRunning());
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini").find("Max_Player=40\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tidemoor::testing
