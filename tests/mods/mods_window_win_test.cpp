#include "mods/mods_window_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "common/server_paths.h"
#include "mods/mod_fixtures.h"
#include "mods/steam_import_window_win.h"
#include "platform/codepage_win.h"
#include "platform/registry_win.h"
#include "platform/text.h"
#include "support/e2e_win.h"
#include "support/fake_prompt.h"
#include "support/zip_builder.h"

namespace tidemoor {
namespace {

using Id = ModsControl;
using testing::InfoJson;
using testing::WaitUntil;
using Texts = std::vector<std::string>;

constexpr char kSettings[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\PalModSettings.ini";
constexpr char kWorkshop[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\Workshop\\";
constexpr char kLibrary[] = "Library2\\steamapps\\workshop\\";
constexpr char kBase[] = "3000000001";
constexpr char kFeature[] = "3000000002";

class RecordedLog : public EventLog {
 public:
  void Record(std::string_view text) override { lines.emplace_back(text); }
  Texts lines;
};

std::string Doubled(std::string path) {
  return ReplaceAll(std::move(path), "\\", "\\\\");
}

// The mod manager over a tool directory of its own, beside a Steam client with a second library
// holding two Workshop items, Feature needing Base.
class ModsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tool.WriteBytes("Steam\\steamapps\\libraryfolders.vdf",
                    "\"libraryfolders\" { \"0\" { \"path\" \"" + Doubled(tool.File("Steam")) +
                        "\" } \"1\" { \"path\" \"" + Doubled(tool.File("Library2")) + "\" } }");
    WriteItem(kBase, InfoJson("Base", {}, {{"Lua", true}}, "基础库"));
    WriteItem(kFeature, InfoJson("Feature", {"Base"}, {{"Paks", true}}, "新功能"));
    SetSteamTimes(1751000000, 1751000100);
    tool.WriteBytes(kSettings,
                    "[PalModSettings]\r\nbGlobalEnableMod=False\r\nWorkshopRootDir=\r\n"
                    "ConfigVersion=1.0\r\n; the host's note\r\n");
    // The window finds Steam where Steam says it is, with forward slashes as Steam writes them.
    ASSERT_TRUE(static_cast<bool>(
        WriteUserText(kSteamKey, "SteamPath", ReplaceAll(tool.File("Steam"), "\\", "/"))));
  }
  void TearDown() override {
    if (::IsWindow(window)) ::DestroyWindow(window);
    DeleteUserValue(kSteamKey, "SteamPath");
  }
  static constexpr char kSteamKey[] = "Software\\Valve\\Steam";

  void WriteItem(const std::string& id, const std::string& infoJson) const {
    const std::string folder = std::string(kLibrary) + "content\\1623730\\" + id + "\\";
    tool.WriteBytes(folder + "Info.json", infoJson);
    tool.WriteBytes(folder + "Scripts\\main.lua", "print('" + id + "')");
  }
  void SetSteamTimes(uint64_t base, uint64_t feature) const {
    tool.WriteBytes(std::string(kLibrary) + "appworkshop_1623730.acf",
                    "\"AppWorkshop\" { \"appid\" \"1623730\" \"WorkshopItemsInstalled\" { \"" +
                        std::string(kBase) + "\" { \"timeupdated\" \"" + std::to_string(base) +
                        "\" } \"" + kFeature + "\" { \"timeupdated\" \"" + std::to_string(feature) +
                        "\" } } }");
  }

  ModsWindowSetup WindowSetup() {
    ModsWindowSetup setup;
    setup.prompt = &prompt;
    setup.log = &log;
    setup.paths = MakeServerPaths(tool.Path());
    setup.serverRunning = [this] { return running; };
    setup.restartServer = [this] { ++restarts; };
    setup.backupBeforeChange = [this](std::function<void(bool)> done) {
      ++backups;
      done(backupMade);
    };
    setup.downloadWorkshopItem = [this](std::string id,
                                        std::function<void(WorkshopDownload)> done) {
      downloads.push_back(id);
      done(download);
    };
    setup.openFolder = [this](const std::string& folder) { opened.push_back(folder); };
    setup.pickImport = [this](HWND) { return picked; };
    setup.askWorkshopItem = [this](HWND) { return std::optional<std::string>(typed); };
    return setup;
  }

  // Opens the window and waits for its first listing.
  void Open(size_t rows) {
    window = manager.Open(WindowSetup());
    ASSERT_NE(window, nullptr);
    list = ::GetDlgItem(window, static_cast<int>(Id::List));
    // A listing without mods says so.
    ASSERT_TRUE(WaitUntil([&] {
      return Rows().size() == rows && (rows > 0 || Status() == "Mods\\Workshop 中还没有模组");
    })) << Rows().size();
  }

  void Click(HWND in, int id) {
    ::SendMessageW(in, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(in, id)));
  }
  void Click(Id button) { Click(window, static_cast<int>(button)); }

