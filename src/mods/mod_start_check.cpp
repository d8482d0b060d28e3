#include "mods/mod_start_check.h"

#include <algorithm>

#include "common/free_name.h"
#include "mods/mod_paths.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

std::vector<std::string> ShownNames(const std::vector<const ModInfo*>& mods) {
  std::vector<std::string> names;
  for (const ModInfo* mod : mods) names.push_back(ShownModName(*mod));
  return names;
}

// The folders that carry each package switched on more than once, one line per package.
void AddDuplicates(const std::vector<InstalledMod>& mods, const std::vector<ModInfo>& active,
                   std::vector<std::string>& problems) {
  std::vector<std::string> told;
  for (const ModInfo& mod : active) {
    if (IsListed(told, mod.packageName) || PackageCount(active, mod.packageName) < 2) continue;
    told.push_back(mod.packageName);
    std::vector<std::string> folders;
    for (const InstalledMod& folder : mods) {
      const std::optional<ModInfo> info = UsableModInfo(folder);
      if (info && SamePackage(info->packageName, mod.packageName)) {
        folders.push_back(folder.folderName);
      }
    }
    problems.push_back("包名重复: " + mod.packageName + " (" + JoinTexts(folders, ", ") +
                       ") - 服务端只会加载其中一个");
  }
}

}  // namespace

ModStartCheck CheckModsBeforeStart(const std::vector<InstalledMod>& mods,
                                   const ModSettings& settings, const HandInstalledUe4ss& found) {
  ModStartCheck check;
  if (!settings.enabled) return check;
  const std::vector<ModInfo> active = ActiveMods(UsableMods(mods), settings.activeMods);
  std::vector<const ModInfo*> ue4ss, palSchema;
  for (const ModInfo& mod : active) {
    const std::vector<std::string> missing = DependenciesMissingFrom(mod, active);
    if (!missing.empty()) {
      check.problems.push_back(ShownModName(mod) + " - 缺少依赖: " + JoinTexts(missing, ", "));
    }
    if (IsClientOnly(mod)) {
      check.problems.push_back(ShownModName(mod) + " - 仅客户端 - 服务端不会加载");
    }
    if (CarriesUe4ss(mod)) ue4ss.push_back(&mod);
    if (CarriesPalSchema(mod)) palSchema.push_back(&mod);
  }
  AddDuplicates(mods, active, check.problems);

  std::vector<std::string> leftovers;
  if (found.leftoverDll)
    leftovers.push_back(std::string(kServerBinariesFolder) + kLeftoverUe4ssDll);
  if (found.leftoverMods)
    leftovers.push_back(std::string(kServerBinariesFolder) + kLeftoverUe4ssMods);
  if (!palSchema.empty() && !leftovers.empty()) {
    check.problems.push_back("手动安装的 UE4SS 留下的 " + JoinTexts(leftovers, ", ") +
                             " 会使服务端在加载 PalSchema 模组 (" +
                             JoinTexts(ShownNames(palSchema), ", ") + ") 时崩溃 - 请移走");
  }
  // The loader loads a UE4SS.dll from its own folder as older versions laid it out, too.
  check.askToDisableHandUe4ss = found.loader && (found.dll || found.leftoverDll) && !ue4ss.empty();
  return check;
}

std::string DisabledLoaderName(const std::function<bool(const std::string&)>& taken) {
  return FreeName(std::string(kHandUe4ssLoader) + ".disabled", taken);
}

}  // namespace tidemoor
