#include "mods/mod_info.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"

namespace tidemoor {
namespace {

using Texts = std::vector<std::string>;

// What the tests compare of a mod: package|name|version|author|revision|dependencies|rules.
std::string Summary(const std::optional<ModInfo>& mod) {
  if (!mod) return "none";
  return mod->packageName + "|" + mod->modName + "|" + mod->version + "|" + mod->author + "|" +
         mod->minRevision + "|" + JoinTexts(mod->dependencies) + "|" +
         std::to_string(mod->installRules.size());
}

TEST(ModInfo, ReadsWhatTheFileHoldsAndToleratesTheRest) {
  // As the Workshop's tools write it: a rule repeated, once for servers and once without.
  const std::string workshop = R"({"ModName":"Better Bases","PackageName":"BetterBases",
    "Thumbnail":"thumbnail.png","Version":"1.4.2","DebugMode":false,"MinRevision":84512,
    "Author":"Tamsin","Dependencies":["UE4SSExperimentalPW","PalSchemaCore"],"Tags":["QoL"],
    "InstallRule":[{"Type":"Lua","IsServer":true,"Targets":["Scripts/"]},
      {"Type":"Lua","Targets":["Scripts/"]},{"Type":"Paks","IsServer":true,"Targets":["a.pak"]}],
    "Unknown":{"Nested":[1,2,3]}})";
  const struct {
    const char* what;
    std::string json;
    std::string summary;
  } cases[] = {
      {"a Workshop file", workshop,
       "BetterBases|Better Bases|1.4.2|Tamsin|84512|UE4SSExperimentalPW,PalSchemaCore|3"},
      {"nulls everywhere",
       R"({"PackageName":"A","ModName":null,"Version":null,"Dependencies":null,"Tags":null,
           "InstallRule":null,"Author":null,"MinRevision":null,"DebugMode":null})",
       "A||||||0"},
      {"numbers for text, text for numbers",
       R"({"PackageName":123,"ModName":7,"Version":1.5,"MinRevision":"84512"})",
       "123|7|1.5||84512||0"},
      {"one dependency as text, blanks around names",
       R"({"PackageName":" A ","Dependencies":" B "})", "A|||||B|0"},
      {"empty and odd items among the dependencies",
       R"({"PackageName":"A","Dependencies":["", null, 5, {"x":1}, "C"]})", "A|||||5,C|0"},
      {"rules without a type, or not objects, are no rules",
       R"({"PackageName":"A","InstallRule":[{"IsServer":true},"Lua",{"Type":" "},{"Type":"Lua"}]})",
       "A||||||1"},
      {"rules that are not a list", R"({"PackageName":"A","InstallRule":{"Type":"Lua"}})",
       "A||||||0"},
      {"a byte-order mark and comments", "\xEF\xBB\xBF// by hand\n{\"PackageName\":\"A\"}",
       "A||||||0"},
      {"no package name", R"({"ModName":"A"})", "none"},
      {"blank package name", R"({"PackageName":"  "})", "none"},
      {"package name a list", R"({"PackageName":["A"]})", "none"},
      {"an array", R"([{"PackageName":"A"}])", "none"},
      {"cut short", R"({"PackageName":"A")", "none"},
      {"not UTF-8", "{\"PackageName\":\"A\xFF\"}", "none"},
      {"larger than any description",
       R"({"PackageName":"A","x":")" + std::string(1 << 20, 'x') + "\"}", "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(Summary(ReadModInfo(c.json)), c.summary) << c.what;
  const ModInfo full = *ReadModInfo(workshop);
  EXPECT_EQ(full.tags, Texts{"QoL"});
  EXPECT_EQ(full.thumbnail, "thumbnail.png");
  EXPECT_EQ(full.installRules[2].targets, Texts{"a.pak"});
  EXPECT_EQ(ShownModName(full), "Better Bases");
  EXPECT_EQ(ShownModName(*ReadModInfo(R"({"PackageName":"A"})")), "A");
}

// What a dedicated server deploys of a mod follows its rules for servers only.
TEST(ModInfo, TheServersShareOfAModFollowsItsServerRules) {
  const auto share = [](const ModInfo& mod) {
    return JoinTexts(ServerRuleTypes(mod), ", ") + (IsClientOnly(mod) ? " client-only" : "") +
           (CarriesUe4ss(mod) ? " +UE4SS" : "") + (CarriesPalSchema(mod) ? " +PalSchema" : "");
  };
  const struct {
    const char* what;
    std::string rules;  // the InstallRule array, and any field after it
    std::string share;
  } cases[] = {
      {"no rules at all", "[]", ""},
      {"rules, none for servers", R"([{"Type":"Paks"},{"Type":"Lua","IsServer":false}])",
       " client-only"},
      {"each type once, in the file's order",
       R"([{"Type":"Lua","IsServer":true},{"Type":"Paks","IsServer":true},
           {"Type":"lua","IsServer":true},{"Type":"LogicMods"}])",
       "Lua, Paks"},
      {"IsServer written as text or a number",
       R"([{"Type":"Lua","IsServer":"True"},{"Type":"Paks","IsServer":1},
           {"Type":"LogicMods","IsServer":"no"},{"Type":"PalSchema","IsServer":0}])",
       "Lua, Paks"},
      {"UE4SS for servers", R"([{"Type":"UE4SS","IsServer":true}])", "UE4SS +UE4SS"},
      {"UE4SS for clients deploys nothing on a server", R"([{"Type":"ue4ss"}])", " client-only"},
      {"the Workshop's UE4SS as a dependency",
       R"([{"Type":"Lua","IsServer":true}],"Dependencies":["ue4ssexperimentalpw"])", "Lua +UE4SS"},
      {"PalSchema for servers", R"([{"Type":"PalSchema","IsServer":true}])",
       "PalSchema +PalSchema"},
      {"PalSchema for clients", R"([{"Type":"PalSchema"},{"Type":"Lua","IsServer":true}])", "Lua"},
  };
  for (const auto& c : cases) {
    const std::string json = R"({"PackageName":"A","InstallRule":)" + c.rules + "}";
    EXPECT_EQ(share(*ReadModInfo(json)), c.share) << c.what;
  }
}

// A package name becomes a folder name below Mods\Workshop.
TEST(ModInfo, PackageNamesAreLettersAndDigitsOnly) {
  for (const std::string name : {"BetterBases", "Mod2", "7"}) {
    EXPECT_TRUE(IsValidPackageName(name)) << name;
  }
  for (const std::string& name :
       std::vector<std::string>{"", "Better Bases", "a.b", "..", "a\\b", "a/b", "C:", "Mod_1",
                                "模组", std::string("Mod\0x", 5)}) {
    EXPECT_FALSE(IsValidPackageName(name)) << name;
  }
  EXPECT_TRUE(SamePackage("BetterBases", "betterbases") && !SamePackage("BetterBases", "Better"));
}

}  // namespace
}  // namespace tidemoor
