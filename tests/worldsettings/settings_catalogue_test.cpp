#include "worldsettings/settings_catalogue.h"

#include "worldsettings/world_settings_text.h"

#include <gtest/gtest.h>

#include <map>

namespace tidemoor {
namespace {

TEST(SettingsCatalogue, HoldsTheDocumentedRows) {
  const std::vector<SettingEntry> rows = WorldSettingsCatalogue();
  ASSERT_EQ(rows.size(), 57u);

  std::map<ValueKind, int> kinds;
  int helpIsName = 0;
  for (const SettingEntry& row : rows) {
    ++kinds[ParseValueKind(row.Kind)];
    if (row.Help == row.DisplayName) ++helpIsName;
  }
  EXPECT_EQ(kinds[ValueKind::Number], 34);
  EXPECT_EQ(kinds[ValueKind::Choice], 18);
  EXPECT_EQ(kinds[ValueKind::Text], 5);
  EXPECT_EQ(helpIsName, 48);

  EXPECT_EQ(rows[1].Key, "DayTimeSpeedRate");
  EXPECT_EQ(rows[1].Help, "更改白天的持续时间，越小越长");
  EXPECT_EQ(rows[10].Key, "PlayerStomachDecreaceRate");
  EXPECT_EQ(rows[28].Key, "bActiveUNKO");
  EXPECT_EQ(rows[55].Value, "https://b.palworldgame.com/api/banlist.txt");
  EXPECT_EQ(rows[56].Key, "bShowPlayerList");
  for (const char* text :
       {"Difficulty", "DeathPenalty", "ServerDescription", "Region", "BanListURL"}) {
    EXPECT_EQ(ParseValueKind(rows[FindSettingRow(rows, text)].Kind), ValueKind::Text) << text;
  }
}

TEST(SettingsCatalogue, EachCallIsAFreshCopy) {
  std::vector<SettingEntry> first = WorldSettingsCatalogue();
  first[31].Value = "7";
  EXPECT_EQ(WorldSettingsCatalogue()[31].Value, "30000");
}

TEST(SettingsCatalogue, FindsKeysAsTheGameDoes) {
  const std::vector<SettingEntry> rows = WorldSettingsCatalogue();
  EXPECT_EQ(FindSettingRow(rows, "difficulty"), 0);
  EXPECT_EQ(FindSettingRow(rows, "DIFFICULTY"), 0);
  EXPECT_EQ(FindSettingRow(rows, " Difficulty"), -1);
  EXPECT_EQ(FindSettingRow(rows, "ServerName"), -1);
  EXPECT_EQ(FindSettingRow(rows, ""), -1);
  EXPECT_EQ(FindSettingRow(rows, "playerautohpregenerate"), 12);  // first of the two spellings
}

TEST(SettingsCatalogue, ParsesKindTexts) {
  EXPECT_EQ(ParseValueKind("文本"), ValueKind::Text);
  EXPECT_EQ(ParseValueKind("数值"), ValueKind::Number);
  EXPECT_EQ(ParseValueKind("选择"), ValueKind::Choice);
  EXPECT_EQ(ParseValueKind(""), ValueKind::Choice);
  EXPECT_EQ(ParseValueKind("文本 "), ValueKind::Choice);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t comma; (comma = text.find(separator, start)) != std::string::npos;
       start = comma + 1) {
    pieces.push_back(text.substr(start, comma - start));
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

TEST(WorldSettingsTemplate, IsTheNewServersFileByteForByte) {
  const std::string text = WorldSettingsTemplate();
  const std::string head = "\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(";
  const std::string tail = ")\r\n\r\n\r\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  ASSERT_EQ(text.substr(text.size() - tail.size()), tail);
  for (char c : text) EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
  EXPECT_EQ(text.find(' '), std::string::npos);

  const std::vector<std::string> pairs =
      SplitAt(text.substr(head.size(), text.size() - head.size() - tail.size()), ',');
  ASSERT_EQ(pairs.size(), 56u);
  const std::vector<SettingEntry> rows = WorldSettingsCatalogue();
  for (size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(pairs[i].substr(0, pairs[i].find('=')), rows[i].Key) << i;
  }
  EXPECT_EQ(pairs[31], "DropItemMaxNum=3000");
  EXPECT_EQ(pairs[55], "BanListURL=\"https://b.palworldgame.com/api/banlist.txt\"");
  EXPECT_EQ(text.find("bShowPlayerList"), std::string::npos);
}

TEST(WorldSettingsTemplate, DiffersFromThePresetsInSevenRows) {
  std::map<std::string, std::string> defaults;
  for (const OptionPair& pair : ReadOptionList(WorldSettingsTemplate())) {
    defaults[pair.Key] = pair.Value;
  }
  std::vector<std::string> differing;
  for (const SettingEntry& row : WorldSettingsCatalogue()) {
    if (row.Key == "bShowPlayerList") continue;  // not in the template at all
    ASSERT_TRUE(defaults.count(row.Key)) << row.Key;
    if (defaults[row.Key] != row.Value) differing.push_back(row.Key);
  }
  EXPECT_EQ(differing,
            (std::vector<std::string>{"DeathPenalty", "DropItemMaxNum", "bExistPlayerAfterLogout",
                                      "bEnableDefenseOtherGuildPlayer", "ServerDescription",
                                      "Region", "BanListURL"}));
  EXPECT_EQ(defaults["DeathPenalty"], "All");
  EXPECT_EQ(defaults["Region"], "\"\"");
}

}  // namespace
}  // namespace tidemoor
