#pragma once
// The server's mods as they lie on the disk, and the Workshop items the host's Steam keeps, read
// for the mod manager. Everything here reads or writes files: for a worker.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/server_paths.h"
#include "mods/installed_mods.h"
#include "mods/mod_origins.h"
#include "mods/mod_settings_file.h"
#include "platform/system_error.h"
#include "platform/whole_file_win.h"

namespace tidemoor {

struct ModsOnDisk {
  std::vector<InstalledMod> mods;  // the folders under Mods\Workshop, by name without case
  FileState settingsState = FileState::Missing;
  // What Mods\PalModSettings.ini says (a missing file says nothing is on); nothing for a file
  // that cannot be read or is in an encoding not understood here (settingsState tells which).
  std::optional<ModSettings> settings;
  SystemError settingsError;                   // when it cannot be read
  std::map<std::string, uint64_t> steamTimes;  // each Workshop item Steam keeps, by id
};

ModsOnDisk ReadModsOnDisk(const ServerPaths& paths, const std::string& steamPath);

// A Workshop item of Palworld in one of the host's Steam libraries.
struct SteamWorkshopItem {
  std::string id;
  std::string folder;
  std::optional<std::string> infoJson;
  std::optional<uint64_t> timeUpdated;
};

// Every item of every library, each id once (the first library holding it), by id.
std::vector<SteamWorkshopItem> SteamWorkshopItems(const std::string& steamPath);

// The item SteamCMD left in a folder, with its time when the items file beside it says it.
SteamWorkshopItem DownloadedWorkshopItem(const std::string& id, const std::string& folder);

// SteamPath under HKCU\Software\Valve\Steam; empty without a Steam client.
std::string SteamPathInRegistry();

// A moment Steam gives in seconds since 1970 (UTC), on the PC's local clock as the tool shows
// times.
std::string LocalTimeText(uint64_t unixSeconds);

// What writing the settings file came to.
struct ModSettingsWrite {
  enum class Result { Written, Unchanged, EncodingRefused, Failed } result = Result::Failed;
  SystemError error;  // when Failed
};
// Mods\PalModSettings.ini with the switch and the list set by edit from what the file says now;
// replaced in one step, and only when its bytes change.
ModSettingsWrite EditModSettingsFile(const ServerPaths& paths,
                                     const std::function<ModSettings(const ModSettings&)>& edit);

// Changes PaLWorld_Data\ModSources.txt; a file that cannot be read is left as it is.
Outcome EditModOrigins(const ServerPaths& paths, const std::function<void(ModOrigins&)>& edit);

}  // namespace tidemoor
