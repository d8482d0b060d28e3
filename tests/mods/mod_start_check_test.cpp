#include "mods/mod_start_check.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "mods/mod_fixtures.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

using testing::InfoJson;
using testing::Local;
using testing::Off;
using testing::On;

const std::vector<InstalledMod> kMods = {
    Local("Plain", InfoJson("Plain", {}, {{"Lua", true}}, "Plain Mod")),
    Local("Needy", InfoJson("Needy", {"Plain", "Gone"})),
    Local("Client", InfoJson("Client", {}, {{"Paks", false}})),
    Local("Twin1", InfoJson("Twin")),
    Local("Twin2", InfoJson("twin")),
    Local("Ue4ssRule", InfoJson("Ue4ssRule", {}, {{"UE4SS", true}})),
    Local("UE4SSExperimentalPW", InfoJson("UE4SSExperimentalPW", {}, {{"UE4SS", true}})),
    Local("Schema", InfoJson("Schema", {}, {{"PalSchema", true}}, "Schema Mod")),
    Local("Unreadable", std::nullopt),
};

// Each problem of the active mods is one line. Two UE4SS in one server crash it at its start: the
// host is asked to switch the hand-installed one off.
TEST(ModStartCheck, TellsEachProblemOfTheActiveModsBeforeTheStart) {
  // Which of dwmapi.dll, ue4ss\UE4SS.dll, UE4SS.dll and Mods a hand-installed UE4SS left.
  const HandInstalledUe4ss full{true, true, false, false}, none{}, older{true, false, true, false},
      leftovers{false, true, true, true}, modsLeft{false, false, false, true},
      noLoader{false, true, true, false}, loaderOnly{true, false, false, false};
  const std::string left = "手动安装的 UE4SS 留下的 Pal\\Binaries\\Win64\\";
  const std::string crashes = " 会使服务端在加载 PalSchema 模组 (Schema Mod) 时崩溃 - 请移走";
  struct Case {
    const char* what;
    ModSettings settings;
    HandInstalledUe4ss found;
    std::string problems;  // one line each
    bool ask = false;
  };
  const Case cases[] = {
      {"a mod that is fine", On("Plain"), full},
      {"mods switched off: nothing loads", Off("Needy", "Client", "Twin", "Ue4ssRule"), full},
      {"a dependency not installed, and one installed but switched off", On("Needy"), none,
       "Needy - 缺少依赖: Plain, Gone"},
      {"a dependency switched on", On("Needy", "Plain"), none, "Needy - 缺少依赖: Gone"},
      {"no rule for servers", On("client"), none, "Client - 仅客户端 - 服务端不会加载"},
      {"a package in two folders, told once", On("Twin"), none,
       "包名重复: Twin (Twin1, Twin2) - 服务端只会加载其中一个"},
      {"names of mods not installed or unreadable are no problem here", On("Unreadable", "Nowhere"),
       none},
      {"leftovers of a hand-installed UE4SS with a PalSchema mod", On("Schema", "Plain"), leftovers,
       left + "UE4SS.dll, Pal\\Binaries\\Win64\\Mods" + crashes},
      {"one leftover", On("Schema"), modsLeft, left + "Mods" + crashes},
      {"leftovers without a PalSchema mod", On("Plain"), leftovers},
      {"a mod with a UE4SS rule for servers", On("Ue4ssRule"), full, "", true},
      {"the Workshop's UE4SS", On("UE4SSExperimentalPW"), full, "", true},
      {"the older layout, UE4SS.dll beside the loader", On("Ue4ssRule"), older, "", true},
      {"no loader", On("Ue4ssRule"), noLoader},
      {"a loader without UE4SS", On("Ue4ssRule"), loaderOnly},
  };
  for (const Case& c : cases) {
    const ModStartCheck check = CheckModsBeforeStart(kMods, c.settings, c.found);
    EXPECT_EQ(JoinTexts(check.problems, "\n"), c.problems) << c.what;
    EXPECT_EQ(check.askToDisableHandUe4ss, c.ask) << c.what;
  }

  std::set<std::string> taken;
  const auto isTaken = [&](const std::string& name) { return taken.count(name) > 0; };
  EXPECT_EQ(DisabledLoaderName(isTaken), "dwmapi.dll.disabled");
  taken = {"dwmapi.dll.disabled", "dwmapi.dll.disabled.2"};
  EXPECT_EQ(DisabledLoaderName(isTaken), "dwmapi.dll.disabled.3");
}

}  // namespace
}  // namespace tidemoor
