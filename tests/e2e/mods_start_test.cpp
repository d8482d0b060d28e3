// The mods before and after a start, against the fixture server: a hand-installed UE4SS beside a
// mod that brings the Workshop's is switched off by a rename; the problems of the mods switched on
// are asked about; a crash soon after a mod change offers the mods of the last good run back, while
// the crashed server's own restart goes on without waiting for the answer; (模组管理) lists them.

#include "e2e/lifecycle_rig.h"
#include "hosting/mod_crash_guard_win.h"
#include "mods/mod_start_check.h"
#include "mods/mods_before_start_win.h"
#include "mods/mods_window_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kMods[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\";
constexpr char kBinaries[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Binaries\\Win64\\";

class ModsAtStart : public LifecycleRig {
 protected:
  void PutMod(const std::string& folder, const std::string& json) const {
    directory.WriteBytes(kMods + std::string("Workshop\\") + folder + "\\Info.json", json);
  }
  // The next box, answered Yes; its text.
  std::string AnswerYes() const {
    const std::optional<SeenMessageBox> box =
        WaitForMessageBox(tool->Id(), std::chrono::seconds(30));
    if (!box) return "(no box)";
    AnswerMessageBox(*box, IDYES);
    return box->text;
  }
};

TEST_F(ModsAtStart, TwoUe4ssSwitchedOffProblemsAskedAndACrashGivesTheLastGoodModsBack) {
  Prepare({.apiPort = 18271, .crashRestart = true});
  PutMod("A", R"({"ModName":"Alpha","PackageName":"ModA","Dependencies":null,)"
              R"("InstallRule":[{"Type":"Lua","IsServer":true,"Targets":["Scripts"]}]})");
  PutMod("B", R"({"ModName":"Beta","PackageName":"ModB",)"
              R"("InstallRule":[{"Type":"UE4SS","IsServer":true,"Targets":["."]}]})");
  PutMod("C", R"({"ModName":"客户端模组","PackageName":"ModC",)"
              R"("InstallRule":[{"Type":"Paks","IsServer":false,"Targets":["Pal"]}]})");
  const std::string settingsHead = "[PalModSettings]\r\nbGlobalEnableMod=True\r\n; 我的备注\r\n";
  directory.WriteBytes(kMods + std::string("PalModSettings.ini"),
                       settingsHead +
                           "ActiveModList=ModA\r\nActiveModList=ModB\r\nActiveModList=ModC\r\n"
                           "ConfigVersion=1.0\r\n");
  directory.WriteBytes("PaLWorld_Data\\ModsLastGood.txt", "ModA\r\nModC\r\n");
  directory.WriteBytes(kBinaries + std::string("dwmapi.dll"), "loader");
  directory.WriteBytes(kBinaries + std::string("dwmapi.dll.disabled"), "an older one");
  directory.WriteBytes(kBinaries + std::string("ue4ss\\UE4SS.dll"), "ue4ss");
  const HWND window = OpenTool();
  ASSERT_NE(window, nullptr);

  ClickControl(window, Id(MainControl::StartButton));
  EXPECT_EQ(AnswerYes(), kTwoUe4ssQuestion);
  EXPECT_EQ(AnswerYes(), ModProblemsQuestion({"客户端模组 - 仅客户端 - 服务端不会加载"}));
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(30)));
  EXPECT_FALSE(directory.Exists(kBinaries + std::string("dwmapi.dll")));
  EXPECT_EQ(directory.ReadBytes(kBinaries + std::string("dwmapi.dll.disabled.2")), "loader");
  EXPECT_EQ(directory.ReadBytes(kBinaries + std::string("dwmapi.dll.disabled")), "an older one");

  // The crash is asked about; the server's own restart does not wait for the answer.
  PutFlag("crash.flag");
  const std::optional<SeenMessageBox> question =
      WaitForMessageBox(tool->Id(), std::chrono::seconds(30));
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, ModCrashQuestion({"ModB"}, ""));
  EXPECT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(30)));
  AnswerMessageBox(*question, IDYES);
  EXPECT_EQ(AnswerYes(), ModProblemsQuestion({"客户端模组 - 仅客户端 - 服务端不会加载"}));
  EXPECT_TRUE(WaitUntil([&] { return Launches() == 3; }, std::chrono::seconds(60)));
  EXPECT_EQ(directory.ReadBytes(kMods + std::string("PalModSettings.ini")),
            settingsHead + "ActiveModList=ModA\r\nActiveModList=ModC\r\nConfigVersion=1.0\r\n");
  const std::string log = EventLog();
  for (const char* line :
       {"模组检查: 已停用手动安装的 UE4SS (dwmapi.dll 改名为 dwmapi.dll.disabled.2)",
        "模组检查: 客户端模组 - 仅客户端 - 服务端不会加载",
        "服务端在模组变更后崩溃 - 变更后新启用的模组: ModB",
        "已恢复上次运行正常的模组列表: ModA, ModC"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  }
  StopWithYes(window);
  EXPECT_TRUE(WaitUntil([&] { return ShowsStopped(window); }, std::chrono::seconds(70)));

  // (模组管理) opens one window, whose list shows the three mods.
  PressLabel(window, Id(MainControl::ModsLabel));
  const HWND mods = WaitForWindowOfProcess(tool->Id(), kModsWindowTitle);
  ASSERT_NE(mods, nullptr);
  EXPECT_TRUE(WaitUntil(
      [&] { return ListRowCount(::GetDlgItem(mods, static_cast<int>(ModsControl::List))) == 3; }));
  PressLabel(window, Id(MainControl::ModsLabel));
  EXPECT_EQ(WindowsTitled(tool->Id(), kModsWindowTitle), 1);
}

}  // namespace
}  // namespace tidemoor::testing
