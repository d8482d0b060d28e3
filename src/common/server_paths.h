#pragma once
// Where everything the tool manages lives, below the tool directory. Names are formed by plain
// concatenation: the two directories end with a backslash, file names are appended directly.

#include <string>
#include <string_view>

namespace tidemoor {

struct ServerPaths {
  std::string DataDir;    // tool directory + "\PaLWorld_Data\"
  std::string ServerDir;  // DataDir + "steamapps\common\PalServer\"
  std::string ToolDir;    // the tool directory itself, no trailing backslash
};

// toolDirectory has no trailing backslash (D:\Host, or D: for a drive root).
ServerPaths MakeServerPaths(std::string_view toolDirectory);

std::string ToolSettingsFile(const ServerPaths& paths);  // PaLWorld_Tools.ini
std::string ServerExecutable(const ServerPaths& paths);  // PalServer.exe
// The worker PalServer.exe starts, which players' traffic reaches (the firewall's program).
std::string ServerWorkerProgram(const ServerPaths& paths);
std::string SaveDataDir(const ServerPaths& paths);        // Pal\Saved, no trailing backslash
std::string WorldSettingsDir(const ServerPaths& paths);   // ...\Config\WindowsServer\ (ends in \)
std::string WorldSettingsFile(const ServerPaths& paths);  // PalWorldSettings.ini
std::string GameUserSettingsFile(const ServerPaths& paths);  // names the world the server loads
std::string SaveGamesDir(const ServerPaths& paths);  // Pal\Saved\SaveGames\0\, a folder per world
std::string BackupRoot(std::string_view toolDirectory);  // \PaLWorld_Saved_Backups\ (ends in \)

}  // namespace tidemoor
