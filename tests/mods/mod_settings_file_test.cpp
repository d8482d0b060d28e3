#include "mods/mod_settings_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/settings_file_encoding.h"

namespace tidemoor {
namespace {

using Names = std::vector<std::string>;

// Each file as found, what the tool reads in it, what it sets, and the file it writes.
TEST(ModSettingsFile, AnEditChangesTheSwitchAndTheListAndNothingElse) {
  struct Case {
    const char* what;
    std::optional<std::string> file;
    ModSettings read;  // what the file says now
    ModSettings wanted;
    std::string written;
  };
  const Case cases[] = {
      {"the server's first file",
       kServersFirstModSettings,
       {false, {}},
       {true, {"A", "B"}},
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\nActiveModList=B\r\n"
       "WorkshopRootDir=\r\nConfigVersion=1.0\r\n"},
      {"no file yet",
       std::nullopt,
       {},
       {true, {"A"}},
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n"
       "WorkshopRootDir=\r\nConfigVersion=1.0\r\n"},
      {"no file yet, nothing switched on", std::nullopt, {}, {}, kServersFirstModSettings},
      {"comments, blanks around the value, list lines apart, a list key in another section",
       "; by hand\n[PalModSettings]\nbGlobalEnableMod = false\nActiveModList=A\n"
       ";ActiveModList=Z\nWorkshopRootDir=\nActiveModList = B \n\n[Other]\nActiveModList=X\n",
       {false, {"A", "B"}},
       {true, {"B", "C"}},
       "; by hand\n[PalModSettings]\nbGlobalEnableMod = True\nActiveModList=B\nActiveModList=C\n"
       ";ActiveModList=Z\nWorkshopRootDir=\n\n[Other]\nActiveModList=X\n"},
      {"line ends kept per line, the last line without one",
       "[PalModSettings]\r\nbGlobalEnableMod=True\nActiveModList=A\r\nConfigVersion=1.0",
       {true, {"A"}},
       {false, {}},
       "[PalModSettings]\r\nbGlobalEnableMod=False\nConfigVersion=1.0"},
      {"the list was the last line, without a line end",
       "[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A",
       {true, {"A"}},
       {true, {"A", "B"}},
       "[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A\nActiveModList=B\n"},
      {"the switch was the last line, without a line end",
       "[PalModSettings]\r\nbGlobalEnableMod=False",
       {false, {}},
       {true, {"A"}},
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n"},
      {"no switch and no list: both at the end of the section, before its blank lines",
       "[PalModSettings]\r\nWorkshopRootDir=\r\n\r\n[Next]\r\nk=v\r\n",
       {false, {}},
       {true, {"A"}},
       "[PalModSettings]\r\nWorkshopRootDir=\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n\r\n"
       "[Next]\r\nk=v\r\n"},
      {"a list but no switch",
       "[PalModSettings]\nActiveModList=A\nWorkshopRootDir=\n",
       {false, {"A"}},
       {true, {"A", "B"}},
       "[PalModSettings]\nActiveModList=A\nActiveModList=B\nWorkshopRootDir=\n"
       "bGlobalEnableMod=True\n"},
      {"no section",
       "[Other]\nk=v",
       {false, {}},
       {true, {"A"}},
       "[Other]\nk=v\n[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A\n"},
      {"an empty file",
       "",
       {false, {}},
       {true, {"A"}},
       "[PalModSettings]\r\nbGlobalEnableMod=True\r\nActiveModList=A\r\n"},
      {"keys and section without regard to case, the key's spelling kept",
       "[palmodsettings]\r\nBGLOBALENABLEMOD=true\r\nactivemodlist=A\r\n",
       {true, {"A"}},
       {true, {"A", "B"}},
       "[palmodsettings]\r\nBGLOBALENABLEMOD=true\r\nActiveModList=A\r\nActiveModList=B\r\n"},
      {"the switch repeated: the first counts, every one is set",
       "[PalModSettings]\nbGlobalEnableMod=False\nbGlobalEnableMod=True\n",
       {false, {}},
       {true, {}},
       "[PalModSettings]\nbGlobalEnableMod=True\nbGlobalEnableMod=True\n"},
      {"a quoted value, an empty one, a switch that is neither True nor False",
       "[PalModSettings]\nbGlobalEnableMod=yes\nActiveModList=\"A\"\nActiveModList=\n",
       {false, {"A"}},
       {false, {"A", "B"}},
       "[PalModSettings]\nbGlobalEnableMod=yes\nActiveModList=A\nActiveModList=B\n"},
      {"a name holding a line break is left out",
       "[PalModSettings]\nbGlobalEnableMod=True\n",
       {true, {}},
       {true, {"A", "B\nbGlobalEnableMod=False", ""}},
       "[PalModSettings]\nbGlobalEnableMod=True\nActiveModList=A\n"},
      {"saying the same keeps every byte",
       "[PalModSettings] \nbGlobalEnableMod=TRUE\n  ActiveModList = A\nActiveModList=B",
       {true, {"A", "B"}},
       {true, {"A", "B"}},
       "[PalModSettings] \nbGlobalEnableMod=TRUE\n  ActiveModList = A\nActiveModList=B"},
  };
  for (const Case& c : cases) {
    if (c.file) {
      EXPECT_EQ(ReadModSettings(*c.file), c.read) << c.what;
    }
    const std::optional<std::string> written = WriteModSettings(
        c.file ? std::optional<std::string_view>(*c.file) : std::nullopt, c.wanted);
    ASSERT_TRUE(written) << c.what;
    EXPECT_EQ(*written, c.written) << c.what;
    const ModSettings reread = *ReadModSettings(*written);
    EXPECT_EQ(reread.enabled, c.wanted.enabled) << c.what;
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
  const ModSettings wanted{true, {"A"}};
  using E = SettingsFileEncoding;
  for (const E encoding : {E::Utf8, E::Utf8WithBom, E::Utf16Le, E::Utf16Be}) {
    const std::string file = EncodeSettingsFile(text, encoding);
    EXPECT_EQ(ReadModSettings(file), (ModSettings{false, {}})) << static_cast<int>(encoding);
    EXPECT_EQ(WriteModSettings(file, wanted), EncodeSettingsFile(edited, encoding))
        << static_cast<int>(encoding);
  }
  const struct {
    const char* what;
    std::string bytes;
  } refused[] = {
      {"GBK", "[PalModSettings]\r\nWorkshopRootDir=D:\\\xC4\xA3\xD7\xE9\r\n"},
      {"UTF-16 without its mark", std::string("[\0P\0]\0", 6)},
      {"UTF-16 cut in half a character", "\xFF\xFE[\0P"},
      {"a zero byte", std::string("[PalModSettings]\0", 17)},
  };
  for (const auto& c : refused) {
    EXPECT_EQ(ReadModSettings(c.bytes), std::nullopt) << c.what;
    EXPECT_EQ(WriteModSettings(c.bytes, wanted), std::nullopt) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
