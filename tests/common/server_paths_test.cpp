#include "common/server_paths.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(ServerPaths, LayoutBelowTheToolDirectory) {
  const ServerPaths paths = MakeServerPaths("D:\\Host");
  EXPECT_EQ(paths.DataDir, "D:\\Host\\PaLWorld_Data\\");
  EXPECT_EQ(paths.ServerDir, "D:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\");
  EXPECT_EQ(ToolSettingsFile(paths), "D:\\Host\\PaLWorld_Data\\PaLWorld_Tools.ini");
  EXPECT_EQ(SaveDataDir(paths), paths.ServerDir + "Pal\\Saved");
  EXPECT_EQ(ServerWorkerProgram(paths),
            paths.ServerDir + "Pal\\Binaries\\Win64\\PalServer-Win64-Shipping-Cmd.exe");
  EXPECT_EQ(WorldSettingsFile(paths),
            paths.ServerDir + "Pal\\Saved\\Config\\WindowsServer\\PalWorldSettings.ini");
  EXPECT_EQ(GameUserSettingsFile(paths),
            paths.ServerDir + "Pal\\Saved\\Config\\WindowsServer\\GameUserSettings.ini");
  EXPECT_EQ(SaveGamesDir(paths), paths.ServerDir + "Pal\\Saved\\SaveGames\\0\\");
  EXPECT_EQ(BackupRoot("D:\\Host"), "D:\\Host\\PaLWorld_Saved_Backups\\");
}

TEST(ServerPaths, DriveRootGetsOneBackslash) {
  EXPECT_EQ(MakeServerPaths("D:").DataDir, "D:\\PaLWorld_Data\\");
}

}  // namespace
}  // namespace tidemoor
