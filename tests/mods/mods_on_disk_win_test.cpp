#include "mods/mods_on_disk_win.h"

#include <gtest/gtest.h>

#include "mods/mod_fixtures.h"
#include "platform/text.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using testing::InfoJson;

TEST(ModsOnDisk, SteamItemsComeFromEveryLibraryEachIdOnce) {
  testing::TempToolDirectory tool{"steam"};
  const std::string content = "\\steamapps\\workshop\\content\\1623730\\";
  tool.WriteBytes("Steam\\steamapps\\libraryfolders.vdf",
                  "\"libraryfolders\" { \"1\" { \"path\" \"" +
                      ReplaceAll(tool.File("Games"), "\\", "\\\\") + "\" } }");
  tool.WriteBytes("Steam" + content + "200\\Info.json", InfoJson("Second"));
  tool.WriteBytes("Steam" + content + "notanid\\Info.json", InfoJson("Other"));
  tool.WriteBytes("Steam" + content + "0300\\Info.json", InfoJson("Padded"));
  tool.WriteBytes("Steam\\steamapps\\workshop\\appworkshop_1623730.acf",
                  R"("AppWorkshop" { "WorkshopItemsInstalled" { "200" { "timeupdated" "5" } } })");
  tool.WriteBytes("Games" + content + "200\\Info.json", InfoJson("Shadowed"));
  tool.WriteBytes("Games" + content + "100\\Scripts\\main.lua", "no Info.json");

  std::vector<std::string> items;
  for (const SteamWorkshopItem& item :
       SteamWorkshopItems(ReplaceAll(tool.File("Steam"), "\\", "/"))) {
    items.push_back(item.id + " " + (item.infoJson ? *item.infoJson : "-") + " " +
                    (item.timeUpdated ? std::to_string(*item.timeUpdated) : "-") + " " +
                    (item.folder == tool.File("Games" + content + item.id) ? "Games" : "Steam"));
  }
  EXPECT_EQ(items,
            (std::vector<std::string>{"200 " + InfoJson("Second") + " 5 Steam", "100 - - Games"}));
  EXPECT_TRUE(SteamWorkshopItems("").empty());
  EXPECT_TRUE(SteamWorkshopItems(tool.File("nowhere")).empty());
}

TEST(ModsOnDisk, TheFoldersInOrderWithWhatTheyAreAndWhatTheSettingsSay) {
  testing::TempToolDirectory tool{"disk"};
  const ServerPaths paths = MakeServerPaths(tool.Path());
  const std::string workshop = "PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\Workshop\\";
  tool.WriteBytes(workshop + "beta\\Info.json", InfoJson("Beta"));
  tool.WriteBytes(workshop + "Alpha\\Info.json", std::string((1u << 20) + 1, ' '));
  tool.WriteBytes(workshop + "77\\Info.json", InfoJson("Item"));
  tool.WriteBytes("PaLWorld_Data\\ModSources.txt", "77\t77\t9\r\n");

  ModsOnDisk disk = ReadModsOnDisk(paths, "");
  ASSERT_EQ(disk.mods.size(), 3u);
  EXPECT_EQ(disk.mods[0].folderName, "77");
  EXPECT_EQ(disk.mods[0].importedTimeUpdated, 9u);
  EXPECT_EQ(disk.mods[1].folderName, "Alpha");
  EXPECT_EQ(disk.mods[1].infoJson, std::nullopt);  // larger than any Info.json
  EXPECT_EQ(disk.mods[2].folderName, "beta");
  EXPECT_EQ(disk.settingsState, FileState::Missing);
  EXPECT_EQ(disk.settings, ModSettings{});  // as the server's first file says

  tool.WriteBytes("PaLWorld_Data\\steamapps\\common\\PalServer\\Mods\\PalModSettings.ini",
                  "[PalModSettings]\nbGlobalEnableMod=true\nActiveModList=Beta\n");
  disk = ReadModsOnDisk(paths, "");
  EXPECT_EQ(disk.settings, (ModSettings{true, {"Beta"}}));
}

}  // namespace
}  // namespace tidemoor
