// The pictures of the user guide, made again after every change to a window: a first start from an
// empty folder through 开服向导 (the fixture SteamCMD "downloads" the fixture server, the fake
// router maps), then every window of the tool as the running server fills it. Each window's
// client area goes to <name>.bmp in %TIDEMOOR_SCREENSHOTS%, and the event log as it stands at the
// end beside them; scripts/screenshots.sh turns them into docs/*.png. Not part of the test run: it
// checks only that each window appeared.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/first_start_guide_win.h"
#include "app/main_controls.h"
#include "app/run_options.h"
#include "app/start_with_windows.h"
#include "backup/backup_manager_win.h"
#include "e2e/first_start_rig.h"
#include "mods/mods_window_win.h"
#include "net/alerts_window_win.h"
#include "net/connection_doctor_win.h"
#include "platform/codepage_win.h"
#include "platform/date_time.h"
#include "platform/whole_file_win.h"
#include "remote/remote_window_win.h"
#include "server/metrics_window_win.h"
#include "server/player_admin.h"
#include "server/player_records_page_win.h"
#include "server/players_window_win.h"
#include "server/server_metrics_log.h"
#include "server/server_world.h"
#include "server/whitelist_page_win.h"
#include "support/caption_pixels_win.h"
#include "support/e2e_win.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor::testing {
namespace {

using G = GuideControl;
using M = MainControl;

template <typename Control>
int Id(Control control) {
  return static_cast<int>(control);
}

// What the screen shows of the window's client area, as a 32-bit top-down BMP.
void Save(HWND window, const std::string& name) {
  ASSERT_NE(window, nullptr) << name;
  // Clear of the screen's corner, where Wine may leave a dark patch of its own, and whole on the
  // screen (what lies beyond its edge cannot be copied).
  RECT outer{};
  ::GetWindowRect(window, &outer);
  const int left =
      std::clamp<int>(::GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left), 0, 320);
  ::SetWindowPos(window, HWND_TOP, left, 160, 0, 0, SWP_NOSIZE);
  ::SetForegroundWindow(window);
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  // A moment to paint, and painting is done only when the picture has more than one colour.
  WaitUntil([] { return false; }, std::chrono::seconds(1));
  std::optional<ScreenShot> shot;
  WaitUntil(
      [&] {
        shot.emplace(window);
        for (int y = 0; y < shot->Height(); ++y) {
          for (int x = 0; x < shot->Width(); ++x) {
            if (shot->At(x, y) != shot->At(0, 0)) return true;
          }
        }
        return false;
      },
      std::chrono::seconds(10));
  const char* folder = std::getenv("TIDEMOOR_SCREENSHOTS");
  ASSERT_NE(folder, nullptr);
  const uint32_t pixelBytes = static_cast<uint32_t>(shot->Width()) * shot->Height() * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + pixelBytes;
  info.biSize = sizeof(info);
  info.biWidth = shot->Width();
  info.biHeight = -shot->Height();
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biCompression = BI_RGB;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  for (int y = 0; y < shot->Height(); ++y) {
    for (int x = 0; x < shot->Width(); ++x) {
      const uint32_t pixel = shot->At(x, y);
      bytes.append(reinterpret_cast<const char*>(&pixel), 4);
    }
  }
  EXPECT_TRUE(
      static_cast<bool>(ReplaceWholeFile(std::string(folder) + "\\" + name + ".bmp", bytes)))
      << name;
}

// Opens a window of the tool by its label in the main window, pictures it and closes it.
HWND OpenByLabel(const ToolProcess& tool, HWND main, M label, std::string_view title) {
  PressLabel(main, Id(label));
  const HWND window = WaitForWindowOfProcess(tool.Id(), title);
  EXPECT_NE(window, nullptr) << title;
  return window;
}

