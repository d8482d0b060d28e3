#pragma once
// A tool directory with the fixture server whose REST API answers (or stays silent), the tool
// driving it, and what the fixtures recorded: the API's calls, the kills, the launches.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/main_controls.h"
#include "app/run_options.h"
#include "platform/codepage_win.h"
#include "platform/http_client_win.h"
#include "server/rest_api.h"
#include "server/server_world.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {

inline constexpr char kRigServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
inline constexpr char kRigServerFile[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\";
// Long enough that the tool does not warn of a weak password before the start.
inline constexpr char kRigAdminPassword[] = "admin-e2e-pw";
inline constexpr char kRigWorldSettings[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved\\Config\\WindowsServer\\"
    "PalWorldSettings.ini";

struct RigOptions {
  int apiPort = 18230;   // each test its own, so a server another test left cannot answer
  bool safeStop = true;  // off: the tool leaves PalWorldSettings.ini as the test wrote it
  bool crashRestart = false;
  bool hangRestart = false;
  bool intervalRestart = false;
  int intervalMinutes = 120;
  bool restartNotice = false;
  std::string adminPassword = kRigAdminPassword;
  std::string memoryRestartGb = "0";
  std::string extendedSettings;  // more lines of [扩展设置], each ended by CR LF
};

class LifecycleRig : public ::testing::Test {
 protected:
  void Prepare(const RigOptions& options) {
    port_ = options.apiPort;
    directory.InstallTool();
    directory.InstallFixture("taskkill.exe");
    directory.InstallFixture("PalServer.exe", kRigServerDir);
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", kRigServerDir);
    auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    const std::string settings =
        "[服务端运行控制]\r\nHide_ServerConsole=0\r\nAuto_CheckServer=0\r\nCrash_Autorun=" +
        flag(options.crashRestart) + "\r\nTimeer_Autorestart=" + flag(options.intervalRestart) +
        "\r\nTimeer_Autorestart_Min=" + std::to_string(options.intervalMinutes) +
        "\r\nUse_4To_optimize=0\r\nTimeer_Autobackup_Saved=0\r\n"
        "[服务器启动参数]\r\nPort_Game=8211\r\nPort_SteamList=27015\r\nMax_Player=32\r\n"
        "Admin_Password=" +
        options.adminPassword +
        "\r\nServer_Name=E2E Host\r\nOpen_community=1\r\n"
        "Connect_Password=\r\n[扩展设置]\r\nSafe_Stop=" +
        flag(options.safeStop) + "\r\nRestAPI_Port=" + std::to_string(options.apiPort) +
        "\r\nRestart_Notice=" + flag(options.restartNotice) +
        "\r\nHang_Restart=" + flag(options.hangRestart) +
        "\r\nMemory_Restart_GB=" + options.memoryRestartGb + "\r\n" + options.extendedSettings;
    directory.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini", Utf8ToGbk(settings));
  }

  // testSettings: what follows --test-settings= (checks every second instead of every minute).
  HWND OpenTool(std::string_view testSettings = {}) {
    tool.emplace(
        directory, std::string_view{},
        testSettings.empty() ? std::string() : kTestSettingsSwitch + std::string(testSettings));
    HWND window = tool->WaitForMainWindow();
    EXPECT_NE(window, nullptr);
    return window;
  }

  static int Id(MainControl control) { return static_cast<int>(control); }
  static int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  std::string ServerFile(std::string_view name) const {
    return directory.ReadBytes(kRigServerFile + std::string(name));
  }
  // Like the real server, the fixture refuses a POST that does not state its length and never
  // records it: every call found here got past that check.
  std::string ApiCalls() const { return ServerFile("PalServer-api.txt"); }
  std::string Kills() const { return directory.ReadBytes("taskkill-calls.txt"); }
  // The tool writes its log from a thread of its own, a moment after what a test saw happen:
  // the log is read once it has stopped growing.
  std::string EventLog() const {
    std::string seen = directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
    for (int settled = 0; settled < 20; ++settled) {
      ::Sleep(100);
      std::string now = directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
      if (now == seen) break;
      seen = std::move(now);
    }
    return seen;
  }
  int Launches() const { return Lines(ServerFile("PalServer-launches.txt")); }
  bool ServerRunning() const { return !ProcessesBelow(directory.File(kRigServerDir)).empty(); }
  void PutFlag(std::string_view name) const {
    directory.WriteBytes(kRigServerFile + std::string(name), "");
  }

  // Starts by the button and waits until the server's API has answered once.
  void StartAndWaitForTheApi(HWND window) {
    ClickControl(window, Id(MainControl::StartButton));
    ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(30)));
    ASSERT_TRUE(WaitUntil([&] { return ApiAnswers(); }, std::chrono::seconds(20)));
  }

  // Asks the fixture's API for info the way the tool does, from this test program.
  bool ApiAnswers() const {
    const RestRequest info = InfoRequest(RestEndpoint{port_, kRigAdminPassword});
    const HttpCall call{info.method, info.url, info.headers, info.body};
    return HttpRequest(call, {std::chrono::seconds(2), std::chrono::seconds(5), 65536}).status ==
           200;
  }

  void StopWithYes(HWND window) {
    ClickControl(window, Id(MainControl::StartButton));
    std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
    ASSERT_TRUE(question);
    AnswerMessageBox(*question, IDYES);
  }

  bool ShowsStopped(HWND window) const {
    return ControlText(window, Id(MainControl::StartButton)) == kStartCaption;
  }

  TempToolDirectory directory{"lifecycle"};
  std::optional<ToolProcess> tool;
  int port_ = 0;
};

}  // namespace tidemoor::testing