  // Each row: its tick, then its cells.
  Texts Rows() const {
    Texts rows;
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
      std::string text = ListView_GetCheckState(list, row) ? "[x]" : "[ ]";
      for (int column = 0; column < 7; ++column) {
        wchar_t cell[256] = {};
        ListView_GetItemText(list, row, column, cell, 256);
        text += " " + Narrow(cell);
      }
      rows.push_back(text);
    }
    return rows;
  }
  std::string Status() const {
    return testing::ControlText(window, static_cast<int>(Id::StatusLine));
  }
  void Select(int row) { ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED); }
  bool Idle() const {
    return ::IsWindowEnabled(::GetDlgItem(window, static_cast<int>(Id::SteamButton)));
  }

  // Both Steam items imported through the window 从 Steam 导入模组.
  void ImportBothFromSteam() {
    Click(Id::SteamButton);
    HWND steam = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (steam = ::FindWindowW(L"TidemoorSteamMods", nullptr)) != nullptr; }));
    const HWND items = ::GetDlgItem(steam, static_cast<int>(SteamImportControl::List));
    ASSERT_EQ(ListView_GetItemCount(items), 2);
    ListView_SetItemState(items, -1, LVIS_SELECTED, LVIS_SELECTED);
    Click(steam, static_cast<int>(SteamImportControl::ImportButton));
    ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 2 && Idle(); }));
    EXPECT_EQ(testing::ControlText(steam, static_cast<int>(SteamImportControl::ProgressText)),
              "已导入 2 个模组");
  }

  testing::TempToolDirectory tool{"mods"};
  testing::FakePrompt prompt;
  RecordedLog log;
  bool running = false, backupMade = true;
  int restarts = 0, backups = 0;
  Texts downloads, opened;
  WorkshopDownload download;
  std::optional<std::string> picked;
  std::string typed;
  ModsWindow manager;
  HWND window = nullptr;
  HWND list = nullptr;
};

TEST_F(ModsWindowTest, ImportsFromSteamTicksWithDependenciesAndSavesAfterABackup) {
  running = true;
  Open(0);
  EXPECT_EQ(WindowText(window), "模组管理");
  EXPECT_EQ(testing::ControlText(window, static_cast<int>(Id::RunningNote)),
            "服务端正在运行 - 模组更改将在下次开服时生效");
  ImportBothFromSteam();

  EXPECT_EQ(Rows(), (Texts{"[ ] 基础库 Base 1.0 Tamsin 创意工坊 3000000001 Lua 正常",
                           "[ ] 新功能 Feature 1.0 Tamsin 创意工坊 3000000002 Paks 正常"}));
  EXPECT_EQ(tool.ReadBytes(std::string(kWorkshop) + "3000000002\\Scripts\\main.lua"),
            "print('3000000002')");
  EXPECT_EQ(tool.ReadBytes("PaLWorld_Data\\ModSources.txt"),
            "3000000001\t3000000001\t1751000000\r\n3000000002\t3000000002\t1751000100\r\n");
  ASSERT_EQ(log.lines.size(), 2u);
  EXPECT_TRUE(log.lines[0].starts_with(
      "已导入模组 基础库: Mods\\Workshop\\3000000001 (创意工坊 3000000001), 来自 "))
      << log.lines[0];

  ListView_SetCheckState(list, 1, TRUE);  // the host ticks Feature: Base comes with it
  ASSERT_TRUE(WaitUntil([&] { return Rows()[0].starts_with("[x]"); }));
  EXPECT_EQ(Rows()[1].substr(0, 3), "[x]");
  EXPECT_EQ(Status(), "同时启用了依赖: 基础库");

  // Unticking Base, which Feature needs, asks first; No keeps it.
  prompt.answerYes = false;
  ListView_SetCheckState(list, 0, FALSE);
  ASSERT_TRUE(WaitUntil([&] { return Status() == "仍启用 基础库"; }));
  EXPECT_EQ(prompt.asked[0].text,
            " 已启用的模组 新功能 依赖 基础库 - 停用后它们将无法加载, 是否仍然停用? ");
  EXPECT_EQ(Rows()[0].substr(0, 3), "[x]");

  prompt.answerYes = true;
  prompt.asked.clear();
  // A click on the box flips it, then tells the window.
  ::SendMessageW(::GetDlgItem(window, static_cast<int>(Id::EnableBox)), BM_SETCHECK, BST_CHECKED,
                 0);
  Click(Id::EnableBox);
  Click(Id::SaveButton);
  ASSERT_TRUE(WaitUntil([&] { return restarts == 1; }));
  EXPECT_EQ(backups, 1);
  EXPECT_EQ(
      tool.ReadBytes(kSettings),
      "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=Base\r\n"
      "ActiveModList=Feature\r\nWorkshopRootDir=\r\nConfigVersion=1.0\r\n; the host's note\r\n");
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text, " 是否立即安全重启服务端以应用模组更改? ");
  EXPECT_EQ(log.lines.back(), "模组设置已保存: 启用模组 是, 启用 2 个模组 (Base, Feature)");

  // A second change in the same opening needs no second backup point.
  ListView_SetCheckState(list, 1, FALSE);
  ASSERT_TRUE(WaitUntil([&] { return Status() == "已停用 新功能"; }));
  Click(Id::SaveButton);
  ASSERT_TRUE(WaitUntil([&] { return restarts == 2; }));
  EXPECT_EQ(backups, 1);
  EXPECT_NE(tool.ReadBytes(kSettings).find("ActiveModList=Base\r\nWorkshopRootDir="),
            std::string::npos);
}

