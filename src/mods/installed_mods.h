#pragma once
// The mods installed for the server, one folder each under Mods\Workshop, and the relations
// between them that every decision about them starts from: which can load at all, which are
// switched on, which depend on which.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mods/mod_info.h"

namespace tidemoor {

enum class ModSource { Workshop, LocalImport };

// One folder under Mods\Workshop as the tool finds it.
struct InstalledMod {
  std::string folderName;
  std::optional<std::string> infoJson;  // its Info.json's text; none when missing or unreadable
  ModSource source = ModSource::LocalImport;
  std::string workshopItemId;                   // for an item from the Workshop
  std::optional<uint64_t> importedTimeUpdated;  // the Steam copy's timeupdated it was taken at
};

// What a folder's Info.json says, when it reads and names a package that can be a folder name;
// nothing for a folder the server cannot load.
std::optional<ModInfo> UsableModInfo(const InstalledMod& mod);

// The usable mods among the folders, in their order.
std::vector<ModInfo> UsableMods(const std::vector<InstalledMod>& mods);

// The first mod of that package, or nullptr.
const ModInfo* FindMod(const std::vector<ModInfo>& mods, std::string_view packageName);

bool IsListed(const std::vector<std::string>& packageNames, std::string_view packageName);

// The mods the server loads with this list: the usable ones it names, in the order of the mods.
std::vector<ModInfo> ActiveMods(const std::vector<ModInfo>& mods,
                                const std::vector<std::string>& activeList);

// How many of the mods carry this package name.
size_t PackageCount(const std::vector<ModInfo>& mods, std::string_view packageName);

// The mod's dependencies not among the given mods, each once, in the file's order. A mod that
// names itself needs nothing for it.
std::vector<std::string> DependenciesMissingFrom(const ModInfo& mod,
                                                 const std::vector<ModInfo>& present);

}  // namespace tidemoor
