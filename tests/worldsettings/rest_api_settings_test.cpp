#include "worldsettings/rest_api_settings.h"

#include <gtest/gtest.h>

#include "worldsettings/settings_catalogue.h"
#include "worldsettings/world_settings_text.h"

namespace tidemoor {
namespace {

std::vector<OptionPair> Pairs(std::string_view text) {
  return ReadOptionList(text);
}

std::string ValueOf(std::string_view text, std::string_view key) {
  std::string value = "(missing)";
  int mentions = 0;
  for (const OptionPair& pair : Pairs(text)) {
    if (pair.Key == key) {
      value = pair.Value;
      ++mentions;
    }
  }
  EXPECT_LE(mentions, 1) << key;
  return value;
}

TEST(RestApiSettings, TheThreePairsAreSetAndEveryOtherPairKept) {
  const std::string file =
      "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(Difficulty=None,ExpRate=2.000000,"
      "ServerPlayerMaxNum=32,restapienabled=False,AutoSaveSpan=30.000000,"
      "ServerDescription=\"a, (b)\",CustomKey=(x=1,y=\"q\"))\r\n";
  const std::optional<std::string> written = WithRestApiEnabled(file, 8300, "pa\"ss\\word");
  ASSERT_TRUE(written);
  EXPECT_EQ(ValueOf(*written, "restapienabled"), "True") << "the file's own spelling is kept";
  EXPECT_EQ(ValueOf(*written, "RESTAPIEnabled"), "(missing)");
  EXPECT_EQ(ValueOf(*written, "RESTAPIPort"), "8300");
  EXPECT_EQ(ValueOf(*written, "AdminPassword"), R"("pa\"ss\\word")");
  EXPECT_EQ(ValueOf(*written, "ExpRate"), "2.000000");
  EXPECT_EQ(ValueOf(*written, "ServerPlayerMaxNum"), "32");
  EXPECT_EQ(ValueOf(*written, "AutoSaveSpan"), "30.000000");
  EXPECT_EQ(ValueOf(*written, "ServerDescription"), "\"a, (b)\"");
  EXPECT_EQ(ValueOf(*written, "CustomKey"), "(x=1,y=\"q\")");

  // Read back by the same reader the settings window uses, the password is the typed one.
  WorldSettings reread;
  ApplyWorldSettingsText(*written, reread);
  EXPECT_EQ(reread.Rows[FindSettingRow(reread.Rows, "AdminPassword")].Value, "\"pa\"ss\\word\"");

  EXPECT_FALSE(WithRestApiEnabled(*written, 8300, "pa\"ss\\word")) << "nothing to change";
  const std::optional<std::string> newPort = WithRestApiEnabled(*written, 8212, "pa\"ss\\word");
  ASSERT_TRUE(newPort);
  EXPECT_EQ(ValueOf(*newPort, "RESTAPIPort"), "8212");
  EXPECT_EQ(Pairs(*newPort).size(), Pairs(*written).size());
}

TEST(RestApiSettings, TheTemplateGetsThePairsAdded) {
  const std::optional<std::string> written = WithRestApiEnabled(WorldSettingsTemplate(), 8212, "");
  ASSERT_TRUE(written);
  EXPECT_EQ(ValueOf(*written, "RESTAPIEnabled"), "True");
  EXPECT_EQ(ValueOf(*written, "RESTAPIPort"), "8212");
  EXPECT_EQ(ValueOf(*written, "AdminPassword"), "\"\"");
  EXPECT_EQ(ValueOf(*written, "DropItemMaxNum"), "3000");
  EXPECT_EQ(Pairs(*written).size(), WorldSettingsCatalogue().size() + 3);
}

TEST(RestApiSettings, TheApiIsOnOnlyWhenTheFileSaysTrue) {
  EXPECT_TRUE(
      RestApiEnabledIn("OptionSettings=(ExpRate=1.0,RESTAPIEnabled=True,RESTAPIPort=8212)"));
  EXPECT_TRUE(RestApiEnabledIn("OptionSettings=(restapienabled=true)"));
  EXPECT_FALSE(RestApiEnabledIn("OptionSettings=(RESTAPIEnabled=False,RESTAPIPort=8212)"));
  EXPECT_FALSE(RestApiEnabledIn("OptionSettings=(RESTAPIPort=8212)"));
  EXPECT_FALSE(RestApiEnabledIn(""));
  EXPECT_FALSE(RestApiEnabledIn(WorldSettingsTemplate()));
  EXPECT_TRUE(RestApiEnabledIn(*WithRestApiEnabled(WorldSettingsTemplate(), 8212, "pw")));
}

}  // namespace
}  // namespace tidemoor
