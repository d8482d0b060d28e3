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

TEST(ModCatalog, EachRowShowsItsFirstProblemOrThatItIsFine) {
  const std::map<std::string, uint64_t> steam = {{"101", 2000}, {"102", 1000}, {"103", 2000}};
  struct Case {
    const char* what;
    std::vector<InstalledMod> mods;
    Texts active;
    Texts statuses;  // one per folder, in order
  };
  const Case cases[] = {
      {"a mod with nothing wrong", {Local("A", InfoJson("A"))}, {}, {"正常"}},
      {"Info.json missing, garbage, or naming no usable package",
       {Local("none", std::nullopt), Local("junk", "{\"PackageName\":"),
        Local("nopackage", R"({"ModName":"x"})"), Local("blank", InfoJson("My Mod"))},
       {},
       {"Info.json 无法读取", "Info.json 无法读取", "Info.json 无法读取", "Info.json 无法读取"}},
      {"the same package twice, whatever else is wrong with either",
       {Local("A1", InfoJson("A", {"Missing"})), Local("A2", InfoJson("a", {}, {{"Paks", false}}))},
       {},
       {"包名重复", "包名重复"}},
      {"no rule for servers comes before a missing dependency",
       {Local("C", InfoJson("C", {"Missing"}, {{"Paks", false}, {"Lua", false}}))},
       {},
       {"仅客户端 - 服务端不会加载"}},
      {"a mod without rules is not client-only", {Local("A", InfoJson("A", {}, {}))}, {}, {"正常"}},
      {"dependencies not installed, each once; one naming itself needs nothing",
       {Local("B", InfoJson("B", {"C", "D", "C", "B"}))},
       {},
       {"缺少依赖: C, D"}},
      {"switched on, a dependency that is installed but switched off is missing",
       {Local("A", InfoJson("A")), Local("B", InfoJson("B", {"A"}))},
       {"b"},
       {"正常", "缺少依赖: A"}},
      {"switched off, an installed dependency is enough",
       {Local("A", InfoJson("A")), Local("B", InfoJson("B", {"A"}))},
       {},
       {"正常", "正常"}},
      {"a dependency whose Info.json cannot be read is missing",
       {Local("A", "{}"), Local("B", InfoJson("B", {"A"}))},
       {},
       {"Info.json 无法读取", "缺少依赖: A"}},
      {"Steam holds a newer copy; the same or an older one, or no time recorded, is no update",
       {Workshop("101", InfoJson("A"), 1000), Workshop("102", InfoJson("B"), 1000),
        Workshop("103", InfoJson("C"), std::nullopt), Workshop("104", InfoJson("D"), 1)},
       {},
       {"有更新", "正常", "正常", "正常"}},
      {"a local import is never updated from Steam, and a missing dependency comes first",
       {Local("101", InfoJson("A")), Workshop("101", InfoJson("B", {"X"}), 1)},
       {},
       {"正常", "缺少依赖: X"}},
  };
  for (const Case& c : cases) {
    const std::vector<ModRow> rows = ModRows(c.mods, c.active, steam);
    Texts statuses;
    for (const ModRow& row : rows) statuses.push_back(row.statusText);
    EXPECT_EQ(statuses, c.statuses) << c.what;
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
