// The server's installation and update through SteamCMD, with the fixture Steamcmd.exe standing
// in for Valve's program. Steamcmd.exe is always placed beforehand, so nothing is downloaded.

#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <vector>

#include "app/main_controls.h"
#include "install/update_scripts.h"
#include "server/server_world.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
constexpr char kLaunches[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\PalServer-launches.txt";
constexpr char kSteamCmd[] = "PaLWorld_Data\\Steamcmd.exe";
constexpr char kSteamCmdRuns[] = "PaLWorld_Data\\Steamcmd-runs.txt";
constexpr char kManualScript[] = "PaLWorld_Data\\Updata_Server.bat";
constexpr char kAutoScript[] = "PaLWorld_Data\\Updata_Server_Auto.bat";
constexpr char kEventLog[] = "PaLWorld_Data\\Tidemoor.log";
constexpr char kSteamCmdArguments[] = "+login anonymous +app_update 2394010 validate +quit";

int Id(MainControl control) {
  return static_cast<int>(control);
}

// Every process started, directly or further down, by the given one.
std::vector<DWORD> DescendantsOf(DWORD root) {
  std::multimap<DWORD, DWORD> children;
  UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    children.emplace(entry.th32ParentProcessID, entry.th32ProcessID);
  }
  std::vector<DWORD> found{root};
  for (size_t i = 0; i < found.size(); ++i) {
    auto [first, last] = children.equal_range(found[i]);
    for (auto it = first; it != last; ++it) found.push_back(it->second);
  }
  found.erase(found.begin());
  return found;
}

void Terminate(DWORD id, UINT exitCode = 1) {
  UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
  if (process && ::TerminateProcess(process.get(), exitCode)) {
    ::WaitForSingleObject(process.get(), 5000);
  }
}

class InstallUpdateTest : public ::testing::Test {
 protected:
  ~InstallUpdateTest() override {
    // The server and the manual script's console (waiting at "pause") outlive the tool.
    if (tool) {
      for (DWORD id : DescendantsOf(tool->Id())) Terminate(id);
    }
  }

  void Prepare(bool autoUpdate) {
    directory.InstallTool();
    directory.InstallFixture("taskkill.exe");
    const std::string settings =
        "[服务端运行控制]\r\nHide_ServerConsole=0\r\nAuto_CheckServer=" +
        std::string(autoUpdate ? "1" : "0") +
        "\r\nCrash_Autorun=0\r\nTimeer_Autorestart=0\r\nUse_4To_optimize=0\r\n"
        "Timeer_Autobackup_Saved=0\r\n[服务器启动参数]\r\nPort_Game=8211\r\n"
        "Admin_Password=admin-e2e-pw\r\nServer_Name=E2E Host\r\n";
    directory.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini", Utf8ToGbk(settings));
  }

  // SteamCMD in place, with the server it "installs" beside it.
  void PlaceSteamCmd() {
    directory.InstallFixture("Steamcmd.exe", "PaLWorld_Data");
    directory.InstallFixture("PalServer.exe", "PaLWorld_Data\\steamcmd-payload");
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", "PaLWorld_Data\\steamcmd-payload");
  }

  void PlaceServer() {
    directory.InstallFixture("PalServer.exe", kServerDir);
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", kServerDir);
  }

  HWND OpenTool() {
    tool.emplace(directory);
    HWND window = tool->WaitForMainWindow();
    EXPECT_NE(window, nullptr);
    return window;
  }

  bool Shows(HWND window, MainControl control, std::string_view text) {
    return WaitUntil([&] { return ControlText(window, Id(control)) == text; },
                     std::chrono::seconds(30));
  }

  void Start(HWND window) {
    ClickControl(window, Id(MainControl::StartButton));
    ASSERT_TRUE(Shows(window, MainControl::StartButton, kStopCaption));
  }

  std::optional<SeenMessageBox> PressManualUpdate(HWND window) {
    PressLabel(window, Id(MainControl::ManualUpdateLabel));
    std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
    EXPECT_TRUE(question);
    if (question) {
      EXPECT_EQ(question->text, " 现在开始更新游戏服务端.会终止现在的运行? ");
      EXPECT_EQ(question->title, " Quiz");
    }
    return question;
  }

  TempToolDirectory directory;
  std::optional<ToolProcess> tool;

 public:
  explicit InstallUpdateTest(std::string_view hint = "update") : directory(hint) {}
};

class AutoUpdateTest : public InstallUpdateTest, public ::testing::WithParamInterface<const char*> {
 public:
  AutoUpdateTest() : InstallUpdateTest(GetParam()) {}
};

// A blank and an ampersand in the tool directory must not split or redirect the script's run.
INSTANTIATE_TEST_SUITE_P(ToolDirectories, AutoUpdateTest,
                         ::testing::Values("update", "My Host & Co"));

