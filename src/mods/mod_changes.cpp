#include "mods/mod_changes.h"

#include <algorithm>

#include "mods/mod_selection.h"
#include "platform/text.h"

namespace tidemoor {

bool ChangesWhatLoads(const ModSettings& read, const ModSettings& written) {
  if (!read.enabled && !written.enabled) return false;
  return read.enabled != written.enabled ||
         !std::equal(read.activeMods.begin(), read.activeMods.end(), written.activeMods.begin(),
                     written.activeMods.end(),
                     [](const std::string& a, const std::string& b) { return SamePackage(a, b); });
}

ModSettings SettingsWithoutFolder(const std::vector<InstalledMod>& mods,
                                  const ModSettings& settings, std::string_view folderName) {
  const auto deleted = std::find_if(mods.begin(), mods.end(), [&](const InstalledMod& mod) {
    return EqualsIgnoringCase(mod.folderName, folderName);
  });
  const std::optional<ModInfo> info =
      deleted == mods.end() ? std::nullopt : UsableModInfo(*deleted);
  if (!info) return settings;
  const bool carriedElsewhere = std::any_of(mods.begin(), mods.end(), [&](const InstalledMod& mod) {
    if (&mod == &*deleted) return false;
    const std::optional<ModInfo> other = UsableModInfo(mod);
    return other && SamePackage(other->packageName, info->packageName);
  });
  if (carriedElsewhere) return settings;
  return {settings.enabled, UntickMod(settings.activeMods, info->packageName)};
}

std::string SavedModSettingsLine(const ModSettings& settings) {
  std::string line = std::string("模组设置已保存: 启用模组 ") + (settings.enabled ? "是" : "否") +
                     ", 启用 " + std::to_string(settings.activeMods.size()) + " 个模组";
  if (!settings.activeMods.empty()) line += " (" + JoinTexts(settings.activeMods, ", ") + ")";
  return line;
}

}  // namespace tidemoor
