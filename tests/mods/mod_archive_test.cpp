#include "mods/mod_archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

using Targets = std::vector<std::string>;
using R = ImportRefusal;

ZipEntry File(std::string_view name) {
  ZipEntry entry;
  entry.name = name;
  entry.data = name;  // tells the entries apart
  return entry;
}

ZipEntry Folder(std::string_view name) {
  ZipEntry entry = File(name);
  entry.isFolder = true;
  return entry;
}

ZipEntry Link(std::string_view name) {
  ZipEntry entry = File(name);
  entry.isLink = true;
  return entry;
}

TEST(ModArchive, EveryEntryBelowTheRootGoesIntoTheModsFolder) {
  struct Case {
    const char* what;
    std::vector<ZipEntry> entries;
    std::string root;
    Targets targets;
    std::string info = "Info.json";  // the entry read as the mod's Info.json
  };
  const Case cases[] = {
      {"Info.json at the top",
       {File("Info.json"), Folder("Paks/"), File("Paks/Mod_P.pak"), File("Scripts\\main.lua")},
       "",
       {"Info.json", "Paks", "Paks\\Mod_P.pak", "Scripts\\main.lua"}},
      {"one folder down; what lies beside the root is left out",
       {Folder("BetterBases/"), File("BetterBases/Info.json"), File("BetterBases/Paks/a.pak"),
        File("readme.txt"), File("Other/notes.txt")},
       "BetterBases",
       {"Info.json", "Paks\\a.pak"},
       "BetterBases/Info.json"},
      {"the root's name without regard to case",
       {File("Mod/info.json"), File("mod/x.lua")},
       "Mod",
       {"info.json", "x.lua"},
       "Mod/info.json"},
      {"the top wins over folders below that hold one too",
       {File("Info.json"), File("Sub/Info.json")},
       "",
       {"Info.json", "Sub\\Info.json"}},
      {"dot parts and doubled separators name nothing",
       {File("./Info.json"), File("a//b/./c.txt"), Folder("./")},
       "",
       {"Info.json", "a\\b\\c.txt"},
       "./Info.json"},
      {"a blank and Chinese in names",
       {File("Info.json"), File("模组 文件/a b.txt")},
       "",
       {"Info.json", "模组 文件\\a b.txt"}},
  };
  for (const Case& c : cases) {
    const ArchiveImportPlan plan = PlanArchiveImport({c.entries, ZipFault::None});
    ASSERT_EQ(plan.refusal, R::None) << c.what;
    EXPECT_EQ(plan.root, c.root) << c.what;
    Targets targets;
    for (const PlacedEntry& placed : plan.entries) targets.push_back(placed.target);
    EXPECT_EQ(targets, c.targets) << c.what;
    EXPECT_EQ(plan.infoJson.name, c.info) << c.what;
    EXPECT_EQ(plan.infoJson.data, c.info) << c.what;
  }
}

// One entry at fault refuses the whole archive: nothing of it is written.
TEST(ModArchive, AnyUnsafeEntryRefusesTheWholeArchive) {
  const auto beside = [](std::string_view name) {
    return PlanArchiveImport({{File("Info.json"), File(name)}, ZipFault::None});
  };
  // The last lies outside the root, and is refused all the same.
  for (const std::string& name : std::vector<std::string>{
           "../evil.dll", "Paks/../../evil.dll", "..\\evil.dll", "/etc/passwd",
           "\\Windows\\evil.dll", "C:/Windows/evil.dll", "Info.json:stream", "Paks/a.pak.",
           "Paks /a.pak", "Paks/...", "nul.txt", "Paks/com1.pak", "LPT\xC2\xB9", "a\x01.txt",
           "bad\xFF.txt", "", "outside/../../x"}) {
    const ArchiveImportPlan plan = beside(name);
    EXPECT_EQ(plan.refusal, R::UnsafePath) << name;
    EXPECT_EQ(plan.offendingEntry, name) << name;
    EXPECT_TRUE(plan.entries.empty()) << name;
  }
  for (const char* name : {"Console.txt", "com10.txt", "..a/b..c"}) {
    EXPECT_EQ(beside(name).refusal, R::None) << name;
  }
  EXPECT_EQ(beside("INFO.JSON").refusal, R::SameTarget);

  const struct {
    const char* what;
    ZipListing listing;
    R refusal;
  } whole[] = {
      {"a link", {{File("Info.json"), Link("Scripts/main.lua")}, ZipFault::None}, R::Link},
      {"a link outside the root",
       {{File("Mod/Info.json"), Link("elsewhere")}, ZipFault::None},
       R::Link},
      {"no Info.json", {{File("Paks/a.pak")}, ZipFault::None}, R::NoInfoJson},
      {"Info.json two folders down", {{File("a/b/Info.json")}, ZipFault::None}, R::NoInfoJson},
      {"a folder named Info.json", {{Folder("Info.json/")}, ZipFault::None}, R::NoInfoJson},
      {"two mods", {{File("A/Info.json"), File("B/Info.json")}, ZipFault::None}, R::SeveralMods},
      {"the caps", {{}, ZipFault::TooLarge}, R::TooLarge},
      {"encrypted", {{}, ZipFault::Unsupported}, R::Unsupported},
      {"damaged", {{}, ZipFault::Damaged}, R::Damaged},
  };
  for (const auto& c : whole) EXPECT_EQ(PlanArchiveImport(c.listing).refusal, c.refusal) << c.what;
}

TEST(ModArchive, AFoldersRootIsFoundTheSameWay) {
  const struct {
    const char* what;
    std::vector<std::string> files;
    R refusal;
    std::string folder;
  } cases[] = {
      {"at the top", {"Info.json", "Paks\\a.pak"}, R::None, ""},
      {"one folder down",
       {"BetterBases\\Info.json", "BetterBases\\Paks\\a.pak"},
       R::None,
       "BetterBases"},
      {"either separator, any case", {"Mod/INFO.JSON"}, R::None, "Mod"},
      {"none", {"Paks\\a.pak"}, R::NoInfoJson, ""},
      {"two", {"A\\Info.json", "B\\Info.json"}, R::SeveralMods, ""},
      {"the same folder twice", {"A\\Info.json", "a\\info.json"}, R::None, "A"},
  };
  for (const auto& c : cases) {
    const ModRoot root = FindModRoot(c.files);
    EXPECT_EQ(root.refusal, c.refusal) << c.what;
    EXPECT_EQ(root.folder, c.folder) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
