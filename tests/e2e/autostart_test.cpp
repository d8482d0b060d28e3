// The tool started by hand or at the user's sign-in (--autostart), with 启动工具时自动开服 ticked
// or not, and with or without a server already running on the save.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/main_controls.h"
#include "platform/codepage_win.h"
#include "platform/process_win.h"
#include "server/server_world.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
constexpr char kLaunches[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\PalServer-launches.txt";
constexpr char kByTheTool[] =
    "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
    "-publiclobby -players=32 -servername=\"E2E Host\" -serverpassword=\"\" "
    "-adminpassword=admin-e2e-pw\r\n";
constexpr char kEarlier[] = "\"PalServer.exe\" -earlier\r\n";
constexpr char kAutoStartRecord[] = "启动工具时自动开服";

int Id(MainControl control) {
  return static_cast<int>(control);
}

void PrepareTool(const TempToolDirectory& directory, bool autoStart) {
  directory.InstallTool();
  directory.InstallFixture("taskkill.exe");
  directory.InstallFixture("PalServer.exe", kServerDir);
  directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", kServerDir);
  const std::string settings =
      "[服务端运行控制]\r\nHide_ServerConsole=0\r\nAuto_CheckServer=0\r\nCrash_Autorun=0\r\n"
      "Timeer_Autorestart=0\r\nUse_4To_optimize=0\r\nTimeer_Autobackup_Saved=0\r\n"
      "[服务器启动参数]\r\nPort_Game=8211\r\nPort_SteamList=27015\r\nMax_Player=32\r\n"
      "Admin_Password=admin-e2e-pw\r\nServer_Name=E2E Host\r\nOpen_community=1\r\n"
      "Connect_Password=\r\n[扩展设置]\r\nSafe_Stop=0\r\nAuto_Start=" +
      std::string(autoStart ? "1" : "0") + "\r\n";
  directory.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini", Utf8ToGbk(settings));
}

// As an earlier run of the tool would have left it: running, with no tool around.
bool LeaveServerRunning(const TempToolDirectory& directory) {
  const std::string serverDir = directory.File(kServerDir);
  if (LaunchProcess(serverDir + "\\PalServer.exe", "\"PalServer.exe\" -earlier", false, 6,
                    serverDir + "\\") == 0) {
    return false;
  }
  return WaitUntil([&] { return ProcessesBelow(serverDir).size() == 2; });
}

TEST(Autostart, ToolStartStartsTheServerOnlyWhenAskedAndNoneRuns) {
  struct Case {
    const char* name;
    const char* arguments;
    bool autoStart;
    bool serverLeftRunning;
    bool minimised;
    std::string launches;  // what the launcher recorded by the time the tool shows a server
    bool recorded;         // the event log tells of the automatic start
  };
  const Case cases[] = {
      {"at sign-in", "--autostart", true, false, true, kByTheTool, true},
      {"by hand", "", true, false, false, kByTheTool, true},
      {"at sign-in, server already running", "--autostart", true, true, true, kEarlier, false},
      {"at sign-in, not asked to start", "--autostart", false, false, true, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempToolDirectory directory("autostart");
    PrepareTool(directory, c.autoStart);
    if (c.serverLeftRunning) {
      ASSERT_TRUE(LeaveServerRunning(directory));
    }

    ToolProcess tool(directory, {}, c.arguments);
    HWND window = tool.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::IsIconic(window) != FALSE, c.minimised);
    if (c.launches.empty()) {
      // Once a click has been handled, start-up has finished, and a start would have saved the
      // settings as the start button does before anything else.
      const std::string settings = directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini");
      ClickControl(window, Id(MainControl::HideConsoleBox));
      ASSERT_TRUE(
          WaitUntil([&] { return IsControlChecked(window, Id(MainControl::HideConsoleBox)); }));
      EXPECT_EQ(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini"), settings);
      EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStartCaption);
    } else {
      EXPECT_TRUE(WaitUntil(
          [&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; },
          std::chrono::seconds(30)));
      EXPECT_TRUE(WaitUntil([&] { return directory.ReadBytes(kLaunches) == c.launches; }));
    }
    EXPECT_EQ(directory.ReadBytes(kLaunches), c.launches);

    CloseToolWindow(window);
    ASSERT_TRUE(tool.WaitForExit());
    const std::string log = directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
    EXPECT_EQ(log.find(kAutoStartRecord) != std::string::npos, c.recorded) << log;
  }
}

}  // namespace
}  // namespace tidemoor::testing
