// A save replaces the option list line of PalWorldSettings.ini and keeps the rest of the file.

#include "worldsettings/option_list_place.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

constexpr char kNew[] = "OptionSettings=(A=2)";

struct PlaceCase {
  const char* what;
  std::string file;
  std::string written;  // the file with kNew as its list
};

TEST(OptionListPlace, OnlyTheListLineIsReplaced) {
  const std::vector<PlaceCase> cases = {
      {"comments, other sections and the last line end stay",
       "; a comment\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(A=1,B=\"x\")\r\n"
       "[Other]\r\nKey=1\r\n",
       "; a comment\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(A=2)\r\n"
       "[Other]\r\nKey=1\r\n"},
      {"a list over two lines ends on the line of its first bracket",
       "[/Script/Pal.PalGameWorldSettings]\nOptionSettings=(A=1,\nB=(x))\nNext=1\n",
       "[/Script/Pal.PalGameWorldSettings]\nOptionSettings=(A=2)\nNext=1\n"},
      {"a marker in any case, with no bracket to end it, ends with its line",
       "[/Script/Pal.PalGameWorldSettings]\r\noptionsettings=(A=1,\r\nB=2\r\n",
       "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(A=2)\r\nB=2\r\n"},
      {"a list with no section before it gets the section", "; mine\nOptionSettings=(A=1)\n",
       "; mine\n[/Script/Pal.PalGameWorldSettings]\n" + std::string(kNew) + "\n"},
      {"a file without a list gets it after its section line",
       "[/Script/Pal.PalGameWorldSettings]\r\n[Other]\r\nKey=1",
       "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(A=2)\r\n[Other]\r\nKey=1"},
      {"a section line that ends the file", "[/script/pal.palgameworldsettings]",
       "[/script/pal.palgameworldsettings]\r\nOptionSettings=(A=2)"},
      {"a file with neither gets both at its end", "[Other]\nKey=1",
       "[Other]\nKey=1\n[/Script/Pal.PalGameWorldSettings]\nOptionSettings=(A=2)"},
      {"an empty file", "", "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(A=2)"},
  };
  for (const PlaceCase& c : cases) {
    EXPECT_EQ(WithOptionListLine(c.file, kNew), c.written) << c.what;
    const FileAroundOptionList parts = SplitAroundOptionList(c.file);
    EXPECT_EQ(parts.before + parts.list + parts.after, c.file) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
