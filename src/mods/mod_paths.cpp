#include "mods/mod_paths.h"

namespace tidemoor {

std::string ModSettingsFile(const ServerPaths& paths) {
  return paths.ServerDir + "Mods\\PalModSettings.ini";
}

std::string WorkshopModsDir(const ServerPaths& paths) {
  return paths.ServerDir + "Mods\\Workshop\\";
}

std::string ServerBinariesDir(const ServerPaths& paths) {
  return paths.ServerDir + kServerBinariesFolder;
}

std::string LastGoodModsFile(const ServerPaths& paths) {
  return paths.DataDir + "ModsLastGood.txt";
}

std::string ModOriginsFile(const ServerPaths& paths) {
  return paths.DataDir + "ModSources.txt";
}

std::string ModImportStagingDir(const ServerPaths& paths) {
  return paths.DataDir + "ModImport\\";
}

std::string ManagedModDir(const ServerPaths& paths, std::string_view packageName) {
  return paths.ServerDir + "Mods\\ManagedMods\\" + std::string(packageName);
}

}  // namespace tidemoor
