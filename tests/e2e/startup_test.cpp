// Tidemoor.exe in a fresh tool directory: what a first-time user sees and what the tool leaves
// on disk when they close it.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <vector>

#include "app/main_controls.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace testing;
using C = MainControl;

constexpr char kSettingsFile[] = "PaLWorld_Data\\PaLWorld_Tools.ini";

int Id(C control) {
  return static_cast<int>(control);
}

std::string WindowTitleOf(HWND window) {
  return WindowText(window);
}

// Runs the tool until its main window shows, lets the check see it, then closes it.
void RunOnce(const TempToolDirectory& dir, const std::function<void(HWND)>& check = {}) {
  ToolProcess tool(dir);
  HWND window = tool.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  if (check) check(window);
  CloseToolWindow(window);
  ASSERT_TRUE(tool.WaitForExit());
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

TEST(Startup, FreshDirectoryShowsDefaultsAndSavesOnClose) {
  TempToolDirectory dir("fresh");
  dir.InstallTool();
  RunOnce(dir, [&](HWND window) {
    EXPECT_EQ(WindowTitleOf(window), "Tidemoor (Ver 1.0.0.3)  |  To: Velmora信息 velmora.example");
    for (const char* sub :
         {"PaLWorld_Data", "PaLWorld_Data\\steamapps", "PaLWorld_Data\\steamapps\\common",
          "PaLWorld_Data\\steamapps\\common\\PalServer"}) {
      EXPECT_TRUE(dir.Exists(sub)) << sub;
    }
    EXPECT_FALSE(dir.Exists(kSettingsFile)) << "the file appears only with the first save";

    for (C box : {C::HideConsoleBox, C::AutoUpdateBox, C::CrashRestartBox, C::IntervalRestartBox,
                  C::AutoBackupBox, C::CommunityBox}) {
      EXPECT_TRUE(IsControlChecked(window, Id(box))) << Id(box);
    }
    EXPECT_FALSE(IsControlChecked(window, Id(C::UseOptimizeFlagsBox)));
    EXPECT_FALSE(IsControlChecked(window, Id(C::MapPortsAtStartBox)));
    EXPECT_EQ(ControlText(window, Id(C::GamePortEdit)), "8211");
    EXPECT_EQ(ControlText(window, Id(C::QueryPortEdit)), "27015");
    EXPECT_EQ(ControlText(window, Id(C::MaxPlayersEdit)), "88");
    EXPECT_EQ(ControlText(window, Id(C::IntervalRestartMinutes)), "120");
    EXPECT_EQ(ControlText(window, Id(C::AutoBackupMinutes)), "10");
    EXPECT_EQ(ControlText(window, Id(C::JoinPasswordEdit)), "");
    EXPECT_TRUE(
        std::regex_match(ControlText(window, Id(C::AdminPasswordEdit)), std::regex("[a-z]{12}")));
    EXPECT_TRUE(std::regex_match(ControlText(window, Id(C::ServerNameEdit)),
                                 std::regex("Velmora服务器 - velmora\\.example - [a-z]{8}")));
    EXPECT_EQ(ControlText(window, Id(C::StartButton)), "启动服务端");
    EXPECT_EQ(ControlText(window, Id(C::StatusLine)), "等待服务端启动");
    EXPECT_EQ(ControlText(window, Id(C::IntervalRestartBox)), "自动间隔　　　　分钟重启");
  });

  ASSERT_TRUE(dir.Exists(kSettingsFile));
  const std::vector<std::string> lines = Lines(dir.ReadBytes(kSettingsFile));
  std::vector<std::string> names;
  for (const std::string& line : lines) names.push_back(line.substr(0, line.find('=')));
  const std::vector<std::string> expected = {Utf8ToGbk("[服务端运行控制]"),
                                             "Hide_ServerConsole",
                                             "Auto_CheckServer",
                                             "Crash_Autorun",
                                             "Timeer_Autorestart",
                                             "Timeer_Autorestart_Min",
                                             "Use_4To_optimize",
                                             "Timeer_Autobackup_Saved",
                                             "Timeer_Autobackup_Saved_Min",
                                             Utf8ToGbk("[服务器启动参数]"),
                                             "Port_Game",
                                             "Port_SteamList",
                                             "Max_Player",
                                             "Admin_Password",
                                             "Server_Name",
                                             "Open_community",
                                             "Connect_Password",
                                             Utf8ToGbk("[主程序设置]"),
                                             "Window_Title",
                                             Utf8ToGbk("[扩展设置]"),
                                             "Safe_Stop",
                                             "RestAPI_Port",
                                             "Restart_Notice",
                                             "Hang_Restart",
                                             "Backup_Keep",
                                             "Backup_Keep_Days",
                                             "Memory_Restart_GB",
                                             "UPnP_Map",
                                             "Run_At_Logon",
                                             "Auto_Start",
                                             "Webhook_URL_1",
                                             "Webhook_URL_2",
                                             "Webhook_URL_3",
                                             "Webhook_Secret_1",
                                             "Webhook_Secret_2",
                                             "Webhook_Secret_3",
                                             "Notify_Events",
                                             "Update_Check_Min",
                                             "Keep_Awake",
                                             "Whitelist",
                                             "GameData_Api",
                                             "Remote_Kook",
                                             "Kook_Token",
                                             "Kook_Channels",
                                             "Remote_Admins",
                                             "Kook_Api",
                                             "WorldOption_Kept"};
  EXPECT_EQ(names, expected);
  ASSERT_EQ(lines.size(), expected.size());
  EXPECT_EQ(lines[18], Utf8ToGbk("Window_Title=Tidemoor (Ver 1.0.0.3)  |  To: Velmora信息 "
                                 "velmora.example"));
  EXPECT_EQ(
      std::vector<std::string>(lines.end() - 27, lines.end()),
      (std::vector<std::string>{"Safe_Stop=1",
                                "RestAPI_Port=8212",
                                "Restart_Notice=1",
                                "Hang_Restart=1",
                                "Backup_Keep=0",
                                "Backup_Keep_Days=0",
                                "Memory_Restart_GB=0",
                                "UPnP_Map=0",
                                "Run_At_Logon=0",
                                "Auto_Start=0",
                                "Webhook_URL_1=",
                                "Webhook_URL_2=",
                                "Webhook_URL_3=",
                                "Webhook_Secret_1=",
                                "Webhook_Secret_2=",
                                "Webhook_Secret_3=",
                                "Notify_Events=crash,crashloop,hang,restart,update,backup,start",
                                "Update_Check_Min=30",
                                "Keep_Awake=1",
                                "Whitelist=0",
                                "GameData_Api=0",
                                "Remote_Kook=0",
                                "Kook_Token=",
                                "Kook_Channels=",
                                "Remote_Admins=",
                                "Kook_Api=https://www.kookapp.cn/api/v3",
                                "WorldOption_Kept="}));
}

TEST(Startup, SavedValuesComeBackAndFlagsOtherThanOneUntick) {
  TempToolDirectory dir("flags");
  dir.InstallTool();
  dir.WriteBytes(kSettingsFile, Utf8ToGbk("[服务端运行控制]\r\nHide_ServerConsole=yes\r\n"
                                          "[服务器启动参数]\r\nServer_Name=Alpha [EU]\r\n"
                                          "Admin_Password=secret\r\n"
                                          "[主程序设置]\r\nWindow_Title=我的服务器\r\n"));
  RunOnce(dir, [&](HWND window) {
    EXPECT_FALSE(IsControlChecked(window, Id(C::HideConsoleBox)));
    EXPECT_TRUE(IsControlChecked(window, Id(C::AutoUpdateBox)));
    EXPECT_EQ(ControlText(window, Id(C::AdminPasswordEdit)), "secret");
    EXPECT_EQ(ControlText(window, Id(C::ServerNameEdit)), "Alpha [EU]");
    EXPECT_EQ(WindowTitleOf(window), "我的服务器");
  });
  const std::string bytes = dir.ReadBytes(kSettingsFile);
  EXPECT_NE(bytes.find("Hide_ServerConsole=0\r\n"), std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToGbk("Server_Name=Alpha 【EU】\r\n")), std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToGbk("Window_Title=我的服务器\r\n")), std::string::npos);
}