TEST_F(ModsWindowTest, WithoutABackupPointNothingIsWrittenOrDeleted) {
  tool.WriteBytes(std::string(kWorkshop) + "Mine\\Info.json", InfoJson("Mine"));
  tool.WriteBytes(kSettings, "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=Mine\r\n");
  backupMade = false;
  Open(1);
  ListView_SetCheckState(list, 0, FALSE);
  ASSERT_TRUE(WaitUntil([&] { return Status() == "已停用 Mine"; }));
  Click(Id::SaveButton);
  ASSERT_TRUE(WaitUntil([&] { return !prompt.asked.empty(); }));
  EXPECT_EQ(prompt.asked.back().text, " 未能创建模组变更前的备份 - 未保存 ");
  Select(0);
  Click(Id::DeleteButton);
  ASSERT_TRUE(WaitUntil([&] { return prompt.asked.size() == 3; }));
  EXPECT_EQ(prompt.asked[1].text,
            " 是否删除模组 Mine? \r\n 文件夹 Mods\\Workshop\\Mine 将移到回收站 ");
  EXPECT_EQ(prompt.asked[2].text, " 未能创建模组变更前的备份 - 未删除 ");
  EXPECT_EQ(backups, 2);
  EXPECT_TRUE(tool.Exists(std::string(kWorkshop) + "Mine\\Info.json"));
  EXPECT_EQ(tool.ReadBytes(kSettings),
            "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=Mine\r\n");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(ModsWindowTest, ASettingsFileInAnEncodingNotUnderstoodIsNeverWritten) {
  tool.WriteBytes(std::string(kWorkshop) + "Mine\\Info.json", InfoJson("Mine"));
  const std::string gbk = "[PalModSettings]\r\nbGlobalEnableMod=True\r\n; \xC4\xA3\xD7\xE9\r\n";
  tool.WriteBytes(kSettings, gbk);
  Open(1);
  EXPECT_EQ(Status(), "Mods\\PalModSettings.ini 的编码无法识别 (只能修改 UTF-8 或 UTF-16 的文件)");
  ListView_SetCheckState(list, 0, TRUE);
  ASSERT_TRUE(WaitUntil([&] { return Status().starts_with("无法读取"); }));
  EXPECT_EQ(Rows()[0].substr(0, 3), "[ ]");
  Click(Id::SaveButton);
  ASSERT_EQ(prompt.asked.size(), 1u);
  EXPECT_EQ(prompt.asked[0].text,
            " Mods\\PalModSettings.ini 的编码无法识别 (只能修改 UTF-8 或 UTF-16 的文件) - 未保存 ");
  EXPECT_EQ(tool.ReadBytes(kSettings), gbk);
  EXPECT_EQ(backups, 0);
}

TEST_F(ModsWindowTest, AModFromTheHostsFilesIsImportedWholeOrNotAtAll) {
  tool.WriteBytes(std::string(kWorkshop) + "Tidy\\old.txt", "old");
  Open(1);
  tool.WriteBytes("unsafe.zip", testing::MakeZip({{"Mod/Info.json", InfoJson("Evil")},
                                                  {"Mod/../../Pal/Binaries/dwmapi.dll", "x"}}));
  tool.WriteBytes("dotted.zip", testing::MakeZip({{"Info.json", InfoJson("Two.Parts")}}));
  tool.WriteBytes("two\\A\\Info.json", InfoJson("A"));
  tool.WriteBytes("two\\B\\Info.json", InfoJson("B"));
  tool.WriteBytes("readme.txt", "not a mod");
  const struct {
    const char* picked;
    const char* refusal;
  } refused[] = {
      {"unsafe.zip", " 压缩包含有不安全的路径 - 已取消导入 "},
      {"dotted.zip",
       " 模组的包名 \"Two.Parts\" 含有英文字母和数字以外的字符, 无法作为文件夹名 - 已取消导入 "},
      {"two", " 其中有多个文件夹含有 Info.json, 似乎是多个模组 - 请逐个导入 "},
      {"readme.txt", " 只能导入文件夹或 .zip 压缩包 - 已取消导入 "},
  };
  for (const auto& c : refused) {
    picked = tool.File(c.picked);
    prompt.asked.clear();
    Click(Id::ImportButton);
    ASSERT_TRUE(WaitUntil([&] { return !prompt.asked.empty() && Idle(); })) << c.picked;
    EXPECT_EQ(prompt.asked[0].text, c.refusal);
  }
  EXPECT_FALSE(tool.Exists("PaLWorld_Data\\steamapps\\common\\PalServer\\Pal"));
  EXPECT_FALSE(tool.Exists("PaLWorld_Data\\ModImport"));
  EXPECT_EQ(Rows().size(), 1u);

  // One folder down, as people pack them; the folder of that name already there is replaced.
  tool.WriteBytes("tidy.zip", testing::MakeZip({{"Tidy-1.2/Info.json", InfoJson("Tidy")},
                                                {"Tidy-1.2/Paks/Tidy.pak", "pak"}}));
  picked = tool.File("tidy.zip");
  prompt.asked.clear();
  Click(Id::ImportButton);
  ASSERT_TRUE(WaitUntil([&] { return Rows().at(0).ends_with("正常") && Idle(); })) << Status();
  EXPECT_EQ(prompt.asked.at(0).text, " 模组 Tidy 已存在 - 是否用导入的版本替换? ");
  EXPECT_EQ(tool.ReadBytes(std::string(kWorkshop) + "Tidy\\Paks\\Tidy.pak"), "pak");
  EXPECT_FALSE(tool.Exists(std::string(kWorkshop) + "Tidy\\old.txt"));
  EXPECT_EQ(Status(), "已导入 1 个模组");
  ASSERT_EQ(log.lines.size(), 1u);
  EXPECT_EQ(log.lines[0], "已导入模组 Tidy: Mods\\Workshop\\Tidy (本地导入), 来自 " + *picked +
                              ", 旧版本已移到回收站");

  // A folder is copied from its root, what lies beside the root left behind.
  tool.WriteBytes("download\\Lamp\\Info.json", InfoJson("Lamp", {}, {{"Paks", true}}, "Lamp"));
  tool.WriteBytes("download\\Lamp\\Paks\\Lamp.pak", "lamp");
  tool.WriteBytes("download\\notes.txt", "beside");
  picked = tool.File("download");
  Click(Id::ImportButton);
  ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 2 && Idle(); })) << Status();
  EXPECT_EQ(Rows(), (Texts{"[ ] Lamp Lamp 1.0 Tamsin 本地导入 Paks 正常",
                           "[ ] Tidy Tidy 1.0 Tamsin 本地导入 Lua 正常"}));
  EXPECT_EQ(tool.ReadBytes(std::string(kWorkshop) + "Lamp\\Paks\\Lamp.pak"), "lamp");
  EXPECT_FALSE(tool.Exists(std::string(kWorkshop) + "Lamp\\notes.txt"));
  EXPECT_FALSE(tool.Exists("PaLWorld_Data\\ModImport"));
}

