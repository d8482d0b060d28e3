#include "worldsettings/world_settings_text.h"

#include <gtest/gtest.h>

#include "worldsettings/sample_settings_file.h"

namespace tidemoor {
namespace {

std::string Value(const WorldSettings& settings, std::string_view key) {
  return settings.Rows[FindSettingRow(settings.Rows, key)].Value;
}

WorldSettings Loaded(std::string_view fileText) {
  WorldSettings settings;
  ApplyWorldSettingsText(fileText, settings);
  return settings;
}

using testing::ServerSampleText;

TEST(WorldSettingsReader, ReadsTheListAsOurSaveAndTheTemplateWriteIt) {
  const WorldSettings fromTemplate = Loaded(WorldSettingsTemplate());
  EXPECT_EQ(Value(fromTemplate, "DropItemMaxNum"), "3000");
  EXPECT_EQ(Value(fromTemplate, "Region"), "\"\"");
  EXPECT_EQ(Value(fromTemplate, "bShowPlayerList"), "True");  // preset: not in the template
  EXPECT_TRUE(fromTemplate.OtherPairs.empty());

  const WorldSettings settings = Loaded(
      "[x]\r\noptionsettings=(expRATE=3,,Difficulty=Hard,ExpRate=4,noequals,Region=,\r\n"
      "ServerDescription=\"中文描述\",)\r\nDayTimeSpeedRate=9");
  EXPECT_EQ(Value(settings, "ExpRate"), "4");  // the later of two wins
  EXPECT_EQ(Value(settings, "Difficulty"), "Hard");
  EXPECT_EQ(Value(settings, "Region"), "");
  EXPECT_EQ(Value(settings, "ServerDescription"), "\"中文描述\"");
  EXPECT_EQ(Value(settings, "DayTimeSpeedRate"), "1.000000");  // after the list
}

TEST(WorldSettingsReader, NoListLeavesThePresets) {
  for (std::string_view text : {"", "OptionSettings=", "OptionSettings=(ExpRate=3", "ExpRate=3)"}) {
    const WorldSettings settings = Loaded(text);
    EXPECT_EQ(Value(settings, "ExpRate"), "1.000000") << text;
    EXPECT_TRUE(settings.OtherPairs.empty());
  }
  // Reading stops at a zero byte.
  EXPECT_EQ(Value(Loaded(std::string_view("OptionSettings=(ExpRate=3)\0x", 28)), "ExpRate"), "3");
  EXPECT_EQ(Value(Loaded(std::string_view("OptionSettings=(ExpRate=3\0)", 27)), "ExpRate"),
            "1.000000");
}

TEST(WorldSettingsReader, ReadsValuesAsTheServerWritesThem) {
  const WorldSettings settings = Loaded(
      "OptionSettings=( ExpRate =2,ServerDescription=\"a, (b) = c\",Nested=((1,2),\"x)\"),"
      "CrossplayPlatforms=(Steam,Xbox,PS5,Mac),Region=\"a\"b\",DenyTechnologyList=,"
      "PalCaptureRate=5)");
  EXPECT_EQ(Value(settings, "ExpRate"), "2");
  EXPECT_EQ(Value(settings, "ServerDescription"), "\"a, (b) = c\"");
  EXPECT_EQ(Value(settings, "Region"), "\"a\"b\"");  // a stray quote, as our save writes it
  EXPECT_EQ(Value(settings, "PalCaptureRate"), "5");
  EXPECT_EQ(Value(settings, "CrossplayPlatforms"), "(Steam,Xbox,PS5,Mac)");
  EXPECT_EQ(Value(settings, "DenyTechnologyList"), "");
  ASSERT_EQ(settings.OtherPairs.size(), 1u);
  EXPECT_EQ(settings.OtherPairs[0].Key, "Nested");
  EXPECT_EQ(settings.OtherPairs[0].Value, "((1,2),\"x)\")");
}

TEST(WorldSettingsReader, UnclosedParenthesesAreOrdinaryCharacters) {
  // "(" typed into a bare text value by an earlier save: nothing closes it, so commas separate.
  const WorldSettings settings = Loaded("OptionSettings=(Difficulty=(Hard,ExpRate=3)\r\n");
  EXPECT_EQ(Value(settings, "Difficulty"), "(Hard");
  EXPECT_EQ(Value(settings, "ExpRate"), "3");
}

TEST(WorldSettingsReader, AListEndingInAQuotedValueWithCommaAndBracketReadsRight) {
  const WorldSettings settings =
      Loaded("OptionSettings=(ExpRate=2,Region=\"a,b)c\")\r\nBanListURL=\"x\")");
  EXPECT_EQ(Value(settings, "ExpRate"), "2");
  EXPECT_EQ(Value(settings, "Region"), "\"a,b)c\"");
  EXPECT_EQ(Value(settings, "BanListURL"), Value(WorldSettings{}, "BanListURL"));
  EXPECT_TRUE(settings.OtherPairs.empty());
}

TEST(WorldSettingsReader, QuotedValuesOfTheQuotedKeysHaveTheirEscapesResolved) {
  const WorldSettings settings = Loaded(
      "OptionSettings=(ServerDescription= \"a\\\\b\\\"c\\nd\\'e\\qf\\t\" ,"
      "Region=\"x\"\"y\",BanListURL=\"\\\",Other=\"\\n\")");
  EXPECT_EQ(Value(settings, "ServerDescription"), "\"a\\b\"c\nd'e\\qf\t\"");
  EXPECT_EQ(Value(settings, "Region"), "\"x\"\"y\"");  // not one quoted text: as it stands
  // Its first inner quote is escaped, so the quoted text runs on into Other's value.
  EXPECT_EQ(Value(settings, "BanListURL"), "\"\\\",Other=\"\\n\"");
  EXPECT_TRUE(settings.OtherPairs.empty());
  // Pairs the catalogue does not know keep their text exactly.
  EXPECT_EQ(Loaded("OptionSettings=(Other=\"\\n\")").OtherPairs[0].Value, "\"\\n\"");
}

TEST(WorldSettingsReader, AListBrokenOverLinesEndsOnTheLineOfItsFirstBracket) {
  const WorldSettings settings =
      Loaded("OptionSettings=(ExpRate=2,\r\nServerName=\"a\r\nb\",Difficulty=Hard)\r\nA=(1)");
  EXPECT_EQ(Value(settings, "ExpRate"), "2");
  EXPECT_EQ(Value(settings, "Difficulty"), "Hard");
  EXPECT_EQ(Value(settings, "ServerName"), "\"a  b\"");
  EXPECT_TRUE(settings.OtherPairs.empty());
}

TEST(WorldSettingsReader, KeepsUnknownPairsOnceWithTheirLastValue) {
  const WorldSettings settings =
      Loaded("OptionSettings=(FutureName=A,FutureSpan=30,futurename=B,ExpRate=2)");
  ASSERT_EQ(settings.OtherPairs.size(), 2u);
  EXPECT_EQ(settings.OtherPairs[0].Key, "FutureSpan");
  EXPECT_EQ(settings.OtherPairs[1].Key, "futurename");  // where the file named it last
  EXPECT_EQ(settings.OtherPairs[1].Value, "B");
}

TEST(WorldSettingsWriter, QuotesTheThreeTextKeys) {
  EXPECT_TRUE(IsQuotedKey("serverdescription"));
  EXPECT_TRUE(IsQuotedKey("MyRegionName"));
  EXPECT_FALSE(IsQuotedKey("Difficulty"));
  const std::pair<const char*, const char*> table[] = {
      {"", "\"\""},         {"China", "\"China\""},
      {"\"abc", "\"abc\""}, {"abc\"", "\"abc\""},
      {"\"", "\"\""},       {"a\"b", "\"a\\\"b\""},
      {"a,b", "\"a,b\""},   {"\\\"\r\n\t", "\"\\\\\\\"\\r\\n\\t\""},
  };
  for (const auto& [value, written] : table) {
    EXPECT_EQ(ValueForFile("ServerDescription", value), written) << value;
  }
  EXPECT_EQ(ValueForFile("ServerDescription", std::string_view("a\0\"", 3)), "\"a\"");
  EXPECT_EQ(ValueForFile("ExpRate", "1,5"), "1，5");
  EXPECT_EQ(ValueForFile("ExpRate", "1.000000"), "1.000000");
  EXPECT_EQ(ValueForFile("Difficulty", "a)b"), "a）b");
  EXPECT_EQ(ValueForFile("Difficulty", "(\"x\")\r\n"), "（＂x＂）  ");
  EXPECT_EQ(ValueForFile("Difficulty", "\"\""), "\"\"");  // what an emptied text box holds
  EXPECT_EQ(ValueForFile("Difficulty", std::string_view("a\0b", 3)), "ab");
}

TEST(WorldSettingsWriter, NormalFormsAreWhatASaveGivesBack) {
  EXPECT_EQ(NormalizeRowValue("Region", "a\"b"), "\"a\"b\"");
  EXPECT_EQ(NormalizeRowValue("Region", "\"\"a\"\""), "\"\"a\"\"");
  EXPECT_EQ(NormalizeRowValue("Region", "\""), "\"\"");
  EXPECT_EQ(NormalizeRowValue("Region", "x\r\n"), "\"x\r\n\"");
  EXPECT_EQ(NormalizeRowValue("Difficulty", "a,(b)"), ValueForFile("Difficulty", "a,(b)"));
}

TEST(WorldSettingsWriter, WritesTheCatalogueThenTheOtherPairs) {
  WorldSettings settings =
      Loaded("\r\nOptionSettings=(expRATE=3,ServerName=\"Mine\",AutoSaveSpan=30)\r\n\r\n");
  settings.Rows[FindSettingRow(settings.Rows, "ServerDescription")].Value = "中文, 描述";
  const std::string text = WorldSettingsFileText(settings);

  EXPECT_EQ(text.rfind("[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(Difficulty=None,", 0),
            0u);
  EXPECT_EQ(text.back(), ')');
  EXPECT_NE(text.find(",ExpRate=3,"), std::string::npos);
  EXPECT_NE(text.find(",ServerDescription=\"中文, 描述\","), std::string::npos);
  EXPECT_NE(text.find(",bShowPlayerList=True,ServerName=\"Mine\",AutoSaveSpan=30)"),
            std::string::npos);

  const WorldSettings reloaded = Loaded(text);
  EXPECT_EQ(Value(reloaded, "ServerDescription"), "\"中文, 描述\"");
  EXPECT_EQ(reloaded.Rows.size(), 59u);  // the 57, then ServerName and AutoSaveSpan
}

TEST(WorldSettingsSample, ReadsEveryCatalogueKeyOfTheServersOwnFile) {
  const std::string sample = ServerSampleText();
  ASSERT_FALSE(sample.empty());
  const std::vector<OptionPair> pairs = ReadOptionList(sample);
  ASSERT_EQ(pairs.size(), 119u);

  const WorldSettings settings = Loaded(sample);
  for (const SettingEntry& row : settings.Rows) {
    auto pair = std::find_if(pairs.begin(), pairs.end(),
                             [&](const OptionPair& p) { return p.Key == row.Key; });
    ASSERT_NE(pair, pairs.end()) << row.Key;
    EXPECT_EQ(row.Value, pair->Value) << row.Key;
  }
  EXPECT_EQ(Value(settings, "DeathPenalty"), "Item");
  EXPECT_EQ(Value(settings, "bShowPlayerList"), "False");
  EXPECT_EQ(Value(settings, "BanListURL"), "\"https://b.palworldgame.com/api/banlist.txt\"");
}

TEST(WorldSettingsSample, SaveKeepsAllPairsAndTheirValues) {
  const std::string sample = ServerSampleText();
  const WorldSettings settings = Loaded(sample);
  ASSERT_EQ(settings.Rows.size(), 119u);
  ASSERT_TRUE(settings.OtherPairs.empty());

  const std::vector<OptionPair> before = ReadOptionList(sample);
  const std::vector<OptionPair> after = ReadOptionList(WorldSettingsFileText(settings));
  ASSERT_EQ(after.size(), 119u);
  // The catalogue's pairs first in its order, then the others in the sample's order.
  std::vector<OptionPair> expected;
  for (const SettingEntry& row : settings.Rows) {
    expected.push_back(*std::find_if(before.begin(), before.end(),
                                     [&](const OptionPair& p) { return p.Key == row.Key; }));
  }
  for (const OptionPair& pair : before) {
    if (FindSettingRow(settings.Rows, pair.Key) < 0) expected.push_back(pair);
  }
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].Key, expected[i].Key) << i;
    EXPECT_EQ(after[i].Value, expected[i].Value) << after[i].Key;
  }
  EXPECT_EQ(after[57].Key, "RandomizerType");
  EXPECT_EQ(after[118].Key, "BuildingNameDisplayCacheTTLSeconds");
}

}  // namespace
}  // namespace tidemoor
