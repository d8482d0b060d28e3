#include "mods/mod_settings_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/settings_file_encoding.h"
#include "mods/mod_fixtures.h"

namespace tidemoor {
namespace {

using testing::Off;
using testing::On;

// Each file as found, what the tool reads in it, what it sets, and the file it writes.
TEST(ModSettingsFile, AnEditChangesTheSwitchAndTheListAndNothingElse) {
  struct Case {
    const char* what;
    std::optional<std::string_view> file;
    ModSettings read;  // what the file says now
    ModSettings wanted;
    std::string written;
  };
  const Case cases[] = {
      {"the server's first file", kServersFirstModSettings, Off(), On("A", "B"),
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\nActiveModList=B\r\n"
       "WorkshopRootDir=\r\nConfigVersion=1.0\r\n"},
      {"no file yet, nothing switched on", std::nullopt, Off(), Off(), kServersFirstModSettings},
      {"comments, blanks around the value, list lines apart, a list key in another section",
       "; by hand\n[PalModSettings]\nbGlobalEnableMod = false\nActiveModList=A\n"
       ";ActiveModList=Z\nWorkshopRootDir=\nActiveModList = B \n\n[Other]\nActiveModList=X\n",
       Off("A", "B"), On("B", "C"),
       "; by hand\n[PalModSettings]\nbGlobalEnableMod = True\nActiveModList=B\nActiveModList=C\n"
       ";ActiveModList=Z\nWorkshopRootDir=\n\n[Other]\nActiveModList=X\n"},
      {"line ends kept per line, the last line without one",
       "[PalModSettings]\r\nbGlobalEnableMod=True\nActiveModList=A\r\nConfigVersion=1.0", On("A"),
       Off(), "[PalModSettings]\r\nbGlobalEnableMod=False\nConfigVersion=1.0"},
      {"the list was the last line, without a line end",
       "[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A", On("A"), On("A", "B"),
       "[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A\nActiveModList=B\n"},
      {"the switch was the last line, without a line end",
       "[PalModSettings]\r\nbGlobalEnableMod=False", Off(), On("A"),
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n"},
      {"no switch and no list: both at the end of the section, before its blank lines",
       "[PalModSettings]\r\nWorkshopRootDir=\r\n\r\n[Next]\r\nk=v\r\n", Off(), On("A"),
       "[PalModSettings]\r\nWorkshopRootDir=\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n\r\n"
       "[Next]\r\nk=v\r\n"},
      {"a list but no switch", "[PalModSettings]\nActiveModList=A\nWorkshopRootDir=\n", Off("A"),
       On("A", "B"),
       "[PalModSettings]\nActiveModList=A\nActiveModList=B\nWorkshopRootDir=\n"
       "bGlobalEnableMod=True\n"},
      {"no section", "[Other]\nk=v", Off(), On("A"),
       "[Other]\nk=v\n[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A\n"},
      {"an empty file", "", Off(), On("A"),
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n"},
      {"keys and section without regard to case, the key's spelling kept",
       "[palmodsettings]\r\nBGLOBALENABLEMOD=true\r\nactivemodlist=A\r\n", On("A"), On("A", "B"),
       "[palmodsettings]\r\nBGLOBALENABLEMOD=true\r\nActiveModList=A\r\nActiveModList=B\r\n"},
      {"the switch repeated: the first counts, every one is set",
       "[PalModSettings]\nbGlobalEnableMod=False\nbGlobalEnableMod=True\n", Off(), On(),
       "[PalModSettings]\nbGlobalEnableMod=True\nbGlobalEnableMod=True\n"},
      {"a quoted value, an empty one, a switch that is neither True nor False",
       "[PalModSettings]\nbGlobalEnableMod=yes\nActiveModList=\"A\"\nActiveModList=\n", Off("A"),
       Off("A", "B"), "[PalModSettings]\nbGlobalEnableMod=yes\nActiveModList=A\nActiveModList=B\n"},
      {"a name holding a line break is left out", "[PalModSettings]\nbGlobalEnableMod=True\n", On(),
       On("A", "B\nbGlobalEnableMod=False", ""),
       "[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A\n"},
      {"saying the same keeps every byte",
       "[PalModSettings] \nbGlobalEnableMod=TRUE\n  ActiveModList = A\nActiveModList=B",
       On("A", "B"), On("A", "B"),
       "[PalModSettings] \nbGlobalEnableMod=TRUE\n  ActiveModList = A\nActiveModList=B"},
  };
  for (const Case& c : cases) {
    if (c.file) {
      EXPECT_EQ(ReadModSettings(*c.file), c.read) << c.what;
    }
    EXPECT_EQ(WriteModSettings(c.file, c.wanted), c.written) << c.what;
  }
}

// The file goes back in the encoding it came in; one in no encoding understood here is neither
// read nor written.
TEST(ModSettingsFile, KeepsItsEncodingAndRefusesOthers) {
  const std::string text =
      "[PalModSettings]\r\nbGlobalEnableMod=False\r\nWorkshopRootDir=D:\\模组\r\n";
  const std::string edited =
      "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\nWorkshopRootDir=D:"
      "\\模组\r\n";
  using E = SettingsFileEncoding;
  for (const E encoding : {E::Utf8, E::Utf8WithBom, E::Utf16Le, E::Utf16Be}) {
    const std::string file = EncodeSettingsFile(text, encoding);
    EXPECT_EQ(ReadModSettings(file), Off()) << static_cast<int>(encoding);
    EXPECT_EQ(WriteModSettings(file, On("A")), EncodeSettingsFile(edited, encoding))
        << static_cast<int>(encoding);
  }
  // The decoder's own tests cover every other way bytes are refused.
  const std::string gbk = "[PalModSettings]\r\nWorkshopRootDir=D:\\\xC4\xA3\xD7\xE9\r\n";
  EXPECT_EQ(ReadModSettings(gbk), std::nullopt);
  EXPECT_EQ(WriteModSettings(gbk, On("A")), std::nullopt);
}

}  // namespace
}  // namespace tidemoor