// What the user changes in the main window is what the file keeps: every check box clicked once
// (from its default) and every edit box typed into, then the window closed.
TEST(Startup, EveryBoxClickedAndEveryEditTypedIsSavedOnClose) {
  struct Change {
    C control;
    const char* typed;  // nullptr: a check box, clicked once
    const char* saved;
  };
  const std::vector<Change> changes = {
      {C::HideConsoleBox, nullptr, "Hide_ServerConsole=0"},
      {C::AutoUpdateBox, nullptr, "Auto_CheckServer=0"},
      {C::CrashRestartBox, nullptr, "Crash_Autorun=0"},
      {C::IntervalRestartBox, nullptr, "Timeer_Autorestart=0"},
      {C::IntervalRestartMinutes, "45", "Timeer_Autorestart_Min=45"},
      {C::UseOptimizeFlagsBox, nullptr, "Use_4To_optimize=1"},
      {C::AutoBackupBox, nullptr, "Timeer_Autobackup_Saved=0"},
      {C::AutoBackupMinutes, "7", "Timeer_Autobackup_Saved_Min=7"},
      {C::GamePortEdit, "9000", "Port_Game=9000"},
      {C::QueryPortEdit, "27100", "Port_SteamList=27100"},
      {C::MaxPlayersEdit, "12", "Max_Player=12"},
      {C::AdminPasswordEdit, "管理 pw", "Admin_Password=管理 pw"},
      {C::ServerNameEdit, "Beta 服务器", "Server_Name=Beta 服务器"},
      {C::CommunityBox, nullptr, "Open_community=0"},
      {C::JoinPasswordEdit, "join", "Connect_Password=join"},
      {C::SafeStopBox, nullptr, "Safe_Stop=0"},
      {C::RestApiPortEdit, "8300", "RestAPI_Port=8300"},
      {C::RestartNoticeBox, nullptr, "Restart_Notice=0"},
      {C::HangRestartBox, nullptr, "Hang_Restart=0"},
      {C::MapPortsAtStartBox, nullptr, "UPnP_Map=1"},
      {C::AutoStartBox, nullptr, "Auto_Start=1"},
      {C::UpdateCheckMinutes, "45", "Update_Check_Min=45"},
  };
  TempToolDirectory dir("changed");
  dir.InstallTool();
  RunOnce(dir, [&](HWND window) {
    for (const Change& change : changes) {
      if (change.typed) {
        SetControlText(window, Id(change.control), change.typed);
      } else {
        ClickControl(window, Id(change.control));
      }
    }
  });
  const std::vector<std::string> lines = Lines(dir.ReadBytes(kSettingsFile));
  for (const Change& change : changes) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), Utf8ToGbk(change.saved)), lines.end())
        << change.saved;
  }
}

