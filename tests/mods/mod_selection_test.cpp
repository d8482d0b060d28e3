#include "mods/mod_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mods/mod_fixtures.h"

namespace tidemoor {
namespace {

using testing::InfoJson;
using Names = std::vector<std::string>;

ModInfo Mod(const std::string& package, const Names& needs = {}, const std::string& name = "") {
  return *ReadModInfo(InfoJson(package, needs, {{"Lua", true}}, name));
}

TEST(ModSelection, TickingBringsEveryInstalledDependencyOrNothing) {
  const std::vector<ModInfo> installed = {
      Mod("Base", {}, "Base Lib"),  Mod("Mid", {"Base"}),
      Mod("Top", {"Mid", "Extra"}), Mod("Extra"),
      Mod("Ring1", {"Ring2"}),      Mod("Ring2", {"Ring1"}),
      Mod("Self", {"Self"}),        Mod("Broken", {"Mid", "Gone"}),
      Mod("Deep", {"Broken"}),      Mod("Other"),
  };
  struct Case {
    const char* what;
    Names active;
    std::string tick;
    Names after;
    std::string message;
  };
  const Case cases[] = {
      {"a mod without dependencies", {"Other"}, "Extra", {"Other", "Extra"}, ""},
      {"dependencies first, through others, named as shown",
       {},
       "Top",
       {"Base", "Mid", "Extra", "Top"},
       "同时启用了依赖: Base Lib, Mid, Extra"},
      {"dependencies already on are not named again",
       {"base", "Extra"},
       "Top",
       {"base", "Extra", "Mid", "Top"},
       "同时启用了依赖: Mid"},
      {"a mod already on stays once",
       {"Top", "Mid", "Base", "Extra"},
       "top",
       {"Top", "Mid", "Base", "Extra"},
       ""},
      {"a cycle ends where it closes", {}, "Ring1", {"Ring2", "Ring1"}, "同时启用了依赖: Ring2"},
      {"a mod naming itself", {}, "Self", {"Self"}, ""},
      {"a missing dependency: nothing is ticked",
       {"Other"},
       "Broken",
       {"Other"},
       "缺少依赖: Gone - 无法启用"},
      {"a missing dependency further down", {}, "Deep", {}, "缺少依赖: Gone - 无法启用"},
      {"a mod that is not installed", {}, "Nowhere", {}, "缺少依赖: Nowhere - 无法启用"},
  };
  for (const Case& c : cases) {
    const TickResult result = TickMod(installed, c.active, c.tick);
    EXPECT_EQ(result.activeMods, c.after) << c.what;
    EXPECT_EQ(result.message, c.message) << c.what;
    EXPECT_EQ(result.ticked, c.message.find("无法启用") == std::string::npos) << c.what;
  }
}

TEST(ModSelection, UntickingNamesTheActiveModsThatNeedIt) {
  const std::vector<ModInfo> installed = {
      Mod("Base"),           Mod("Mid", {"Base"}, "Middle"), Mod("Top", {"Mid"}),
      Mod("Side", {"Base"}), Mod("Ring1", {"Ring2"}),        Mod("Ring2", {"Ring1"}),
  };
  const struct {
    const char* what;
    Names active;
    std::string untick;
    Names needing;
  } cases[] = {
      {"directly and through others",
       {"Base", "Mid", "Top", "Side"},
       "base",
       {"Middle", "Side", "Top"}},
      {"mods switched off do not count", {"Base", "Side"}, "Base", {"Side"}},
      {"nobody needs it", {"Base", "Mid", "Top"}, "Top", {}},
      {"a cycle", {"Ring1", "Ring2"}, "Ring1", {"Ring2"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ActiveModsNeeding(installed, c.active, c.untick), c.needing) << c.what;
  }
  EXPECT_EQ(UntickMod({"A", "b", "B", "C"}, "B"), (Names{"A", "C"}));
}

}  // namespace
}  // namespace tidemoor