TEST_F(ModsWindowTest, DeleteRecyclesTheFolderAndTakesItOffTheList) {
  Open(0);
  ImportBothFromSteam();
  tool.WriteBytes(kSettings,
                  "[PalModSettings]\r\nbGlobalEnableMod=False\r\nActiveModList=Base\r\n"
                  "ActiveModList=Feature\r\n");
  log.lines.clear();
  Select(1);
  Click(Id::DeleteButton);
  ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 1 && Idle(); }));
  EXPECT_FALSE(tool.Exists(std::string(kWorkshop) + kFeature));
  EXPECT_EQ(tool.ReadBytes(kSettings),
            "[PalModSettings]\r\nbGlobalEnableMod=False\r\nActiveModList=Base\r\n");
  EXPECT_EQ(tool.ReadBytes("PaLWorld_Data\\ModSources.txt"),
            "3000000001\t3000000001\t1751000000\r\n");
  EXPECT_EQ(log.lines, (Texts{"已删除模组 新功能: Mods\\Workshop\\3000000002 已移到回收站, "
                              "已从启用的模组中移除 Feature"}));
  EXPECT_EQ(backups, 0);  // mods were off: nothing the server loads changed

  // Redeploying takes the server's record of the deployment away, to the Recycle Bin too.
  tool.WriteBytes("PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\ManagedMods\\Base\\x", "x");
  Select(0);
  Click(Id::RedeployButton);
  ASSERT_TRUE(WaitUntil([&] { return log.lines.size() == 2 && Idle(); }));
  EXPECT_FALSE(tool.Exists("PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\ManagedMods\\Base"));
  EXPECT_EQ(log.lines[1],
            "已重新部署模组 基础库: Mods\\ManagedMods\\Base 已移到回收站, "
            "服务端将在下次开服时重新部署");
}

