// 开服向导 on a first start: an empty tool directory, the fixture SteamCMD with the server it
// "downloads", the fake router on 127.0.0.1. One press of 一键开服 installs, maps the ports,
// registers the start-up entry and starts the server; the start-up entry then starts it again at
// "sign-in" with nobody clicking. The elevated firewall helper is left to its own test, as the
// connection doctor's test does.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "app/first_start_guide_win.h"
#include "app/main_controls.h"
#include "app/run_options.h"
#include "app/start_with_windows.h"
#include "e2e/first_start_rig.h"
#include "platform/codepage_win.h"
#include "platform/window_win.h"
#include "support/caption_pixels_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

using G = GuideControl;

constexpr char kServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
constexpr char kLaunches[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\PalServer-launches.txt";

int Id(G control) {
  return static_cast<int>(control);
}
int Id(MainControl control) {
  return static_cast<int>(control);
}

// The Run value the guide writes, as Windows reads it at sign-in.
std::optional<std::string> RunValue() {
  wchar_t value[1024];
  DWORD size = sizeof(value);
  if (::RegGetValueW(HKEY_CURRENT_USER, Widen(kRunKey).c_str(), Widen(kLogonEntryName).c_str(),
                     RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Narrow(value);
}
// Whether some of the label's ink is drawn in the tone: green (完成) or amber (跳过).
bool InkLeansTo(HWND window, G label, bool green) {
  const ScreenShot shot(window);
  const RECT area = PlaceInParent(::GetDlgItem(window, Id(label)));
  for (int y = area.top; y < area.bottom && y < shot.Height(); ++y) {
    for (int x = area.left; x < area.right && x < shot.Width(); ++x) {
      const uint32_t pixel = shot.At(x, y);
      const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
      if (green ? (g > r + 60 && g > b + 60) : (r > b + 80 && g > b + 40)) return true;
    }
  }
  return false;
}

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FirstStartGuide, OnePressInstallsMapsRegistersAndStartsTheServer) {
  FirstStartRig rig("guide");
  TempToolDirectory& dir = rig.dir;
  const std::string& testSettings = rig.testSettings;
  dir.WriteBytes("PaLWorld_Data\\steamcmd-progress.flag", "");  // a few seconds of progress
  std::optional<ToolProcess> tool(std::in_place, dir, std::string_view{}, testSettings);
  const HWND main = tool->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const HWND guide = WaitForWindowOfProcess(tool->Id(), kGuideTitle);
  ASSERT_NE(guide, nullptr);
  // Prefilled from the settings, with the admin password the settings generated shown.
  EXPECT_EQ(ControlText(guide, Id(G::NameEdit)),
            ControlText(main, Id(MainControl::ServerNameEdit)));
  EXPECT_EQ(ControlText(guide, Id(G::MaxPlayersEdit)),
            ControlText(main, Id(MainControl::MaxPlayersEdit)));
  const std::string admin = ControlText(main, Id(MainControl::AdminPasswordEdit));
  EXPECT_FALSE(admin.empty());
  EXPECT_EQ(ControlText(guide, Id(G::AdminPassword)).rfind(admin, 0), 0u);
  for (const G box : {G::InstallBox, G::FirewallBox, G::MappingBox, G::StartUpBox}) {
    EXPECT_TRUE(IsControlChecked(guide, Id(box)));
  }

  ClickControl(guide, Id(G::FirewallBox));
  SetControlText(guide, Id(G::NameEdit), "向导的服务器");
  ClickControl(guide, Id(G::GoButton));
  // The download's progress shows on the install step's line too.
  bool progressShown = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        progressShown = progressShown ||
                        ControlText(guide, Id(G::InstallWhy)).starts_with("正在下载游戏服务端 ");
        return !ControlText(guide, Id(G::StartVerdict)).empty();
      },
      std::chrono::seconds(90)));
  EXPECT_TRUE(progressShown);
  EXPECT_EQ(ControlText(guide, Id(G::InstallVerdict)), "完成")
      << ControlText(guide, Id(G::InstallWhy));
  EXPECT_EQ(ControlText(guide, Id(G::FirewallVerdict)), "跳过");
  EXPECT_EQ(ControlText(guide, Id(G::FirewallWhy)), "未勾选");
  EXPECT_EQ(ControlText(guide, Id(G::MappingVerdict)), "完成")
      << ControlText(guide, Id(G::MappingWhy));
  EXPECT_EQ(ControlText(guide, Id(G::StartUpVerdict)), "完成")
      << ControlText(guide, Id(G::StartUpWhy));
  EXPECT_EQ(ControlText(guide, Id(G::StartVerdict)), "完成") << ControlText(guide, Id(G::StartWhy));
  // The words keep their colour: 完成 green, 跳过 amber.
  EXPECT_TRUE(InkLeansTo(guide, G::InstallVerdict, true));
  EXPECT_TRUE(InkLeansTo(guide, G::FirewallVerdict, false));
  EXPECT_FALSE(InkLeansTo(guide, G::FirewallVerdict, true));
  EXPECT_TRUE(WaitUntil([&] {
    return ControlText(guide, Id(G::Conclusion)).find("好友联机地址: 203.0.113.7:8211") !=
           std::string::npos;
  })) << ControlText(guide, Id(G::Conclusion));
  // The address is the conclusion's second line, whole on the screen (a one-line label would
  // show the line break as boxes and the address in the middle of its height).
  {
    const UniqueGdiObject font = CreateUiFont(WindowDpi(guide));
    RECT secondLine = PlaceInParent(::GetDlgItem(guide, Id(G::Conclusion)));
    secondLine.bottom = secondLine.top + ScaleForDpi(40, WindowDpi(guide));
    secondLine.top += ScaleForDpi(12, WindowDpi(guide));
    EXPECT_TRUE(WaitUntil([&] {
      return FindWholeText(ScreenShot(guide), secondLine, L"好友联机地址: 203.0.113.7:8211",
                           static_cast<HFONT>(font.get()))
          .has_value();
    }));
  }

  EXPECT_EQ(Lines(dir.ReadBytes(kLaunches)), 1);
  EXPECT_NE(dir.ReadBytes(kLaunches).find("-servername=\"向导的服务器\""), std::string::npos)
      << dir.ReadBytes(kLaunches);
  EXPECT_NE(dir.ReadBytes(FirstStartRig::kCalls)
                .find("AddPortMapping UDP 8211 127.0.0.1 Tidemoor Palworld"),
            std::string::npos)
      << dir.ReadBytes(FirstStartRig::kCalls);
  // The main window shows what the guide changed.
  EXPECT_EQ(ControlText(main, Id(MainControl::ServerNameEdit)), "向导的服务器");
  EXPECT_TRUE(IsControlChecked(main, Id(MainControl::MapPortsAtStartBox)));
  EXPECT_TRUE(IsControlChecked(main, Id(MainControl::RunAtLogonBox)));
  EXPECT_TRUE(IsControlChecked(main, Id(MainControl::AutoStartBox)));
  EXPECT_EQ(RunValue(), LogonCommand(dir.File("Tidemoor.exe")));

  // The PC restarts: the tool and the server are gone, the user signs in.
  CloseToolWindow(main);
  ASSERT_TRUE(tool->WaitForExit());
  EndProgramsBelow(dir.File(kServerDir));
  tool.emplace(dir, std::string_view{}, std::string(kAutostartSwitch) + " " + testSettings);
  ASSERT_NE(tool->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(
      WaitUntil([&] { return Lines(dir.ReadBytes(kLaunches)) == 2; }, std::chrono::seconds(30)));
  // A server is installed now: the guide stays closed.
  EXPECT_EQ(FindWindowOfProcess(tool->Id(), kGuideTitle), nullptr);
  const std::string log = dir.ReadBytes("PaLWorld_Data\\Tidemoor.log");
  EXPECT_NE(log.find("开服向导 启动服务端: 完成"), std::string::npos) << log;
  EXPECT_NE(log.find("开服向导 联机: "), std::string::npos) << log;
  CloseToolWindow(tool->WaitForMainWindow());
  tool->WaitForExit();
  EndProgramsBelow(dir.File(kServerDir));
}

}  // namespace
}  // namespace tidemoor::testing