TEST(WindowScreenshots, EveryWindowOfAFirstEvening) {
  FirstStartRig rig("screenshots");
  TempToolDirectory& dir = rig.dir;
  ToolProcess tool(dir, std::string_view{}, rig.testSettings);
  const HWND main = tool.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const HWND guide = WaitForWindowOfProcess(tool.Id(), kGuideTitle);
  SetControlText(guide, Id(G::NameEdit), "我和朋友的帕鲁世界");
  Save(guide, "first-start-guide");
  // The firewall step needs Windows' administrator prompt, which nobody answers here.
  ClickControl(guide, Id(G::FirewallBox));
  ClickControl(guide, Id(G::GoButton));
  ASSERT_TRUE(WaitUntil([&] { return !ControlText(guide, Id(G::StartVerdict)).empty(); },
                        std::chrono::seconds(90)));
  WaitUntil(
      [&] { return ControlText(guide, Id(G::Conclusion)).find("好友") != std::string::npos; });
  Save(guide, "first-start-guide-done");
  CloseToolWindow(guide);
  ASSERT_TRUE(WaitUntil([&] { return !ControlText(main, Id(M::LiveStatusLine)).empty(); },
                        std::chrono::seconds(30)));
  Save(main, "main-window");

  Save(OpenByLabel(tool, main, M::WorldSettingsLabel, WorldSettingsWindow::kKind.title),
       "world-settings");
  CloseToolWindow(FindWindowOfProcess(tool.Id(), WorldSettingsWindow::kKind.title));

  const HWND backups = OpenByLabel(tool, main, M::BackupManagerLabel, kBackupManagerTitle);
  ClickControl(backups, Id(BackupManagerControl::CreateButton));
  if (const std::optional<SeenMessageBox> made =
          WaitForMessageBox(tool.Id(), std::chrono::seconds(60))) {
    AnswerMessageBox(*made, IDOK);
  }
  Save(backups, "backup-manager");
  CloseToolWindow(backups);

  const HWND players = OpenByLabel(tool, main, M::PlayersLabel, kPlayersWindowTitle);
  WaitUntil([&] { return ListRowCount(::GetDlgItem(players, Id(PlayersControl::List))) > 0; },
            std::chrono::seconds(30));
  Save(players, "players");
  // The other tabs, each as the host opens it: 白名单 with one friend, then 玩家记录.
  dir.WriteBytes("PaLWorld_Data\\Whitelist.txt", "steam_76561198000000001\t小明\t1765300000\r\n");
  const HWND pages = ::GetDlgItem(players, Id(PlayersControl::Pages));
  ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  WaitUntil([&] { return ListRowCount(::GetDlgItem(players, Id(WhitelistControl::List))) > 0; });
  Save(players, "players-whitelist");
  ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  WaitUntil([&] { return ListRowCount(::GetDlgItem(players, Id(RecordsControl::List))) > 0; });
  Save(players, "players-records");
  CloseToolWindow(players);

  // A week as a small server has it: friends in the evenings, FPS dipping when they are on, the
  // memory climbing until a restart each night at 4, and the tool closed for a while one day.
  const int64_t now = SecondsSince1970();
  std::string week;
  for (int64_t minute = 7 * 1440; minute > 0; --minute) {
    const int64_t at = now - minute * 60;
    if (minute > 2 * 1440 && minute < 2 * 1440 + 300) continue;
    const int hour = static_cast<int>(at / 3600 % 24 + 8) % 24;
    const int players = hour >= 19 ? static_cast<int>(3 + at / 600 % 5) : hour >= 12 ? 1 : 0;
    const uint64_t gb = 1ull << 30;
    const uint64_t memory = 5 * gb + static_cast<uint64_t>((hour + 20) % 24) * gb / 4;
    week += MetricsLine({at, players, 60 - players * 2, memory});
  }
  dir.WriteBytes("PaLWorld_Data\\Metrics.tsv", week);
  const HWND metrics = OpenByLabel(tool, main, M::MetricsLabel, kMetricsWindowTitle);
  ::Sleep(1500);  // the week is read on a worker, then drawn
  Save(metrics, "metrics-chart");
  CloseToolWindow(metrics);

  const std::string workshop = "PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\Workshop\\";
  dir.WriteBytes(workshop + "3456789012\\Info.json",
                 R"({"ModName":"更多箱子","PackageName":"MoreChests","Version":"1.2.0",)"
                 R"("Author":"Mira","Dependencies":["UE4SSExperimentalPW"],)"
                 R"("InstallRule":[{"Type":"Lua","IsServer":true,"Targets":["Scripts"]}]})");
  dir.WriteBytes(workshop + "UE4SSExperimentalPW\\Info.json",
                 R"({"ModName":"UE4SS Experimental","PackageName":"UE4SSExperimentalPW",)"
                 R"("Version":"3.0.1","Author":"UE4SS",)"
                 R"("InstallRule":[{"Type":"UE4SS","IsServer":true,"Targets":["."]}]})");
  dir.WriteBytes(workshop + "BetterUI\\Info.json",
                 R"({"ModName":"界面美化","PackageName":"BetterUI","Version":"0.9","Author":"Kai",)"
                 R"("InstallRule":[{"Type":"Paks","IsServer":false,"Targets":["Pal"]}]})");
  const HWND mods = OpenByLabel(tool, main, M::ModsLabel, kModsWindowTitle);
  WaitUntil([&] { return ListRowCount(::GetDlgItem(mods, Id(ModsControl::List))) == 3; });
  Save(mods, "mods");
  CloseToolWindow(mods);

  const HWND alerts = OpenByLabel(tool, main, M::AlertsLabel, kAlertsWindowTitle);
  Save(alerts, "alerts");
  CloseToolWindow(alerts);

  const HWND remote = OpenByLabel(tool, main, M::RemoteLabel, kRemoteWindowTitle);
  SetControlText(remote, Id(RemoteControlId::ChannelsEdit), "2839104756193820");
  SetControlText(remote, Id(RemoteControlId::AdminsEdit), "1748293056");
  Save(remote, "remote");
  CloseToolWindow(remote);

  ClickControl(main, Id(M::StartButton));
  if (const std::optional<SeenMessageBox> stop = WaitForMessageBox(tool.Id())) {
    AnswerMessageBox(*stop, IDYES);
  }
  WaitUntil([&] { return ControlText(main, Id(M::StartButton)) == kStartCaption; },
            std::chrono::seconds(60));

  // Checked with the server stopped: under Wine the owner of the server's own ports is unknown.
  const HWND doctor = OpenByLabel(tool, main, M::DoctorLabel, kDoctorTitle);
  WaitUntil([&] {
    return ControlText(doctor, Id(DoctorControl::NatVerdict)) != kCheckingText &&
           ControlText(doctor, Id(DoctorControl::RouterVerdict)) != kCheckingText;
  });
  Save(doctor, "connection-doctor");
  CloseToolWindow(doctor);
  CloseToolWindow(main);
  tool.WaitForExit();
  EndProgramsBelow(dir.Path());
  // The event log opens in another program (Notepad): the script pictures that itself. Wine's
  // Notepad reads UTF-8 only after a byte-order mark, which Windows' own does without.
  EXPECT_TRUE(static_cast<bool>(
      ReplaceWholeFile(std::string(std::getenv("TIDEMOOR_SCREENSHOTS")) + "\\Tidemoor.log",
                       "\xEF\xBB\xBF" + dir.ReadBytes("PaLWorld_Data\\Tidemoor.log"))));
}

}  // namespace
}  // namespace tidemoor::testing
