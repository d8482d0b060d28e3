// Save and load over many generated files and typed values: no key is ever lost, and a file
// saved once is saved again byte for byte.

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <sstream>

#include "worldsettings/sample_settings_file.h"
#include "worldsettings/world_settings_text.h"

namespace tidemoor {
namespace {

WorldSettings Loaded(std::string_view fileText) {
  WorldSettings settings;
  ApplyWorldSettingsText(fileText, settings);
  return settings;
}

WorldSettings SavedAndLoaded(const WorldSettings& settings) {
  return Loaded(WorldSettingsFileText(settings));
}

std::string& Row(WorldSettings& settings, std::string_view key) {
  return settings.Rows[FindSettingRow(settings.Rows, key)].Value;
}

using testing::ServerSampleText;

// The reloaded settings are the edited ones with every row in its normal form and every other
// pair untouched; an empty text when they are.
std::string RoundTripFault(const WorldSettings& edited) {
  const WorldSettings reloaded = SavedAndLoaded(edited);
  std::ostringstream fault;
  for (size_t i = 0; i < edited.Rows.size(); ++i) {
    const SettingEntry& row = edited.Rows[i];
    const std::string normal = NormalizeRowValue(row.Key, row.Value);
    if (reloaded.Rows[i].Value != normal) fault << row.Key << " reads " << reloaded.Rows[i].Value;
    if (NormalizeRowValue(row.Key, normal) != normal) fault << row.Key << " normal form moves";
  }
  if (reloaded.OtherPairs.size() != edited.OtherPairs.size()) fault << "other pairs differ";
  for (size_t i = 0; fault.str().empty() && i < edited.OtherPairs.size(); ++i) {
    const OptionPair& want = edited.OtherPairs[i];
    const OptionPair& got = reloaded.OtherPairs[i];
    if (got.Key != want.Key || got.Value != want.Value) {
      fault << want.Key << "=" << want.Value << " reads " << got.Key << "=" << got.Value;
    }
  }
  return fault.str();
}

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

  std::string Awkward(size_t most) {
    using namespace std::string_view_literals;
    static constexpr std::string_view kCharacters = ",()\"\\= \t\r\nan'\0"sv;
    static constexpr std::string_view kLonger[] = {
        "\\\"", "\\\\", "中", "😀", "（Hard）", "OptionSettings=(", "optionsettings=("};
    std::string text;
    for (size_t n = Below(most + 1); n > 0; --n) {
      const size_t pick = Below(kCharacters.size() + std::size(kLonger));
      if (pick < kCharacters.size()) {
        text += kCharacters[pick];
      } else {
        text += kLonger[pick - kCharacters.size()];
      }
    }
    return text;
  }

  // Keys of the 57 rows and of the options the 1.0 server added, letters in any case.
  std::string Key() {
    static const std::vector<SettingEntry> rows = [] {
      std::vector<SettingEntry> known = WorldSettingsCatalogue();
      for (SettingEntry& entry : ServerOptionCatalogue()) known.push_back(std::move(entry));
      return known;
    }();
    switch (Below(5)) {
      case 0:
        return Awkward(3);
      case 1:
      case 2:
        return std::string(1, "ABC"[Below(3)]);
      default: {
        std::string key = rows[Below(rows.size())].Key;
        for (char& c : key) c = Below(2) ? static_cast<char>(std::toupper(c)) : c;
        return key;
      }
    }
  }

  // Short values often hold a lone quote or bracket, which is what can pair up with another
  // value's once a save has put the pairs side by side.
  std::string Value() {
    switch (Below(5)) {
      case 0:
        return "\"" + Awkward(4) + "\"";
      case 1:
        return "(" + Awkward(2) + "," + Awkward(2) + ")";
      case 2:
        return std::string(1, "()\"="[Below(4)]);
      default:
        return Awkward(6);
    }
  }

