#include "server/loaded_world.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

constexpr char kId[] = "0123456789ABCDEF0123456789ABCDEF";

std::string Utf16LittleEndianWithBom(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

TEST(LoadedWorld, GameUserSettingsNamesTheWorld) {
  const std::string section = "[/Script/Pal.PalGameLocalSettings]\r\n";
  const std::string plain = section + "DedicatedServerName=" + kId + "\r\n";
  struct Case {
    std::string bytes;
    std::string id;
  };
  const Case cases[] = {
      {plain, kId},
      {"\xEF\xBB\xBF" + plain, kId},
      {Utf16LittleEndianWithBom(plain), kId},
      {"[/script/pal.palgamelocalsettings]\nDedicatedServerName = " + std::string(kId) + " \n",
       kId},
      {"[Other]\r\nDedicatedServerName=" + std::string(kId) + "\r\n" + section, ""},
      {section + "DedicatedServerName=\r\n", ""},
      {section + "DedicatedServerName=..\\..\\Config\r\n", ""},
      {section + "DedicatedServerName=" + kId + "\\x\r\n", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WorldIdFromGameUserSettings(c.bytes), c.id) << c.bytes;
}

TEST(LoadedWorld, WhatIsAskedFollowsTheWorldOnDisk) {
  struct Case {
    LoadedWorldFacts facts;
    std::vector<std::string> kept;
    bool beforeStart;
    WorldQuestion question;
  };
  const std::vector<std::string> others = {"AAAA"};
  const Case cases[] = {
      {{"", false, false, others}, {}, true, WorldQuestion::None},
      {{kId, true, false, others}, {}, true, WorldQuestion::None},
      {{kId, true, true, others}, {}, true, WorldQuestion::DisableWorldOption},
      {{kId, true, true, others}, {}, false, WorldQuestion::DisableWorldOption},
      {{kId, true, true, others}, {"0123456789abcdef0123456789abcdef"}, true, WorldQuestion::None},
      {{kId, true, true, others}, {"AAAA"}, true, WorldQuestion::DisableWorldOption},
      {{kId, false, false, others}, {}, true, WorldQuestion::StartWithMissingWorld},
      {{kId, false, false, others}, {}, false, WorldQuestion::None},
      {{kId, false, false, {}}, {}, true, WorldQuestion::None},
  };
  int row = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(DecideWorldQuestion(c.facts, c.kept, c.beforeStart), c.question) << "row " << row;
    ++row;
  }
}

}  // namespace
}  // namespace tidemoor
