#include "mods/mod_origins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

TEST(ModOrigins, AnEditChangesItsFolderLineAndKeepsEveryOtherLine) {
  const std::string file =
      "\xEF\xBB\xBF"
      "3456789012\t3456789012\t1751000000\r\n"
      "# kept by hand\n"
      "Mine\t\t\r\n"
      "3456789012\t1\t2\r\n"  // a second line for the same folder
      "broken line\r\n"
      "x\t12a\t\r\n"    // an id that is no number
      "y\t1\t2\t3\r\n"  // a field too many
      "\t1\t2\r\n"      // no folder
      "\r\n"
      "Last\t7\t99999999999999999999999";  // a time past 64 bits, no line end
  // Every line that is no folder's comes back as it was, each with CRLF.
  const std::string item = "3456789012\t3456789012\t1751000000\r\n", twin = "3456789012\t1\t2\r\n";
  const std::string kept = "# kept by hand\r\nMine\t\t\r\n";
  const std::string junk =
      "broken line\r\nx\t12a\t\r\ny\t1\t2\t3\r\n\t1\t2\r\n\r\nLast\t7\t99999999999999999999999\r\n";
  const struct {
    const char* what;
    std::vector<std::string> forget;
    std::vector<ModOrigin> note;
    std::string text;
  } cases[] = {
      {"read and written back", {}, {}, item + kept + twin + junk},
      {"imported again: its first line replaced, the others dropped",
       {},
       {{"3456789012", "3456789012", 1760000000}},
       "3456789012\t3456789012\t1760000000\r\n" + kept + junk},
      {"a new folder last, a time not known empty; a name no line can hold, or an id that is no "
       "number, never noted",
       {},
       {{"New", "42", std::nullopt},
        {"Tab\tbed", "1", 1},
        {"Broken\r\nline", "1", 1},
        {"Letters", "12a", 1},
        {"", "1", 1}},
       item + kept + twin + junk + "New\t42\t\r\n"},
      {"a deleted folder loses every line, whatever the case",
       {"3456789012", "mine"},
       {},
       "# kept by hand\r\n" + junk},
  };
  for (const auto& c : cases) {
    ModOrigins origins = ReadModOrigins(file);
    for (const std::string& folder : c.forget) ForgetModOrigin(origins, folder);
    for (const ModOrigin& origin : c.note) NoteModOrigin(origins, origin);
    EXPECT_EQ(ModOriginsText(origins), c.text) << c.what;
  }
  EXPECT_EQ(ModOriginsText(ReadModOrigins("")), "");
}

TEST(ModOrigins, AFolderWithoutAWorkshopIdIsALocalImport) {
  const ModOrigins origins =
      ReadModOrigins("3456789012\t3456789012\t1751000000\nMine\t\t5\nOld\t9\t\n");
  const struct {
    const char* folder;
    ModSource source;
    const char* id;
    std::optional<uint64_t> time;
  } cases[] = {{"3456789012", ModSource::Workshop, "3456789012", 1751000000},
               {"OLD", ModSource::Workshop, "9", std::nullopt},
               {"Mine", ModSource::LocalImport, "", std::nullopt},
               {"Unknown", ModSource::LocalImport, "", std::nullopt}};
  for (const auto& c : cases) {
    const InstalledMod mod = InstalledModOf(c.folder, "{}", origins);
    EXPECT_EQ(mod.folderName, c.folder);
    EXPECT_EQ(mod.infoJson, "{}");
    EXPECT_EQ(mod.source, c.source) << c.folder;
    EXPECT_EQ(mod.workshopItemId, c.id) << c.folder;
    EXPECT_EQ(mod.importedTimeUpdated, c.time) << c.folder;
  }
}

}  // namespace
}  // namespace tidemoor
