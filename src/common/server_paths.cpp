#include "common/server_paths.h"

namespace tidemoor {

ServerPaths MakeServerPaths(std::string_view toolDirectory) {
  ServerPaths paths;
  paths.DataDir = std::string(toolDirectory) + "\\PaLWorld_Data\\";
  paths.ServerDir = paths.DataDir + "steamapps\\common\\PalServer\\";
  paths.ToolDir = toolDirectory;
  return paths;
}

std::string ToolSettingsFile(const ServerPaths& paths) {
  return paths.DataDir + "PaLWorld_Tools.ini";
}

std::string ServerExecutable(const ServerPaths& paths) {
  return paths.ServerDir + "PalServer.exe";
}

std::string ServerWorkerProgram(const ServerPaths& paths) {
  return paths.ServerDir + "Pal\\Binaries\\Win64\\PalServer-Win64-Shipping-Cmd.exe";
}

std::string SaveDataDir(const ServerPaths& paths) {
  return paths.ServerDir + "Pal\\Saved";
}

std::string WorldSettingsDir(const ServerPaths& paths) {
  return paths.ServerDir + "Pal\\Saved\\Config\\WindowsServer\\";
}

std::string WorldSettingsFile(const ServerPaths& paths) {
  return WorldSettingsDir(paths) + "PalWorldSettings.ini";
}

std::string GameUserSettingsFile(const ServerPaths& paths) {
  return WorldSettingsDir(paths) + "GameUserSettings.ini";
}

std::string SaveGamesDir(const ServerPaths& paths) {
  return paths.ServerDir + "Pal\\Saved\\SaveGames\\0\\";
}

std::string BackupRoot(std::string_view toolDirectory) {
  return std::string(toolDirectory) + "\\PaLWorld_Saved_Backups\\";
}

}  // namespace tidemoor
