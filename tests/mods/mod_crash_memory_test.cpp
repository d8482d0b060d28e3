#include "mods/mod_crash_memory.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tidemoor {
namespace {

using Names = std::vector<std::string>;
using std::chrono::minutes;
using std::chrono::seconds;

TEST(ModCrashMemory, OnlyASoonCrashOfTheFirstStartWithAChangedListIsAskedAbout) {
  struct Case {
    const char* what;
    std::optional<Names> lastGood;
    Names current;
    seconds ranFor;
    bool first;
    bool ask;
    Names on, off;
  };
  const Case cases[] = {
      {"two mods switched on", Names{"A"}, {"C", "A", "B"}, minutes(2), true, true, {"C", "B"}, {}},
      {"one switched off", Names{"A", "B"}, {"A"}, minutes(2), true, true, {}, {"B"}},
      {"every mod switched off", Names{"A"}, {}, seconds(5), true, true, {}, {"A"}},
      {"order and case aside, the same list",
       Names{"A", "B"},
       {"b", "a"},
       minutes(1),
       true,
       false,
       {},
       {}},
      {"just short of proving itself",
       Names{},
       {"A"},
       minutes(10) - seconds(1),
       true,
       true,
       {"A"},
       {}},
      {"ran long enough: not the mods", Names{}, {"A"}, minutes(10), true, false, {}, {}},
      {"a second crash with the same list", Names{}, {"A"}, minutes(1), false, false, {}, {}},
      {"no list ever proved", std::nullopt, {"A"}, minutes(1), true, false, {}, {}},
  };
  for (const Case& c : cases) {
    const ModCrashVerdict verdict =
        JudgeCrashAfterModChange(c.lastGood, c.current, c.ranFor, c.first);
    EXPECT_EQ(verdict.ask, c.ask) << c.what;
    EXPECT_EQ(verdict.switchedOn, c.ask ? c.on : Names{}) << c.what;
    EXPECT_EQ(verdict.switchedOff, c.ask ? c.off : Names{}) << c.what;
  }
  EXPECT_FALSE(ModsProven(minutes(10) - seconds(1)));
  EXPECT_TRUE(ModsProven(minutes(10)));
}

TEST(ModCrashMemory, ListsLoadTheSameModsWhateverTheirOrderAndCase) {
  EXPECT_TRUE(SameModLists({"A", "b"}, {"B", "a"}));
  EXPECT_TRUE(SameModLists({}, {}));
  EXPECT_FALSE(SameModLists({"A"}, {"A", "B"}));
  EXPECT_FALSE(SameModLists({"A", "B"}, {"A"}));
}

TEST(ModCrashMemory, TheRememberedListIsOnePackagePerLine) {
  EXPECT_EQ(LastGoodModsText({"A", "", "B\r\nC", "D"}), "A\r\nD\r\n");
  EXPECT_EQ(LastGoodModsText({}), "");
  const struct {
    const char* what;
    std::string text;
    Names names;
  } cases[] = {
      {"as written", "A\r\nD\r\n", {"A", "D"}},
      {"saved by Notepad with a mark, LF, blanks, blank lines, no last line end",
       "\xEF\xBB\xBF A \n\n\tB\r\n\r\nC",
       {"A", "B", "C"}},
      {"empty", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadLastGoodMods(c.text), c.names) << c.what;
}

}  // namespace
}  // namespace tidemoor
