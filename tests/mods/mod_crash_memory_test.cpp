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

// A verdict that does not ask names no mods.
TEST(ModCrashMemory, OnlyASoonCrashOfTheFirstStartWithAChangedListIsAskedAbout) {
  const seconds justShort = minutes(10) - seconds(1);
  const struct {
    const char* what;
    std::optional<Names> lastGood;
    Names current;
    seconds ranFor;
    bool first;
    Names on, off;  // both empty: not asked
  } cases[] = {
      {"two mods switched on", Names{"A"}, {"C", "A", "B"}, minutes(2), true, {"C", "B"}, {}},
      {"one switched off", Names{"A", "B"}, {"A"}, minutes(2), true, {}, {"B"}},
      {"every mod switched off", Names{"A"}, {}, seconds(5), true, {}, {"A"}},
      {"order and case aside, the same list", Names{"A", "B"}, {"b", "a"}, minutes(1), true},
      {"just short of proving itself", Names{}, {"A"}, justShort, true, {"A"}, {}},
      {"ran long enough: not the mods", Names{}, {"A"}, minutes(10), true},
      {"a second crash with the same list", Names{}, {"A"}, minutes(1), false},
      {"no list ever proved", std::nullopt, {"A"}, minutes(1), true},
  };
  for (const auto& c : cases) {
    const ModCrashVerdict verdict =
        JudgeCrashAfterModChange(c.lastGood, c.current, c.ranFor, c.first);
    EXPECT_EQ(verdict.ask, !c.on.empty() || !c.off.empty()) << c.what;
    EXPECT_EQ(verdict.switchedOn, c.on) << c.what;
    EXPECT_EQ(verdict.switchedOff, c.off) << c.what;
  }
  EXPECT_FALSE(ModsProven(justShort));
  EXPECT_TRUE(ModsProven(minutes(10)));
  EXPECT_TRUE(SameModLists({"A", "b"}, {"B", "a"}));
  EXPECT_FALSE(SameModLists({"A"}, {"A", "B"}) || SameModLists({"A", "B"}, {"A"}));
}

TEST(ModCrashMemory, TheRememberedListIsOnePackagePerLine) {
  EXPECT_EQ(LastGoodModsText({"A", "", "B\r\nC", "D"}), "A\r\nD\r\n");
  EXPECT_EQ(LastGoodModsText({}), "");
  // As written, and as saved by Notepad with a mark, LF, blanks, blank lines, no last line end.
  EXPECT_EQ(ReadLastGoodMods("A\r\nD\r\n"), (Names{"A", "D"}));
  EXPECT_EQ(ReadLastGoodMods("\xEF\xBB\xBF A \n\n\tB\r\n\r\nC"), (Names{"A", "B", "C"}));
  EXPECT_EQ(ReadLastGoodMods(""), Names{});
}

}  // namespace
}  // namespace tidemoor
