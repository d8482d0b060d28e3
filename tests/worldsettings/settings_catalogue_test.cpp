#include "worldsettings/settings_catalogue.h"

#include "worldsettings/settings_editor.h"
#include "worldsettings/world_settings_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "worldsettings/sample_settings_file.h"

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

bool HoldsChinese(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
}

// Every key of the 1.0 server's own file has a row; the 57 come first as they always were, each
// option after them has a Chinese name and help, and a key the tool does not know is listed by
// its own name and written back as it was.
TEST(ServerOptionCatalogue, GivesEveryKeyOfTheServersFileARow) {
  const std::vector<OptionPair> sample = ReadOptionList(testing::ServerSampleText());
  ASSERT_EQ(sample.size(), 119u);
  WorldSettings settings;
  ApplyWorldSettingsText(testing::ServerSampleText(), settings);
  ApplyServerDefaultsText("OptionSettings=(bFutureOption=(A,B),ExpRate=9)", settings);
  const WorldSettingsEditor editor{settings};
  ASSERT_EQ(editor.RowCount(), 120);

  const std::vector<SettingEntry> catalogue = WorldSettingsCatalogue();
  for (int i = 0; i < 57; ++i) {
    const SettingEntry row = editor.ListedRow(i);
    EXPECT_EQ(row.Key + row.DisplayName + row.Help + row.Kind,
              catalogue[i].Key + catalogue[i].DisplayName + catalogue[i].Help + catalogue[i].Kind);
  }
  EXPECT_EQ(editor.ListedRow(3).Value, "1.000000");  // the file's, not the defaults' 9
  for (const OptionPair& pair : sample) {
    const int row = FindSettingRow(settings.Rows, pair.Key);
    ASSERT_GE(row, 0) << pair.Key;
    if (row < 57) continue;
    const SettingEntry entry = editor.ListedRow(row);
    EXPECT_TRUE(HoldsChinese(entry.DisplayName)) << pair.Key;
    EXPECT_TRUE(HoldsChinese(entry.Help)) << pair.Key;
  }

  const SettingEntry future = editor.ListedRow(119);
  EXPECT_EQ(future.Key, "bFutureOption");
  EXPECT_EQ(future.DisplayName, "bFutureOption");
  EXPECT_EQ(future.Value, "(A,B)");
  EXPECT_NE(WorldSettingsFileText(settings).find(",BuildingNameDisplayCacheTTLSeconds=60,"
                                                 "bFutureOption=(A,B))"),
            std::string::npos);
}

// The server's defaults fill in what the user's file leaves out, never what it names; the 57 keep
// their presets.
TEST(ServerOptionCatalogue, ServerDefaultsFillInOnlyWhatTheFileLeavesOut) {
  WorldSettings settings;
  ApplyWorldSettingsText("OptionSettings=(ServerName=\"Mine\",Later=1,AutoSaveSpan=60)", settings);
  ApplyServerDefaultsText(testing::ServerSampleText(), settings);
  ApplyServerDefaultsText("OptionSettings=(later=2,Newer=3,newer=4)", settings);
  EXPECT_EQ(settings.Rows.size(), 119u);
  EXPECT_EQ(settings.Rows[57].Key + settings.Rows[58].Key + settings.Rows[59].Key,
            "ServerNameAutoSaveSpanRandomizerType");
  EXPECT_EQ(settings.Rows[57].Value, "\"Mine\"");
  EXPECT_EQ(settings.Rows[58].Value, "60");
  EXPECT_EQ(settings.Rows[FindSettingRow(settings.Rows, "DropItemMaxNum")].Value, "30000");
  EXPECT_EQ(settings.Rows[FindSettingRow(settings.Rows, "PublicPort")].Value, "8211");
  ASSERT_EQ(settings.OtherPairs.size(), 2u);
  EXPECT_EQ(settings.OtherPairs[0].Key + settings.OtherPairs[0].Value, "Later1");
  EXPECT_EQ(settings.OtherPairs[1].Key + settings.OtherPairs[1].Value, "Newer3");
}

}  // namespace
}  // namespace tidemoor
