#include "mods/mod_origins.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

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
  const struct {
    const char* what;
    std::function<void(ModOrigins&)> edit;
    std::string text;
  } cases[] = {
      {"read and written back", [](ModOrigins&) {},
       "3456789012\t3456789012\t1751000000\r\n# kept by hand\r\nMine\t\t\r\n"
       "3456789012\t1\t2\r\nbroken line\r\nx\t12a\t\r\ny\t1\t2\t3\r\n\t1\t2\r\n\r\n"
       "Last\t7\t99999999999999999999999\r\n"},
      {"an item imported again replaces its first line and drops the others, whatever the case",
       [](ModOrigins& o) {
         NoteModOrigin(o, {"3456789012", "3456789012", 1760000000});
       },
       "3456789012\t3456789012\t1760000000\r\n# kept by hand\r\nMine\t\t\r\n"
       "broken line\r\nx\t12a\t\r\ny\t1\t2\t3\r\n\t1\t2\r\n\r\n"
       "Last\t7\t99999999999999999999999\r\n"},
      {"a new folder at the end; a time not known stays empty",
       [](ModOrigins& o) {
         NoteModOrigin(o, {"New", "42", std::nullopt});
       },
       "3456789012\t3456789012\t1751000000\r\n# kept by hand\r\nMine\t\t\r\n"
       "3456789012\t1\t2\r\nbroken line\r\nx\t12a\t\r\ny\t1\t2\t3\r\n\t1\t2\r\n\r\n"
       "Last\t7\t99999999999999999999999\r\nNew\t42\t\r\n"},
      {"a deleted folder loses every line; a name no line can hold is never noted",
       [](ModOrigins& o) {
         ForgetModOrigin(o, "3456789012");
         ForgetModOrigin(o, "mine");
         NoteModOrigin(o, {"Tab\tbed", "1", 1});
         NoteModOrigin(o, {"Broken\r\nline", "1", 1});
         NoteModOrigin(o, {"Letters", "12a", 1});
       },
       "# kept by hand\r\nbroken line\r\nx\t12a\t\r\ny\t1\t2\t3\r\n\t1\t2\r\n\r\n"
       "Last\t7\t99999999999999999999999\r\n"},
  };
  for (const auto& c : cases) {
    ModOrigins origins = ReadModOrigins(file);
    c.edit(origins);
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
