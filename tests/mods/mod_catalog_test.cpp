#include "mods/mod_catalog.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "mods/mod_fixtures.h"

namespace tidemoor {
namespace {

using testing::InfoJson;
using testing::Local;
using testing::Workshop;
using Texts = std::vector<std::string>;

// All in one folder list: a row's status may hang on the others'.
TEST(ModCatalog, EachRowShowsItsFirstProblemOrThatItIsFine) {
  const std::string unreadable = "Info.json 无法读取";
  const struct {
    const char* what;
    InstalledMod mod;
    std::string status;
  } cases[] = {
      {"a mod with nothing wrong", Local("Fine", InfoJson("Fine")), "正常"},
      {"Info.json missing", Local("none", std::nullopt), unreadable},
      {"Info.json garbage", Local("junk", "{\"PackageName\":"), unreadable},
      {"no package", Local("nopackage", R"({"ModName":"x"})"), unreadable},
      {"a package no folder can be named", Local("blank", InfoJson("My Mod")), unreadable},
      {"the same package twice, whatever else is wrong with either",
       Local("Twin1", InfoJson("Twin", {"Missing"})), "包名重复"},
      {"the other of the two", Local("Twin2", InfoJson("twin", {}, {{"Paks", false}})), "包名重复"},
      {"no rule for servers comes before a missing dependency",
       Local("Client", InfoJson("Client", {"Missing"}, {{"Paks", false}, {"Lua", false}})),
       "仅客户端 - 服务端不会加载"},
      {"dependencies not installed, each once; one naming itself needs nothing",
       Local("Lacks", InfoJson("Lacks", {"Gone", "Lost", "Gone", "Lacks"})),
       "缺少依赖: Gone, Lost"},
      {"switched on, a dependency that is installed but switched off is missing",
       Local("On", InfoJson("On", {"Fine"})), "缺少依赖: Fine"},
      {"switched off, an installed dependency is enough", Local("Off", InfoJson("Off", {"Fine"})),
       "正常"},
      {"a dependency whose Info.json cannot be read is missing",
       Local("Leans", InfoJson("Leans", {"none"})), "缺少依赖: none"},
      {"Steam holds a newer copy", Workshop("101", InfoJson("S1"), 1000), "有更新"},
      {"Steam holds the same copy", Workshop("102", InfoJson("S2"), 1000), "正常"},
      {"no time recorded", Workshop("103", InfoJson("S3"), std::nullopt), "正常"},
      {"Steam holds no copy", Workshop("104", InfoJson("S4"), 1), "正常"},
      {"a local import is never updated from Steam", Local("101", InfoJson("L")), "正常"},
      {"a missing dependency comes before an update", Workshop("105", InfoJson("W", {"X"}), 1),
       "缺少依赖: X"},
  };
  std::vector<InstalledMod> mods;
  for (const auto& c : cases) mods.push_back(c.mod);
  const std::map<std::string, uint64_t> steam = {
      {"101", 2000}, {"102", 1000}, {"103", 2000}, {"105", 2000}};
  const std::vector<ModRow> rows = ModRows(mods, {"on"}, steam);
  ASSERT_EQ(rows.size(), mods.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].statusText, cases[i].status) << cases[i].what;
  }
}

TEST(ModCatalog, ARowShowsWhatTheModSaysAndWhereItCameFrom) {
  const std::vector<InstalledMod> mods = {
      Workshop(
          "3456789012",
          InfoJson("BetterBases", {},
                   {{"UE4SS", true}, {"Lua", true}, {"Lua", false}, {"lua", true}}, "Better Bases"),
          5),
      Local("Mine", InfoJson("Mine")),
      Local("Broken", std::nullopt),
  };
  Texts rows;
  for (const ModRow& r : ModRows(mods, {"betterbases", "Broken"}, {})) {
    rows.push_back((r.active ? "on|" : "off|") + r.name + "|" + r.packageName + "|" + r.version +
                   "|" + r.author + "|" + r.source + "|" + r.content);
  }
  // A folder that cannot be read is never shown as switched on, even when its name is listed.
  EXPECT_EQ(rows, (Texts{"on|Better Bases|BetterBases|1.0|Tamsin|创意工坊 3456789012|UE4SS, Lua",
                         "off|Mine|Mine|1.0|Tamsin|本地导入|Lua", "off|Broken||||本地导入|"}));
}

}  // namespace
}  // namespace tidemoor