TEST_P(AutoUpdateTest, StartRunsTheScriptToItsEndThenLaunchesTheInstalledServer) {
  Prepare(true);
  PlaceSteamCmd();
  // A program named like the path's text before its first blank, as another program could lie
  // in wait there: an unquoted command line would run it instead of the script.
  const std::string path = directory.Path();
  const size_t blank = path.find(' ');
  const std::string decoy = blank == std::string::npos ? "" : path.substr(0, blank) + ".exe";
  const std::string decoyRuns = path.substr(0, path.rfind('\\')) + "\\Steamcmd-runs.txt";
  if (!decoy.empty()) {
    ::CopyFileW(Widen(BinDirectory() + "\\fixtures\\Steamcmd.exe").c_str(), Widen(decoy).c_str(),
                FALSE);
  }
  directory.WriteBytes("PaLWorld_Data\\steamcmd-progress.flag", "");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));

  // SteamCMD's download shows in the status line and the bar under it moves, while no console
  // window opens for it.
  const HWND bar = ::GetDlgItem(window, Id(MainControl::InstallProgressBar));
  int firstPosition = -1;
  EXPECT_TRUE(WaitUntil([&] {
    const std::string status = ControlText(window, Id(MainControl::StatusLine));
    if (!status.starts_with("正在下载游戏服务端 ") || status.find('%') == std::string::npos ||
        !::IsWindowVisible(bar)) {
      return false;
    }
    const int position = static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
    if (firstPosition < 0) firstPosition = position;
    return position > firstPosition;
  })) << ControlText(window, Id(MainControl::StatusLine))
      << " " << firstPosition << "\n"
      << directory.ReadBytes("PaLWorld_Data\\steamcmd_update.txt");
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(bar); }));
  ASSERT_TRUE(Shows(window, MainControl::StartButton, kStopCaption));
  EXPECT_EQ(directory.ReadBytes("PaLWorld_Data\\steamcmd-console.txt"), "none\r\n");

  EXPECT_EQ(directory.ReadBytes(kAutoScript), Utf8ToGbk(AutoUpdateScript()));
  const std::string runs = directory.ReadBytes(kSteamCmdRuns);
  EXPECT_NE(runs.find(kSteamCmdArguments), std::string::npos) << runs;
  // The script starts in the tool directory and changes into the data directory itself.
  EXPECT_NE(runs.find(" | " + directory.File("PaLWorld_Data") + "\r\n"), std::string::npos) << runs;
  // The server only exists once SteamCMD has run, so its launch proves the order.
  EXPECT_TRUE(WaitUntil([&] { return directory.Exists(kLaunches); }));
  EXPECT_TRUE(WaitUntil([&] {
    return directory.ReadBytes(kEventLog).find("自动更新服务端: SteamCMD 运行结束, 退出代码 0") !=
           std::string::npos;
  })) << directory.ReadBytes(kEventLog);
  // The running server keeps the PC awake (Keep_Awake is on unless the host turns it off).
  EXPECT_TRUE(WaitUntil([&] {
    // Wine has no power requests: there the event log tells why the PC could not be kept awake.
    return directory.ReadBytes(kEventLog).find("阻止电脑睡眠") != std::string::npos;
  })) << directory.ReadBytes(kEventLog);
  if (!decoy.empty()) {
    EXPECT_EQ(::GetFileAttributesW(Widen(decoyRuns).c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileW(Widen(decoy).c_str());
    ::DeleteFileW(Widen(decoyRuns).c_str());
  }
}

// SteamCMD's exit code comes back through the script: a failed update job is told in the event
// log, and the start goes on with the server that is installed.
TEST_F(InstallUpdateTest, AFailedUpdateBeforeTheStartIsLoggedAndTheServerStarts) {
  Prepare(true);
  PlaceSteamCmd();
  PlaceServer();
  directory.WriteBytes("PaLWorld_Data\\steamcmd-exit.txt", "8");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  EXPECT_TRUE(WaitUntil([&] { return directory.Exists(kLaunches); }));
  const auto logged = [&](const std::string& line) {
    return WaitUntil(
        [&] { return directory.ReadBytes(kEventLog).find(line) != std::string::npos; });
  };
  EXPECT_TRUE(logged("自动更新服务端: SteamCMD 运行结束, 退出代码 8"))
      << directory.ReadBytes(kEventLog);
  EXPECT_TRUE(logged(
      "启动前自动更新服务端失败: SteamCMD 运行结束, 退出代码 8 (Error! App '2394010' state is "
      "0x602 after update job.) - 以已安装的服务端启动"));
}

// A shortcut, the task scheduler or a prompt may start the tool from another directory; the
// automatic script changes into PaLWorld_Data relative to the tool's own.
TEST_F(InstallUpdateTest, StartedFromAnotherDirectoryStillUpdatesAndLaunches) {
  Prepare(true);
  PlaceSteamCmd();
  const std::string parent = directory.Path().substr(0, directory.Path().rfind('\\'));
  tool.emplace(directory, parent);
  HWND window = tool->WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  Start(window);
  EXPECT_NE(directory.ReadBytes(kSteamCmdRuns).find(kSteamCmdArguments), std::string::npos);
  EXPECT_TRUE(WaitUntil([&] { return directory.Exists(kLaunches); }));
}

// The copy of SteamCMD that Tidemoor.exe carries (built with TIDEMOOR_STEAMCMD), if any.
std::string CarriedSteamCmd(const std::string& tool) {
  HMODULE module = ::LoadLibraryExW(Widen(tool).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return {};
  std::string bytes;
  if (HRSRC resource = ::FindResourceW(module, L"STEAMCMD", MAKEINTRESOURCEW(10))) {
    if (const void* data = ::LockResource(::LoadResource(module, resource))) {
      bytes.assign(static_cast<const char*>(data), ::SizeofResource(module, resource));
    }
  }
  ::FreeLibrary(module);
  return bytes;
}

// Only for a build that carries the fixture in place of Valve's program, which must never run
// in a test.
TEST_F(InstallUpdateTest, FirstStartWritesTheCarriedSteamCmd) {
  std::ifstream in(Widen(BinDirectory() + "\\fixtures\\Steamcmd.exe").c_str(), std::ios::binary);
  const std::string steamCmd((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (CarriedSteamCmd(BinDirectory() + "\\Tidemoor.exe") != steamCmd) {
    GTEST_SKIP() << "Tidemoor.exe does not carry the fixture Steamcmd.exe";
  }
  Prepare(true);
  directory.InstallFixture("PalServer.exe", "PaLWorld_Data\\steamcmd-payload");
  directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", "PaLWorld_Data\\steamcmd-payload");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  EXPECT_EQ(directory.ReadBytes(kSteamCmd), steamCmd);
  EXPECT_FALSE(directory.Exists("PaLWorld_Data\\Steamcmd.exe.partial"));
  EXPECT_NE(directory.ReadBytes(kSteamCmdRuns).find(kSteamCmdArguments), std::string::npos);
  EXPECT_TRUE(WaitUntil([&] { return directory.Exists(kLaunches); }));
}

TEST_F(InstallUpdateTest, WithoutAutoUpdateNothingIsWrittenBeforeTheStart) {
  Prepare(false);
  PlaceServer();
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  EXPECT_TRUE(WaitUntil([&] { return directory.Exists(kLaunches); }));
  EXPECT_FALSE(directory.Exists(kSteamCmd));
  EXPECT_FALSE(directory.Exists(kAutoScript));
}

TEST_F(InstallUpdateTest, AnExistingSteamCmdIsLeftByteForByte) {
  Prepare(true);
  PlaceServer();
  const std::string foreign("MZ but not really a program\0\xFF", 29);
  directory.WriteBytes(kSteamCmd, foreign);
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  EXPECT_EQ(directory.ReadBytes(kAutoScript), Utf8ToGbk(AutoUpdateScript()));
  EXPECT_EQ(directory.ReadBytes(kSteamCmd), foreign);
}

TEST_F(InstallUpdateTest, ManualUpdateAnsweredNoChangesNothing) {
  Prepare(false);
  PlaceServer();
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);
  const std::string status = ControlText(window, Id(MainControl::StatusLine));

  auto question = PressManualUpdate(window);
  ASSERT_TRUE(question);
  AnswerMessageBox(*question, IDNO);
  EXPECT_FALSE(WaitForMessageBox(tool->Id(), std::chrono::seconds(1)));
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStopCaption);
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)), status);
  EXPECT_FALSE(directory.Exists(kManualScript));
  EXPECT_FALSE(directory.Exists(kSteamCmd));
}

