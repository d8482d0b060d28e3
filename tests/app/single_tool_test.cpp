#include "app/single_tool.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tidemoor {
namespace {

TEST(SingleTool, OneNamePerFolderWhateverItsTrailingBackslash) {
  struct Case {
    std::u16string a;
    std::u16string b;
    bool same;
  };
  const Case cases[] = {
      {u"D:\\PALSERVER", u"D:\\PALSERVER\\", true},
      {u"D:\\服务器", u"D:\\服务器\\\\", true},
      {u"D:\\PALSERVER", u"D:\\PALSERVER2", false},
      {u"D:\\PALSERVER", u"E:\\PALSERVER", false},
      {u"D:\\A\\B", u"D:\\AB", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SingleToolObjectName(c.a) == SingleToolObjectName(c.b), c.same)
        << SingleToolObjectName(c.a) << " " << SingleToolObjectName(c.b);
  }
  EXPECT_TRUE(SingleToolObjectName(u"C:\\TOOLS").starts_with("Global\\Tidemoor-"));
}

// A tool whose window just closed is still ending for a moment, and one just started shows its
// window only after a moment: a second start waits for either, but not for a window that can
// never appear on its desktop, nor for ever.
TEST(SingleTool, ASecondStartWaitsForAToolWithoutAWindowInItsOwnSessionOnly) {
  using S = HoldingSession;
  using enum SecondStart;
  constexpr auto kLast = kHoldingToolWait - std::chrono::milliseconds(1);
  struct Case {
    HoldingToolSeen seen;
    SecondStart expected;
  };
  const Case cases[] = {
      {{.released = true, .session = S::Other, .waited = kHoldingToolWait}, Run},
      {{.windowShown = true, .session = S::Other, .waited = kHoldingToolWait}, BringForward},
      {{.session = S::This, .waited = kLast}, KeepWaiting},
      {{.session = S::Unknown, .waited = kLast}, KeepWaiting},
      {{.session = S::Other}, TellOtherSession},
      {{.session = S::This, .waited = kHoldingToolWait}, TellStillBusy},
      {{.session = S::Unknown, .waited = kHoldingToolWait}, TellStillBusy},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideSecondStart(c.seen), c.expected)
        << c.seen.released << c.seen.windowShown << static_cast<int>(c.seen.session) << " "
        << c.seen.waited.count() << " ms";
  }
}

}  // namespace
}  // namespace tidemoor
