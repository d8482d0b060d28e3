#include "mods/mod_start_check.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "mods/mod_fixtures.h"

namespace tidemoor {
namespace {

using testing::InfoJson;
using testing::Local;
using Lines = std::vector<std::string>;

const std::vector<InstalledMod> kMods = {
    Local("Plain", InfoJson("Plain", {}, {{"Lua", true}}, "Plain Mod")),
    Local("Needy", InfoJson("Needy", {"Plain", "Gone"})),
    Local("Client", InfoJson("Client", {}, {{"Paks", false}})),
    Local("Twin1", InfoJson("Twin")),
    Local("Twin2", InfoJson("twin")),
    Local("Ue4ssRule", InfoJson("Ue4ssRule", {}, {{"UE4SS", true}})),
    Local("Ue4ssClient", InfoJson("Ue4ssClient", {}, {{"UE4SS", false}, {"Lua", true}})),
    Local("Ue4ssNeeded", InfoJson("Ue4ssNeeded", {"UE4SSExperimentalPW"})),
    Local("UE4SSExperimentalPW", InfoJson("UE4SSExperimentalPW", {}, {{"UE4SS", true}})),
    Local("Schema", InfoJson("Schema", {}, {{"PalSchema", true}}, "Schema Mod")),
    Local("Unreadable", std::nullopt),
};

// Each problem of the active mods is one line. Two UE4SS in one server crash it at its start: the
// host is asked to switch the hand-installed one off.
TEST(ModStartCheck, TellsEachProblemOfTheActiveModsBeforeTheStart) {
  const HandInstalledUe4ss installed{true, true, false, false};
  struct Case {
    const char* what;
    ModSettings settings;
    HandInstalledUe4ss found;
    Lines problems;
    bool ask = false;
  };
  const Case cases[] = {
      {"a mod that is fine", {true, {"Plain"}}, installed, {}},
      {"mods switched off: nothing loads",
       {false, {"Needy", "Client", "Twin", "Ue4ssRule"}},
       installed,
       {}},
      {"a dependency not installed, and one installed but switched off",
       {true, {"Needy"}},
       {},
       {"Needy - 缺少依赖: Plain, Gone"}},
      {"a dependency switched on", {true, {"Needy", "Plain"}}, {}, {"Needy - 缺少依赖: Gone"}},
      {"no rule for servers", {true, {"client"}}, {}, {"Client - 仅客户端 - 服务端不会加载"}},
      {"a package in two folders, told once",
       {true, {"Twin"}},
       {},
       {"包名重复: Twin (Twin1, Twin2) - 服务端只会加载其中一个"}},
      {"names of mods not installed or unreadable are no problem here",
       {true, {"Unreadable", "Nowhere"}},
       {},
       {}},
      {"leftovers of a hand-installed UE4SS with a PalSchema mod",
       {true, {"Schema", "Plain"}},
       {false, false, true, true},
       {"手动安装的 UE4SS 留下的 Pal\\Binaries\\Win64\\UE4SS.dll, Pal\\Binaries\\Win64\\Mods "
        "会使服务端在加载 PalSchema 模组 (Schema Mod) 时崩溃 - 请移走"}},
      {"one leftover",
       {true, {"Schema"}},
       {false, false, false, true},
       {"手动安装的 UE4SS 留下的 Pal\\Binaries\\Win64\\Mods 会使服务端在加载 PalSchema 模组 "
        "(Schema Mod) 时崩溃 - 请移走"}},
      {"leftovers without a PalSchema mod", {true, {"Plain"}}, {false, true, true, true}, {}},
      {"a mod with a UE4SS rule for servers", {true, {"Ue4ssRule"}}, installed, {}, true},
      {"a mod that needs the Workshop's UE4SS",
       {true, {"Ue4ssNeeded", "UE4SSExperimentalPW"}},
       installed,
       {},
       true},
      {"the Workshop's UE4SS by itself", {true, {"UE4SSExperimentalPW"}}, installed, {}, true},
      {"the older layout, UE4SS.dll beside the loader",
       {true, {"Ue4ssRule"}},
       {true, false, true, false},
       {},
       true},
      {"a UE4SS rule for clients only", {true, {"Ue4ssClient"}}, installed, {}},
      {"no loader", {true, {"Ue4ssRule"}}, {false, true, true, false}, {}},
      {"a loader without UE4SS", {true, {"Ue4ssRule"}}, {true, false, false, false}, {}},
  };
  for (const Case& c : cases) {
    const ModStartCheck check = CheckModsBeforeStart(kMods, c.settings, c.found);
    EXPECT_EQ(check.problems, c.problems) << c.what;
    EXPECT_EQ(check.askToDisableHandUe4ss, c.ask) << c.what;
  }
  EXPECT_EQ(std::string(kTwoUe4ssQuestion),
            " 检测到手动安装的 UE4SS 与创意工坊 UE4SS 同时存在，服务端会在启动时崩溃 - "
            "是否停用手动安装的 UE4SS? \r\n (dwmapi.dll 将改名为 dwmapi.dll.disabled) ");

  std::set<std::string> taken;
  const auto isTaken = [&](const std::string& name) { return taken.count(name) > 0; };
  EXPECT_EQ(DisabledLoaderName(isTaken), "dwmapi.dll.disabled");
  taken = {"dwmapi.dll.disabled", "dwmapi.dll.disabled.2"};
  EXPECT_EQ(DisabledLoaderName(isTaken), "dwmapi.dll.disabled.3");
}

}  // namespace
}  // namespace tidemoor
