#include "mods/mod_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/text.h"

namespace tidemoor {
namespace {

using R = ImportRefusal;

// Entries by name, a bar between names; a name ending in a slash is a folder. Each entry's bytes
// are its name, which tells the entries apart.
std::vector<ZipEntry> Entries(std::string_view names) {
  std::vector<ZipEntry> entries;
  for (size_t at = 0; at <= names.size();) {
    const size_t bar = std::min(names.find('|', at), names.size());
    ZipEntry entry;
    entry.name = entry.data = names.substr(at, bar - at);
    entry.isFolder = entry.name.ends_with('/');
    entries.push_back(entry);
    at = bar + 1;
  }
  return entries;
}

ZipListing Listing(std::string_view names, size_t linkAt = SIZE_MAX) {
  ZipListing listing{Entries(names), ZipFault::None};
  if (linkAt < listing.entries.size()) listing.entries[linkAt].isLink = true;
  return listing;
}

TEST(ModArchive, EveryEntryBelowTheRootGoesIntoTheModsFolder) {
  const struct {
    const char* what;
    const char* entries;
    std::string root;
    std::string targets;             // a bar between them
    std::string info = "Info.json";  // the entry read as the mod's Info.json
  } cases[] = {
      {"Info.json at the top", "Info.json|Paks/|Paks/Mod_P.pak|Scripts\\main.lua", "",
       "Info.json|Paks|Paks\\Mod_P.pak|Scripts\\main.lua"},
      {"one folder down; what lies beside the root is left out",
       "BetterBases/|BetterBases/Info.json|BetterBases/Paks/a.pak|readme.txt|Other/notes.txt",
       "BetterBases", "Info.json|Paks\\a.pak", "BetterBases/Info.json"},
      {"the root's name without regard to case", "Mod/info.json|mod/x.lua", "Mod",
       "info.json|x.lua", "Mod/info.json"},
      {"the top wins over folders below that hold one too", "Info.json|Sub/Info.json", "",
       "Info.json|Sub\\Info.json"},
      {"dot parts and doubled separators name nothing", "./Info.json|a//b/./c.txt|./", "",
       "Info.json|a\\b\\c.txt", "./Info.json"},
      {"a blank and Chinese in names", "Info.json|模组 文件/a b.txt", "",
       "Info.json|模组 文件\\a b.txt"},
  };
  for (const auto& c : cases) {
    const ArchiveImportPlan plan = PlanArchiveImport(Listing(c.entries));
    ASSERT_EQ(plan.refusal, R::None) << c.what;
    EXPECT_EQ(plan.root, c.root) << c.what;
    std::vector<std::string> targets;
    for (const PlacedEntry& placed : plan.entries) targets.push_back(placed.target);
    EXPECT_EQ(JoinTexts(targets, "|"), c.targets) << c.what;
    EXPECT_EQ(plan.infoJson.name, c.info) << c.what;
    EXPECT_EQ(plan.infoJson.data, c.info) << c.what;
  }
}

// One entry at fault refuses the whole archive: nothing of it is written.
TEST(ModArchive, AnyUnsafeEntryRefusesTheWholeArchive) {
  const auto beside = [](std::string_view name) {
    ZipListing listing = Listing("Info.json");
    listing.entries.push_back(Entries(name)[0]);
    return PlanArchiveImport(listing);
  };
  // The last lies outside the root, and is refused all the same.
  for (const std::string& name : std::vector<std::string>{
           "..\\evil.dll", "/etc/passwd", "\\Windows\\evil.dll", "C:/Windows/evil.dll",
           "Paks/a.pak.", "Paks /a.pak", "nul.txt", "Paks/com1.pak", "LPT\xC2\xB9", "a\x01.txt",
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
      {"a link", Listing("Info.json|Scripts/main.lua", 1), R::Link},
      {"no Info.json", Listing("Paks/a.pak"), R::NoInfoJson},
      {"Info.json two folders down", Listing("a/b/Info.json"), R::NoInfoJson},
      {"a folder named Info.json", Listing("Info.json/"), R::NoInfoJson},
      {"two mods", Listing("A/Info.json|B/Info.json"), R::SeveralMods},
      {"the caps", {{}, ZipFault::TooLarge}, R::TooLarge},
      {"encrypted", {{}, ZipFault::Unsupported}, R::Unsupported},
      {"damaged", {{}, ZipFault::Damaged}, R::Damaged},
  };
  for (const auto& c : whole) EXPECT_EQ(PlanArchiveImport(c.listing).refusal, c.refusal) << c.what;
}

// A folder's files on disk go through the same rule as an archive's entries, above.
TEST(ModArchive, AFoldersRootIsFoundTheSameWay) {
  const struct {
    const char* what;
    std::vector<std::string> files;
    R refusal;
    std::string folder;
  } cases[] = {
      {"one folder down, either separator, any case", {"Mod\\a", "Mod/INFO.JSON"}, R::None, "Mod"},
      {"the same folder twice", {"A\\Info.json", "a\\info.json"}, R::None, "A"},
      {"none", {"Paks\\a.pak"}, R::NoInfoJson, ""},
      {"two", {"A\\Info.json", "B\\Info.json"}, R::SeveralMods, ""},
  };
  for (const auto& c : cases) {
    const ModRoot root = FindModRoot(c.files);
    EXPECT_EQ(root.refusal, c.refusal) << c.what;
    EXPECT_EQ(root.folder, c.folder) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
