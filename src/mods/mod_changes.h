#pragma once
// What a change in the mod manager does to Mods\PalModSettings.ini and to what the server loads.

#include <string>
#include <string_view>
#include <vector>

#include "mods/installed_mods.h"
#include "mods/mod_settings_file.h"

namespace tidemoor {

// Whether writing `written` over a file that said `read` changes which mods the server loads at
// its next start: the switch or the list differs (package names compared as the server compares
// them, in order), and mods load after the change or loaded before it. A list edited while the
// switch stays off changes nothing the server does.
bool ChangesWhatLoads(const ModSettings& read, const ModSettings& written);

// The settings once the folder is deleted: its package leaves the list, unless another usable
// folder carries the same package and loads in its place.
ModSettings SettingsWithoutFolder(const std::vector<InstalledMod>& mods,
                                  const ModSettings& settings, std::string_view folderName);

// The event log's line for a save: "模组设置已保存: 启用模组 是, 启用 2 个模组 (A, B)".
std::string SavedModSettingsLine(const ModSettings& settings);

}  // namespace tidemoor
