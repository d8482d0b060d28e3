#include "mods/mod_changes.h"

#include <gtest/gtest.h>

#include "mods/mod_fixtures.h"
#include "mods/mod_import.h"

namespace tidemoor {
namespace {

using testing::InfoJson;
using testing::Local;
using Texts = std::vector<std::string>;

TEST(ModChanges, OnlyAChangeOfWhatTheServerLoadsCounts) {
  const struct {
    const char* what;
    ModSettings read, written;
    bool changes;
  } cases[] = {
      {"nothing changed", {true, {"A", "B"}}, {true, {"A", "B"}}, false},
      {"the same names in another case", {true, {"A"}}, {true, {"a"}}, false},
      {"a mod added while mods load", {true, {"A"}}, {true, {"A", "B"}}, true},
      {"a mod taken away", {true, {"A", "B"}}, {true, {"A"}}, true},
      {"the order changed", {true, {"A", "B"}}, {true, {"B", "A"}}, true},
      {"mods switched on", {false, {"A"}}, {true, {"A"}}, true},
      {"mods switched off", {true, {}}, {false, {}}, true},
      {"the list edited while mods stay off", {false, {"A"}}, {false, {"B"}}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(ChangesWhatLoads(c.read, c.written), c.changes) << c.what;
}

TEST(ModChanges, ADeletedFolderTakesItsPackageOffTheListUnlessAnotherCarriesIt) {
  const std::vector<InstalledMod> mods = {Local("A1", InfoJson("A")), Local("A2", InfoJson("a")),
                                          Local("B", InfoJson("B")), Local("Broken", "{")};
  const ModSettings settings{true, {"A", "b", "Broken"}};
  const struct {
    const char* folder;
    Texts left;
  } cases[] = {{"b", {"A", "Broken"}},
               {"A1", {"A", "b", "Broken"}},
               {"Broken", {"A", "b", "Broken"}},
               {"Gone", {"A", "b", "Broken"}}};
  for (const auto& c : cases) {
    EXPECT_EQ(SettingsWithoutFolder(mods, settings, c.folder), (ModSettings{true, c.left}))
        << c.folder;
  }
  EXPECT_EQ(SettingsWithoutFolder({mods[0], mods[2]}, settings, "A1").activeMods,
            (Texts{"b", "Broken"}));
}

TEST(ModImport, AModFromTheHostsFilesTakesTheFolderOfItsPackage) {
  const std::string unreadable = " 模组的 Info.json 无法读取或没有 PackageName - 已取消导入 ";
  const struct {
    std::optional<std::string> infoJson;
    std::string target;  // refusal|folder|shown name
  } cases[] = {
      {InfoJson("BetterBases", {}, {{"Lua", true}}, "Better Bases"), "|BetterBases|Better Bases"},
      {InfoJson("../Pal\\u2028"),
       " 模组的包名 \"../Pal\\u{2028}\" 含有英文字母和数字以外的字符, 无法作为文件夹名 - "
       "已取消导入 ||"},
      {R"({"ModName":"x"})", unreadable + "||"},
      {std::nullopt, unreadable + "||"},
  };
  for (const auto& c : cases) {
    const ImportTarget target = ImportTargetOf(c.infoJson);
    EXPECT_EQ(target.refusal + "|" + target.folderName + "|" + target.shownName, c.target);
  }
  // A name from a stranger's archive cannot break the question's line.
  EXPECT_EQ(ReplaceFromFilesQuestion("Evil\r\nMod"),
            " 模组 Evil\\r\\nMod 已存在 - 是否用导入的版本替换? ");
}

}  // namespace
}  // namespace tidemoor
