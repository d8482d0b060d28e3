#include "mods/mod_catalog.h"

#include "platform/text.h"

namespace tidemoor {
namespace {

std::string SourceText(const InstalledMod& mod) {
  return mod.source == ModSource::Workshop ? "创意工坊 " + mod.workshopItemId : "本地导入";
}

bool UpdateWaiting(const InstalledMod& mod, const std::map<std::string, uint64_t>& steamTimes) {
  if (mod.source != ModSource::Workshop || !mod.importedTimeUpdated) return false;
  const auto steam = steamTimes.find(mod.workshopItemId);
  return steam != steamTimes.end() && steam->second > *mod.importedTimeUpdated;
}

}  // namespace

std::vector<ModRow> ModRows(const std::vector<InstalledMod>& mods,
                            const std::vector<std::string>& activeList,
                            const std::map<std::string, uint64_t>& steamTimes) {
  const std::vector<ModInfo> usable = UsableMods(mods);
  const std::vector<ModInfo> active = ActiveMods(usable, activeList);
  std::vector<ModRow> rows;
  for (const InstalledMod& mod : mods) {
    ModRow row;
    row.folderName = mod.folderName;
    row.source = SourceText(mod);
    const std::optional<ModInfo> info = UsableModInfo(mod);
    if (!info) {
      row.name = mod.folderName;
      row.status = ModStatus::Unreadable;
      row.statusText = "Info.json 无法读取";
      rows.push_back(std::move(row));
      continue;
    }
    row.active = IsListed(activeList, info->packageName);
    row.name = ShownModName(*info);
    row.packageName = info->packageName;
    row.version = info->version;
    row.author = info->author;
    row.content = JoinTexts(ServerRuleTypes(*info), ", ");
    // A mod switched on needs its dependencies switched on; one switched off, installed.
    const std::vector<std::string> missing =
        DependenciesMissingFrom(*info, row.active ? active : usable);
    if (PackageCount(usable, info->packageName) > 1) {
      row.status = ModStatus::DuplicatePackage;
      row.statusText = "包名重复";
    } else if (IsClientOnly(*info)) {
      row.status = ModStatus::ClientOnly;
      row.statusText = "仅客户端 - 服务端不会加载";
    } else if (!missing.empty()) {
      row.status = ModStatus::MissingDependency;
      row.statusText = "缺少依赖: " + JoinTexts(missing, ", ");
    } else if (UpdateWaiting(mod, steamTimes)) {
      row.status = ModStatus::UpdateAvailable;
      row.statusText = "有更新";
    } else {
      row.statusText = "正常";
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace tidemoor
