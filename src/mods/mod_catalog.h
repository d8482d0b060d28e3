#pragma once
// The rows of the mod manager: one per folder under Mods\Workshop, with what the host needs to
// see to decide what to switch on.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mods/installed_mods.h"

namespace tidemoor {

// A row's state. When several hold, the row shows the first of this order: what keeps the mod
// from loading at all comes before what breaks it, and news comes last.
enum class ModStatus {
  Unreadable,         // Info.json missing, not JSON, or naming no usable package
  DuplicatePackage,   // another folder carries the same package: which one loads is chance
  ClientOnly,         // rules, none for servers: the server never loads it
  MissingDependency,  // a dependency not installed (for a mod switched on: not switched on)
  UpdateAvailable,    // Steam holds a newer copy of the Workshop item than the one imported
  Normal,
};

struct ModRow {
  std::string folderName;
  bool active = false;
  std::string name;         // 名称
  std::string packageName;  // 包名
  std::string version;      // 版本
  std::string author;       // 作者
  std::string source;       // 来源
  std::string content;      // 内容: the rule types the server deploys
  ModStatus status = ModStatus::Normal;
  std::string statusText;  // 状态
};

// The rows, in the folders' order. steamTimes: the timeupdated of each Workshop item the host's
// Steam holds, by item id.
std::vector<ModRow> ModRows(const std::vector<InstalledMod>& mods,
                            const std::vector<std::string>& activeList,
                            const std::map<std::string, uint64_t>& steamTimes);

}  // namespace tidemoor