  // Every fourth file is terse: four short keys, each value one bracket, a quote or a letter, so
  // that repeated keys and lone brackets meet often.
  std::string File() {
    const bool terse = Below(4) == 0;
    std::string text = Below(3) ? "" : Awkward(4);
    if (Below(8)) text += Below(2) ? "OptionSettings=(" : "OPTIONsettings=(";
    for (size_t n = Below(10); n > 0; --n) {
      if (terse) {
        text += std::string(1, "ABCD"[Below(4)]) + "=" + std::string(1, "()\"x"[Below(4)]);
      } else {
        text += (Below(3) ? "" : " ") + Key() + (Below(4) ? "=" : Awkward(2)) + Value();
      }
      text += n > 1 ? (Below(6) ? "," : Awkward(2)) : "";
    }
    if (Below(6)) text += ")";
    return text + (Below(3) ? "" : Awkward(4));
  }

 private:
  std::mt19937 random_;
};

TEST(WorldSettingsProperty, TypedValuesComeBackInNormalFormAndNothingElseMoves) {
  Generator generate(20240611);
  for (int n = 0; n < 2000; ++n) {
    const std::string file = generate.File();
    WorldSettings edited = Loaded(file);
    for (size_t typed = generate.Below(4); typed > 0; --typed) {
      edited.Rows[generate.Below(edited.Rows.size())].Value = generate.Awkward(8);
    }
    const std::string fault = RoundTripFault(edited);
    ASSERT_EQ(fault, "") << "file: " << ::testing::PrintToString(file);
  }
}

TEST(WorldSettingsProperty, AFileSavedOnceIsSavedAgainByteForByte) {
  Generator generate(7);
  for (int n = 0; n < 2000; ++n) {
    const std::string file = generate.File();
    const std::string once = WorldSettingsFileText(Loaded(file));
    ASSERT_EQ(WorldSettingsFileText(Loaded(once)), once) << ::testing::PrintToString(file);
  }
}

// Typing a value into one row of the server's own file and saving it.
std::string FaultAfterTyping(std::string_view key, std::string_view value) {
  WorldSettings edited = Loaded(ServerSampleText());
  Row(edited, key) = value;
  return RoundTripFault(edited);
}

TEST(WorldSettingsFound, BracketsAndQuotesTypedIntoAnyRowKeepEveryOtherKey) {
  for (const auto& [key, typed] : std::initializer_list<std::pair<const char*, const char*>>{
           {"Difficulty", "(Hard)"},
           {"DeathPenalty", "("},
           {"DeathPenalty", "\"Item"},
           {"CrossplayPlatforms", "(Steam,\"Xbox\")"},
           {"CrossplayPlatforms", "Steam, (PS5"},
           {"CrossplayPlatforms", ""},
           {"DenyTechnologyList", "(a,(b)),c"},
           {"ServerName", "a\",b\\"},
           {"RandomizerSeed", ""},
           {"LogFormatType", "Json)"},
           {"AutoSaveSpan", "(60"}}) {
    EXPECT_EQ(FaultAfterTyping(key, typed), "") << key << "=" << typed;
  }

  WorldSettings edited = Loaded(ServerSampleText());
  Row(edited, "Difficulty") = "(Hard)";
  std::string saved = WorldSettingsFileText(edited);
  EXPECT_NE(saved.find("(Difficulty=（Hard）,"), std::string::npos);
  EXPECT_NE(saved.find(",CrossplayPlatforms=(Steam,Xbox,PS5,Mac),"), std::string::npos);

  Row(edited, "CrossplayPlatforms") = "Steam, Xbox";
  saved = WorldSettingsFileText(edited);
  EXPECT_NE(saved.find(",CrossplayPlatforms=(Steam,Xbox),"), std::string::npos);
  EXPECT_NE(saved.find(",DenyTechnologyList=,"), std::string::npos);
  EXPECT_NE(saved.find(",ServerName=\"Default Palworld Server\","), std::string::npos);
}

TEST(WorldSettingsFound, AnOpenBracketAnEarlierSaveLeftCostsNothing) {
  WorldSettings settings = Loaded(
      "OptionSettings=(Difficulty=(Hard）,CrossplayPlatforms=(Steam,Xbox,PS5,Mac),"
      "ExpRate=2,Region=\"x\")");
  EXPECT_EQ(Row(settings, "Difficulty"), "(Hard）");
  EXPECT_EQ(Row(settings, "ExpRate"), "2");
  EXPECT_EQ(Row(settings, "Region"), "\"x\"");
  EXPECT_EQ(Row(settings, "CrossplayPlatforms"), "(Steam,Xbox,PS5,Mac)");
  EXPECT_EQ(RoundTripFault(settings), "");
}

TEST(WorldSettingsFound, QuotesTypedIntoADescriptionStayInTheDescription) {
  EXPECT_EQ(FaultAfterTyping("ServerDescription", "(say \"hi\")"), "");
  EXPECT_EQ(FaultAfterTyping("ServerDescription", "a\",Difficulty=Hard,X=\""), "");
  EXPECT_EQ(FaultAfterTyping("Region", "\\\"),"), "");

  WorldSettings edited = Loaded(ServerSampleText());
  Row(edited, "ServerDescription") = "(say \"hi\")";
  const std::string saved = WorldSettingsFileText(edited);
  EXPECT_NE(saved.find(",ServerDescription=\"(say \\\"hi\\\")\","), std::string::npos);
  WorldSettings reloaded = Loaded(saved);
  EXPECT_EQ(Row(reloaded, "ServerDescription"), "\"(say \"hi\")\"");
}

TEST(WorldSettingsFound, UneditedFilesReadTheSameAfterEverySave) {
  WorldSettings settings = Loaded("OptionSettings=(D=(,\",p=\",\")");
  ASSERT_EQ(settings.OtherPairs.size(), 1u);
  EXPECT_EQ(settings.OtherPairs[0].Key, "D");
  EXPECT_EQ(settings.OtherPairs[0].Value, "(");
  EXPECT_EQ(RoundTripFault(settings), "");

  settings = Loaded("OptionSettings=(A=(x,ServerDescription=\"p,q\",C=1)");
  EXPECT_EQ(Row(settings, "ServerDescription"), "\"p,q\"");
  ASSERT_EQ(settings.OtherPairs.size(), 2u);
  EXPECT_EQ(settings.OtherPairs[0].Value, "(x");
  EXPECT_EQ(settings.OtherPairs[1].Value, "1");
}

// Written in the place of its first mention, A's "(" would pair with C's ")" at the next load.
TEST(WorldSettingsFound, ARepeatedKeyCannotPairUpWithALaterValue) {
  const WorldSettings settings = Loaded("OptionSettings=(A=1,C=x,C=),A=(,D=1)");
  ASSERT_EQ(settings.OtherPairs.size(), 3u);
  EXPECT_EQ(settings.OtherPairs[0].Key + settings.OtherPairs[0].Value, "C)");
  EXPECT_EQ(settings.OtherPairs[1].Key + settings.OtherPairs[1].Value, "A(");
  EXPECT_EQ(RoundTripFault(settings), "");
}

// Earlier saves wrote a description's quotes bare; one stray quote must not swallow the pairs
// that follow up to the next quoted value.
TEST(WorldSettingsFound, AStrayQuoteAnEarlierSaveLeftCostsNothing) {
  WorldSettings settings = Loaded(
      "OptionSettings=(ServerDescription=\"a\"b\",RCONEnabled=True,RCONPort=1,Region=\"x\","
      "BanListURL=\"u\")");
  EXPECT_EQ(Row(settings, "ServerDescription"), "\"a\"b\"");
  EXPECT_EQ(Row(settings, "RCONEnabled"), "True");
  EXPECT_EQ(Row(settings, "RCONPort"), "1");
  EXPECT_EQ(Row(settings, "Region"), "\"x\"");
  EXPECT_EQ(Row(settings, "BanListURL"), "\"u\"");
  EXPECT_EQ(RoundTripFault(settings), "");
  EXPECT_NE(WorldSettingsFileText(settings).find(",ServerDescription=\"a\\\"b\","),
            std::string::npos);
}

}  // namespace
}  // namespace tidemoor
