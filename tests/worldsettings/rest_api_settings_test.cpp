#include "worldsettings/rest_api_settings.h"

#include <gtest/gtest.h>

#include "worldsettings/option_pairs_writer.h"
#include "worldsettings/sample_settings_file.h"
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

StartSettingsChoice SafeStopChoice(int port, std::string adminPassword) {
  return {"My Host", "join", std::move(adminPassword), true, port, false};
}

// The pairs a start with the safe stop ticked writes into the file's text.
std::optional<std::string> WithStartPairs(std::string_view file, int port,
                                          std::string_view adminPassword) {
  const StartSettingsPlan plan =
      PlanStartSettings(SafeStopChoice(port, std::string(adminPassword)), file);
  return WithOptionPairs(file, plan.pairs);
}

TEST(RestApiSettings, TheStartPairsAreSetAndEveryOtherPairKept) {
  const std::string file =
      "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(Difficulty=None,ExpRate=2.000000,"
      "ServerPlayerMaxNum=32,restapienabled=False,AutoSaveSpan=30.000000,"
      "ServerDescription=\"a, (b)\",CustomKey=(x=1,y=\"q\"),serverNAME=\"old\")\r\n";
  const std::optional<std::string> written = WithStartPairs(file, 8300, "pa\"ss\\word");
  ASSERT_TRUE(written);
  EXPECT_EQ(ValueOf(*written, "restapienabled"), "True") << "the file's own spelling is kept";
  EXPECT_EQ(ValueOf(*written, "RESTAPIEnabled"), "(missing)");
  EXPECT_EQ(ValueOf(*written, "RESTAPIPort"), "8300");
  EXPECT_EQ(ValueOf(*written, "AdminPassword"), R"("pa\"ss\\word")");
  EXPECT_EQ(ValueOf(*written, "serverNAME"), "\"My Host\"");
  EXPECT_EQ(ValueOf(*written, "ServerPassword"), "\"join\"");
  EXPECT_EQ(ValueOf(*written, "ExpRate"), "2.000000");
  EXPECT_EQ(ValueOf(*written, "ServerPlayerMaxNum"), "32");
  EXPECT_EQ(ValueOf(*written, "AutoSaveSpan"), "30.000000");
  EXPECT_EQ(ValueOf(*written, "ServerDescription"), "\"a, (b)\"");
  EXPECT_EQ(ValueOf(*written, "CustomKey"), "(x=1,y=\"q\")");
  EXPECT_TRUE(written->ends_with(")\r\n")) << "the line end after the list stays";

  // Read back by the same reader the settings window uses, the password is the typed one.
  WorldSettings reread;
  ApplyWorldSettingsText(*written, reread);
  EXPECT_EQ(reread.Rows[FindSettingRow(reread.Rows, "AdminPassword")].Value, "\"pa\"ss\\word\"");

  EXPECT_FALSE(WithStartPairs(*written, 8300, "pa\"ss\\word")) << "nothing to change";
  const std::optional<std::string> newPort = WithStartPairs(*written, 8212, "pa\"ss\\word");
  ASSERT_TRUE(newPort);
  EXPECT_EQ(ValueOf(*newPort, "RESTAPIPort"), "8212");
  EXPECT_EQ(Pairs(*newPort).size(), Pairs(*written).size());
}

TEST(RestApiSettings, TheTemplateGetsThePairsAdded) {
  const std::optional<std::string> written = WithStartPairs(WorldSettingsTemplate(), 8212, "pw");
  ASSERT_TRUE(written);
  EXPECT_EQ(ValueOf(*written, "RESTAPIEnabled"), "True");
  EXPECT_EQ(ValueOf(*written, "RESTAPIPort"), "8212");
  EXPECT_EQ(ValueOf(*written, "AdminPassword"), "\"pw\"");
  EXPECT_EQ(ValueOf(*written, "ServerName"), "\"My Host\"");
  EXPECT_EQ(ValueOf(*written, "DropItemMaxNum"), "3000");
  EXPECT_EQ(Pairs(*written).size(), Pairs(WorldSettingsTemplate()).size() + 5);
}

// The server's own sample file keeps its comments, its line end and every value but the
// written ones; a key named twice gets the wanted value at each mention.
TEST(RestApiSettings, TheServersOwnFileKeepsItsCommentsAndValues) {
  const std::string sample = testing::ServerSampleText();
  const std::optional<std::string> written = WithStartPairs(sample, 8212, "a-good-one");
  ASSERT_TRUE(written);
  const size_t list = sample.find("OptionSettings=(");
  EXPECT_EQ(written->substr(0, list), sample.substr(0, list));
  const std::vector<OptionPair> before = Pairs(sample);
  const std::vector<OptionPair> after = Pairs(*written);
  ASSERT_EQ(after.size(), before.size());
  const std::string wanted = ",ServerName,ServerPassword,AdminPassword,RESTAPIEnabled,RESTAPIPort,";
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].Key, before[i].Key);
    if (wanted.find("," + before[i].Key + ",") == std::string::npos) {
      EXPECT_EQ(after[i].Value, before[i].Value) << before[i].Key;
    }
  }

  const std::optional<std::string> twice =
      WithOptionPairs("OptionSettings=(AdminPassword=\"a\",X=1,adminpassword=\"b\")",
                      std::vector<OptionPair>{{"AdminPassword", "\"c\""}});
  ASSERT_TRUE(twice);
  EXPECT_EQ(*twice,
            "[/Script/Pal.PalGameWorldSettings]\r\n"
            "OptionSettings=(AdminPassword=\"c\",X=1,adminpassword=\"c\")");
}