TEST_F(InstallUpdateTest, ManualUpdateAnsweredYesStopsTheServerThenOpensTheScript) {
  Prepare(false);
  PlaceServer();
  PlaceSteamCmd();
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  Start(window);

  auto question = PressManualUpdate(window);
  ASSERT_TRUE(question);
  AnswerMessageBox(*question, IDYES);
  EXPECT_TRUE(Shows(window, MainControl::StartButton, kStartCaption));
  EXPECT_EQ(ControlText(window, Id(MainControl::StatusLine)), "游戏服务端版本 (等待服务端启动)");

  // The script opens in a console of its own, from the data directory.
  // The fixture may be seen between creating its record and writing the line.
  std::string runs;
  ASSERT_TRUE(WaitUntil([&] { return (runs = directory.ReadBytes(kSteamCmdRuns)).ends_with("\n"); },
                        std::chrono::seconds(30)));
  EXPECT_EQ(directory.ReadBytes(kManualScript), Utf8ToGbk(ManualUpdateScript()));
  EXPECT_NE(runs.find(kSteamCmdArguments), std::string::npos) << runs;
  EXPECT_NE(runs.find(" | " + directory.File("PaLWorld_Data") + "\r\n"), std::string::npos) << runs;
  // The server is not started again.
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStartCaption);

  // The console waits at "pause"; whatever it ends with is logged once it is gone.
  for (DWORD id : DescendantsOf(tool->Id())) Terminate(id, 7);
  EXPECT_TRUE(WaitUntil([&] {
    return directory.ReadBytes(kEventLog).find("手动更新服务端: SteamCMD 运行结束, 退出代码 7") !=
           std::string::npos;
  })) << directory.ReadBytes(kEventLog);
}

}  // namespace
}  // namespace tidemoor::testing