TEST(Startup, SecondSaveWithoutChangesKeepsTheSameBytes) {
  TempToolDirectory dir("twice");
  dir.InstallTool();
  RunOnce(dir);
  const std::string first = dir.ReadBytes(kSettingsFile);
  RunOnce(dir);
  EXPECT_EQ(dir.ReadBytes(kSettingsFile), first);
}

// ctest runs this suite a second time with Wine on code page 1252 (see tests/CMakeLists.txt); the
// tool inherits that code page from the test.
TEST(WesternCodePage, SettingsFileStaysGbk) {
  if (::GetACP() != 1252) GTEST_SKIP() << "runs in the code page 1252 pass";
  TempToolDirectory dir("cp1252");
  dir.InstallTool();
  RunOnce(dir);
  const std::string bytes = dir.ReadBytes(kSettingsFile);
  EXPECT_NE(bytes.find(Utf8ToGbk("[服务端运行控制]")), std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToGbk("Velmora服务器 - velmora.example - ")), std::string::npos);
  // Reading it back on the same code page gives the same Chinese texts.
  RunOnce(dir, [&](HWND window) {
    EXPECT_EQ(ControlText(window, Id(C::ServerNameEdit)).rfind("Velmora服务器 - ", 0), 0u);
  });
}

}  // namespace
}  // namespace tidemoor
