#include "platform/verdict_tone.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(VerdictTone, EachVerdictWordHasItsColourAndNothingElseHasOne) {
  struct Case {
    const char* word;
    VerdictTone tone;
  };
  const Case cases[] = {
      {"完成", VerdictTone::Good},
      {"通过", VerdictTone::Good},
      {"注意", VerdictTone::Caution},
      {"跳过", VerdictTone::Caution},
      {"失败", VerdictTone::Bad},
      {"未通过", VerdictTone::Bad},
      {"无法判断", VerdictTone::Unknown},
      {"检查中...", VerdictTone::Plain},
      {"", VerdictTone::Plain},
      {"失败: 未勾选", VerdictTone::Plain},
      {"局域网联机地址 192.168.1.2:8211", VerdictTone::Plain},
  };
  for (const Case& c : cases) EXPECT_EQ(ToneOfVerdictWord(c.word), c.tone) << c.word;
}

}  // namespace
}  // namespace tidemoor
