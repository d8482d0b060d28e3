#include "mods/mod_selection.h"

#include <algorithm>

#include "mods/installed_mods.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// Walks the dependencies from one mod, each package once, so a cycle ends where it closes.
class DependencyWalk {
 public:
  explicit DependencyWalk(const std::vector<ModInfo>& installed) : installed_(installed) {}

  // The installed mods the package needs, each after its own dependencies, the package last.
  void From(std::string_view packageName) {
    if (IsListed(seen_, packageName)) return;
    seen_.emplace_back(packageName);
    const ModInfo* mod = FindMod(installed_, packageName);
    if (!mod) {
      missing_.emplace_back(packageName);
      return;
    }
    for (const std::string& dependency : mod->dependencies) From(dependency);
    order_.push_back(mod);
  }

  const std::vector<std::string>& Missing() const { return missing_; }
  const std::vector<const ModInfo*>& Order() const { return order_; }

 private:
  const std::vector<ModInfo>& installed_;
  std::vector<std::string> seen_;
  std::vector<std::string> missing_;
  std::vector<const ModInfo*> order_;
};

bool Needs(const ModInfo& mod, std::string_view packageName) {
  return IsListed(mod.dependencies, packageName) && !SamePackage(mod.packageName, packageName);
}

}  // namespace

TickResult TickMod(const std::vector<ModInfo>& installed, const std::vector<std::string>& active,
                   std::string_view packageName) {
  TickResult result{active, false, {}};
  DependencyWalk walk(installed);
  walk.From(packageName);
  if (!walk.Missing().empty()) {
    result.message = "缺少依赖: " + JoinTexts(walk.Missing(), ", ") + " - 无法启用";
    return result;
  }
  std::vector<std::string> brought;
  for (const ModInfo* mod : walk.Order()) {
    if (IsListed(result.activeMods, mod->packageName)) continue;
    result.activeMods.push_back(mod->packageName);
    if (!SamePackage(mod->packageName, packageName)) brought.push_back(ShownModName(*mod));
  }
  result.ticked = true;
  if (!brought.empty()) result.message = "同时启用了依赖: " + JoinTexts(brought, ", ");
  return result;
}

std::vector<std::string> ActiveModsNeeding(const std::vector<ModInfo>& installed,
                                           const std::vector<std::string>& active,
                                           std::string_view packageName) {
  const std::vector<ModInfo> on = ActiveMods(installed, active);
  // Grows outwards from the mod: whoever needs one of the broken ones is broken too.
  std::vector<std::string> broken{std::string(packageName)};
  std::vector<std::string> names;
  for (size_t next = 0; next < broken.size(); ++next) {
    for (const ModInfo& mod : on) {
      if (!Needs(mod, broken[next]) || IsListed(broken, mod.packageName)) continue;
      broken.push_back(mod.packageName);
      names.push_back(ShownModName(mod));
    }
  }
  return names;
}

std::vector<std::string> UntickMod(const std::vector<std::string>& active,
                                   std::string_view packageName) {
  std::vector<std::string> left = active;
  std::erase_if(left, [&](const std::string& name) { return SamePackage(name, packageName); });
  return left;
}

}  // namespace tidemoor
