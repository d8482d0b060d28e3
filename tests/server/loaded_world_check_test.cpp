#include "server/loaded_world_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>

#include "server/fake_server_world.h"
#include "support/fake_prompt.h"

namespace tidemoor {
namespace {

using testing::FakePrompt;

constexpr char kId[] = "0123456789ABCDEF0123456789ABCDEF";

class FakeWorlds : public SavedWorlds {
 public:
  LoadedWorldFacts LookAtLoadedWorld() override {
    return {kId, true, files.contains(kWorldOptionFileName), {kId}};
  }
  bool WorldHolds(const std::string& worldId, const std::string& fileName) override {
    return worldId == kId && files.contains(fileName);
  }
  bool RenameInWorld(const std::string&, const std::string& from, const std::string& to) override {
    if (!renameWorks || files.contains(to)) return false;
    files.erase(from);
    files.insert(to);
    return true;
  }
  std::set<std::string> files = {kWorldOptionFileName, kWorldOptionDisabledName};
  bool renameWorks = true;
};

// Yes renames only after a point was made; a failure on the way leaves the file where it was and
// says so; No is remembered; a tool that closes during the point (the point never answers) starts
// nothing, and neither does a second start pressed while the point is made.
TEST(LoadedWorldCheck, TheFileIsRenamedOnlyAfterAPoint) {
  struct Case {
    bool yes;
    std::optional<BackupPointResult> point;  // none: cut short by the tool closing
    bool renameWorks;
    std::optional<bool> goesOn;  // none: the start hears nothing
    const char* fileAfter;
    const char* message;  // after the question; empty for none
    bool kept;
  };
  const Case cases[] = {
      {true, BackupPointResult::Made, true, true, "WorldOption.sav.disabled.2", "", false},
      {true, BackupPointResult::Failed, true, true, kWorldOptionFileName,
       kWorldOptionPointFailedMessage, false},
      {true, BackupPointResult::Made, false, true, kWorldOptionFileName,
       kWorldOptionRenameFailedMessage, false},
      {true, std::nullopt, true, std::nullopt, kWorldOptionFileName, "", false},
      {false, BackupPointResult::Made, true, true, kWorldOptionFileName, "", true},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    FakeWorlds worlds;
    worlds.renameWorks = c.renameWorks;
    FakePrompt prompt;
    prompt.answerYes = c.yes;
    testing::FakeEventLog log;
    int points = 0;
    std::vector<std::string> remembered;
    LoadedWorldCheck check(
        LoadedWorldWiring{worlds, prompt, log,
                          [&](std::function<void(BackupPointResult)> made) {
                            ++points;
                            std::optional<bool> second;
                            check.BeforeStart([&](bool goOn) { second = goOn; });
                            EXPECT_EQ(second, false) << "a start while the point is made";
                            EXPECT_TRUE(worlds.files.contains(kWorldOptionFileName));
                            if (c.point) made(*c.point);
                          },
                          [&](const auto& kept) { remembered = kept; }},
        {});

    std::optional<bool> goesOn;
    check.BeforeStart([&](bool goOn) { goesOn = goOn; });
    EXPECT_EQ(goesOn, c.goesOn);
    ASSERT_GE(prompt.asked.size(), 1u);
    EXPECT_EQ(prompt.asked[0].text, kWorldOptionQuestion);
    EXPECT_EQ(prompt.asked.size() > 1 ? prompt.asked[1].text : "", c.message);
    EXPECT_EQ(points, c.yes ? 1 : 0);
    EXPECT_TRUE(worlds.files.contains(c.fileAfter));
    EXPECT_TRUE(worlds.files.contains(kWorldOptionDisabledName)) << "never replaced";
    EXPECT_EQ(remembered, c.kept ? std::vector<std::string>{kId} : std::vector<std::string>{});
    EXPECT_EQ(check.KeptWorlds(), remembered);
  }
}

// The point takes a while with the windows going on: a WorldOption.sav the host moved away
// meanwhile is left alone, with nothing to rename and nothing to complain about.
TEST(LoadedWorldCheck, AFileGoneWhileThePointIsMadeIsLeftAlone) {
  FakeWorlds worlds;
  FakePrompt prompt;
  testing::FakeEventLog log;
  LoadedWorldCheck check(LoadedWorldWiring{worlds,
                                           prompt,
                                           log,
                                           [&](std::function<void(BackupPointResult)> made) {
                                             worlds.files.erase(kWorldOptionFileName);
                                             made(BackupPointResult::Made);
                                           },
                                           {}},
                         {});
  std::optional<bool> goesOn;
  check.BeforeStart([&](bool goOn) { goesOn = goOn; });
  EXPECT_EQ(goesOn, true);
  EXPECT_EQ(prompt.asked.size(), 1u) << "the question only";
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(worlds.files, std::set<std::string>{kWorldOptionDisabledName});
}

// A world named in GameUserSettings.ini that is not there: No cancels the start, Yes starts a new
// world and says so. Either way the check is over, and the next start asks again.
TEST(LoadedWorldCheck, NoToTheMissingWorldCancelsAndTheNextStartAsksAgain) {
  class MissingWorld : public SavedWorlds {
   public:
    LoadedWorldFacts LookAtLoadedWorld() override { return {kId, false, false, {"OTHERWORLD"}}; }
    bool WorldHolds(const std::string&, const std::string&) override { return false; }
    bool RenameInWorld(const std::string&, const std::string&, const std::string&) override {
      return false;
    }
  };
  const struct {
    bool yes;
    bool goesOn;
    size_t logged;
  } cases[] = {{false, false, 0}, {true, true, 1}};
  for (const auto& c : cases) {
    MissingWorld worlds;
    FakePrompt prompt;
    prompt.answerYes = c.yes;
    testing::FakeEventLog log;
    LoadedWorldCheck check(LoadedWorldWiring{worlds, prompt, log, {}, {}}, {});
    for (int start = 1; start <= 2; ++start) {
      std::optional<bool> goesOn;
      check.BeforeStart([&](bool goOn) { goesOn = goOn; });
      EXPECT_EQ(goesOn, c.goesOn) << "start " << start;
      ASSERT_EQ(prompt.asked.size(), static_cast<size_t>(start)) << "asked again at each start";
      EXPECT_EQ(prompt.asked.back().text, MissingWorldQuestion(kId, {"OTHERWORLD"}));
      EXPECT_EQ(log.lines.size(), c.logged * start);
    }
  }
}

}  // namespace
}  // namespace tidemoor
