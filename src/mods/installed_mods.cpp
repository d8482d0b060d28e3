#include "mods/installed_mods.h"

#include <algorithm>

namespace tidemoor {

std::optional<ModInfo> UsableModInfo(const InstalledMod& mod) {
  if (!mod.infoJson) return std::nullopt;
  std::optional<ModInfo> info = ReadModInfo(*mod.infoJson);
  if (!info || !IsValidPackageName(info->packageName)) return std::nullopt;
  return info;
}

std::vector<ModInfo> UsableMods(const std::vector<InstalledMod>& mods) {
  std::vector<ModInfo> usable;
  for (const InstalledMod& mod : mods) {
    if (std::optional<ModInfo> info = UsableModInfo(mod)) usable.push_back(std::move(*info));
  }
  return usable;
}

const ModInfo* FindMod(const std::vector<ModInfo>& mods, std::string_view packageName) {
  const auto found = std::find_if(mods.begin(), mods.end(), [&](const ModInfo& mod) {
    return SamePackage(mod.packageName, packageName);
  });
  return found == mods.end() ? nullptr : &*found;
}

bool IsListed(const std::vector<std::string>& packageNames, std::string_view packageName) {
  return std::any_of(packageNames.begin(), packageNames.end(),
                     [&](const std::string& name) { return SamePackage(name, packageName); });
}

std::vector<ModInfo> ActiveMods(const std::vector<ModInfo>& mods,
                                const std::vector<std::string>& activeList) {
  std::vector<ModInfo> active;
  for (const ModInfo& mod : mods) {
    if (IsListed(activeList, mod.packageName)) active.push_back(mod);
  }
  return active;
}

size_t PackageCount(const std::vector<ModInfo>& mods, std::string_view packageName) {
  return static_cast<size_t>(std::count_if(mods.begin(), mods.end(), [&](const ModInfo& mod) {
    return SamePackage(mod.packageName, packageName);
  }));
}

std::vector<std::string> DependenciesMissingFrom(const ModInfo& mod,
                                                 const std::vector<ModInfo>& present) {
  std::vector<std::string> missing;
  for (const std::string& dependency : mod.dependencies) {
    if (SamePackage(dependency, mod.packageName) || FindMod(present, dependency) ||
        IsListed(missing, dependency)) {
      continue;
    }
    missing.push_back(dependency);
  }
  return missing;
}

}  // namespace tidemoor