TEST_F(ModsWindowTest, AnItemComesAgainFromSteamOrFromTheWorkshop) {
  Open(0);
  ImportBothFromSteam();
  SetSteamTimes(1760000000, 1751000100);
  WriteItem(kBase, InfoJson("Base", {}, {{"Lua", true}, {"UE4SS", true}}, "基础库 2"));
  ::DestroyWindow(window);
  Open(2);
  EXPECT_EQ(Rows()[0], "[ ] 基础库 Base 1.0 Tamsin 创意工坊 3000000001 Lua 有更新");
  Select(0);
  Click(Id::UpdateButton);
  ASSERT_TRUE(WaitUntil([&] { return Rows()[0].ends_with("正常") && Idle(); }));
  EXPECT_EQ(Rows()[0], "[ ] 基础库 2 Base 1.0 Tamsin 创意工坊 3000000001 Lua, UE4SS 正常");
  EXPECT_TRUE(prompt.asked.empty());

  // SteamCMD's refusal is told; its folder is imported like Steam's, after the same question.
  typed = "https://steamcommunity.com/sharedfiles/filedetails/?id=3000000002";
  download = {false, "", "匿名账户无法下载"};
  Click(Id::DownloadButton);
  ASSERT_TRUE(WaitUntil([&] { return !prompt.asked.empty(); }));
  EXPECT_EQ(prompt.asked[0].text,
            " 创意工坊下载失败 (匿名账户无法下载) - 可在 Steam 中订阅该模组后用「从 Steam 导入」 ");
  const std::string steamCmdItem = "SteamCMD\\steamapps\\workshop\\content\\1623730\\3000000002";
  tool.WriteBytes(steamCmdItem + "\\Info.json", InfoJson("Feature", {"Base"}, {}, "新功能 3"));
  download = {true, tool.File(steamCmdItem), ""};
  Click(Id::DownloadButton);
  ASSERT_TRUE(WaitUntil([&] { return Rows()[1].starts_with("[ ] 新功能 3") && Idle(); }));
  EXPECT_EQ(downloads, (Texts{kFeature, kFeature}));
  EXPECT_EQ(prompt.asked.at(1).text, " 模组 新功能 3 已存在 - 是否用 Steam 中的版本替换? ");
  EXPECT_EQ(tool.ReadBytes("PaLWorld_Data\\ModSources.txt"),
            "3000000001\t3000000001\t1760000000\r\n3000000002\t3000000002\t\r\n");

  Click(Id::OpenFolderButton);
  ASSERT_TRUE(WaitUntil([&] { return !opened.empty(); }));
  EXPECT_EQ(opened,
            (Texts{tool.File("PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\Workshop")}));
}

}  // namespace
}  // namespace tidemoor