struct PlanCase {
  const char* what;
  bool safeStop;
  const char* adminPassword;
  const char* enabledInFile;  // RESTAPIEnabled's value in the file, or nullptr for none
  bool byToolBefore;
  const char* enabledWritten;  // what the start writes, or nullptr for nothing
  bool byToolAfter;
};

// The tool switches the API on for its safe stop and off again when that is unticked, but never
// switches off an API the host switched on, and never switches it on without a password.
TEST(RestApiSettings, TheApiIsSwitchedOnAndOffOnlyByItsOwnRules) {
  const PlanCase cases[] = {
      {"safe stop switches an API that is off on", true, "password", "False", false, "True", true},
      {"... as it does where the file names none", true, "password", nullptr, false, "True", true},
      {"the host's own API stays the host's", true, "password", "True", false, "True", false},
      {"an API the tool switched on stays the tool's", true, "password", "True", true, "True",
       true},
      {"unticked: the tool's API goes off again", false, "password", "True", true, "False", false},
      {"unticked: the host's API stays on", false, "password", "True", false, nullptr, false},
      {"unticked: an API the host switched off meanwhile is forgotten", false, "password", "False",
       true, nullptr, false},
      {"no password: never switched on", true, "", "False", false, nullptr, false},
      {"no password: the tool's API goes off", true, "", " True", true, "False", false},
      {"no password: the host's API is theirs", true, "", "True", false, nullptr, false},
  };
  for (const PlanCase& c : cases) {
    const std::string file =
        c.enabledInFile ? "OptionSettings=(X=1,RESTAPIEnabled=" + std::string(c.enabledInFile) + ")"
                        : "OptionSettings=(X=1)";
    StartSettingsChoice choice{"Name", "join", c.adminPassword, c.safeStop, 8300, c.byToolBefore};
    const StartSettingsPlan plan = PlanStartSettings(choice, file);
    EXPECT_EQ(plan.apiOnByTool, c.byToolAfter) << c.what;
    std::string written;
    for (const OptionPair& pair : plan.pairs) written += "," + pair.Key + "=" + pair.Value;
    std::string wanted = ",ServerName=\"Name\",ServerPassword=\"join\",AdminPassword=\"" +
                         std::string(c.adminPassword) + "\"";
    if (c.enabledWritten) wanted += ",RESTAPIEnabled=" + std::string(c.enabledWritten);
    if (wanted.ends_with("=True")) wanted += ",RESTAPIPort=8300";
    EXPECT_EQ(written, wanted) << c.what;
  }
}

TEST(RestApiSettings, PasswordsAreNamedButNotShownInTheEventLog) {
  const StartSettingsPlan plan = PlanStartSettings(SafeStopChoice(8212, "secret-pw"), "");
  EXPECT_EQ(PairsForEventLog(plan.pairs),
            "ServerName=\"My Host\", ServerPassword, AdminPassword, RESTAPIEnabled=True, "
            "RESTAPIPort=8212");
}

TEST(RestApiSettings, ShortOrDigitOnlyAdminPasswordsAreWeak) {
  using S = AdminPasswordStrength;
  const std::pair<const char*, S> cases[] = {
      {"", S::Empty},
      {"abcdefg", S::Weak},
      {"12345678901", S::Weak},
      {"管理员密码七个", S::Weak},
      {"abcdefgh", S::Strong},
      {"1234567a", S::Strong},
      {"管理员的密码八个", S::Strong},
      {"        ", S::Strong},
  };
  for (const auto& [password, strength] : cases) {
    EXPECT_EQ(JudgeAdminPassword(password), strength) << password;
  }
}

TEST(RestApiSettings, TheApiIsOnOnlyWhenTheFileSaysTrue) {
  const std::pair<std::string, bool> cases[] = {
      {"OptionSettings=(ExpRate=1.0,RESTAPIEnabled=True,RESTAPIPort=8212)", true},
      {"OptionSettings=(restapienabled=true)", true},
      {"OptionSettings=(RESTAPIEnabled=\tTrue )", true},
      {"OptionSettings=(RESTAPIEnabled=False,RESTAPIEnabled=True)", true},
      {"OptionSettings=(RESTAPIEnabled=True,RESTAPIEnabled=False)", false},
      {"OptionSettings=(RESTAPIEnabled=False,RESTAPIPort=8212)", false},
      {"OptionSettings=(RESTAPIEnabled=Truely)", false},
      {"OptionSettings=(RESTAPIPort=8212)", false},
      {"", false},
      {WorldSettingsTemplate(), false},
      {*WithStartPairs(WorldSettingsTemplate(), 8212, "pw"), true},
  };
  for (const auto& [file, on] : cases) EXPECT_EQ(RestApiEnabledIn(file), on) << file;
}

}  // namespace
}  // namespace tidemoor
