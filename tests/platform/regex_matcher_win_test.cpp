#include "platform/regex_matcher_win.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

// Every case runs through the system component and through our own engine, which takes over
// where VBScript is not installed.
class RegexMatcherTest : public ::testing::TestWithParam<RegexEngineChoice> {};

INSTANTIATE_TEST_SUITE_P(Engines, RegexMatcherTest,
                         ::testing::Values(RegexEngineChoice::SystemComponentFirst,
                                           RegexEngineChoice::FallbackOnly));

TEST_P(RegexMatcherTest, CountsChineseIdeographsInAPath) {
  RegexMatcher matcher(GetParam());
  EXPECT_TRUE(matcher.Execute("[\\u4e00-\\u9fa5]", "D:\\服务器"));
  EXPECT_EQ(matcher.UsesSystemComponent(), GetParam() == RegexEngineChoice::SystemComponentFirst);
  EXPECT_EQ(matcher.MatchCount(), 3);
  size_t position = 0;
  EXPECT_EQ(matcher.MatchText(2, &position), "务");
  EXPECT_EQ(position, 6u);

  EXPECT_TRUE(matcher.Execute("[\\u4e00-\\u9fa5]", "D:\\Server"));
  EXPECT_EQ(matcher.MatchCount(), 0);
  EXPECT_TRUE(matcher.Execute("[\\u4e00-\\u9fa5]", "D:\\A & B\\Café！"));
  EXPECT_EQ(matcher.MatchCount(), 0);
}

TEST_P(RegexMatcherTest, QuotePlaceholderBecomesADoubleQuote) {
  RegexMatcher matcher(GetParam());
  EXPECT_TRUE(matcher.Execute("#引号a#引号", "x\"a\"y", false, true, true, true));
  EXPECT_EQ(matcher.GetPattern(), "\"a\"");
  EXPECT_EQ(matcher.MatchCount(), 1);
  EXPECT_TRUE(matcher.Execute("#引号a#引号", "#引号a#引号"));  // without the flag: literal
  EXPECT_EQ(matcher.GetPattern(), "#引号a#引号");
  EXPECT_EQ(matcher.MatchCount(), 1);
}

TEST_P(RegexMatcherTest, InvalidPatternGivesFalseAndNoMatches) {
  RegexMatcher matcher(GetParam());
  ASSERT_TRUE(matcher.Execute("a", "aaa"));
  EXPECT_FALSE(matcher.Execute("([a-", "abc"));
  EXPECT_EQ(matcher.MatchCount(), 0);
  EXPECT_EQ(matcher.MatchText(1), "");
}

TEST_P(RegexMatcherTest, OptionsGroupsAndReplace) {
  RegexMatcher matcher(GetParam());
  EXPECT_TRUE(matcher.Execute("port=(\\d+)", "PORT=8211\nport=8212"));
  EXPECT_EQ(matcher.MatchCount(), 2);
  EXPECT_EQ(matcher.SubMatchCount(), 1);
  size_t position = 0;
  EXPECT_EQ(matcher.SubMatchText(2, 1, &position), "8212");
  EXPECT_EQ(position, 15u);
  EXPECT_EQ(matcher.SubMatchText(2, 2, &position), "");
  EXPECT_EQ(position, 15u);  // left alone for a group that does not exist
  EXPECT_EQ(matcher.Replace("p:$1"), "p:8211\np:8212");

  EXPECT_TRUE(matcher.Execute("port=(\\d+)", "PORT=8211\nport=8212", true));
  EXPECT_EQ(matcher.MatchCount(), 1);
  EXPECT_TRUE(matcher.Execute("^port", "port\nport", false, false));
  EXPECT_EQ(matcher.MatchCount(), 1);
  EXPECT_TRUE(matcher.Execute("port", "port\nport", false, true, false));
  EXPECT_EQ(matcher.MatchCount(), 1);
  EXPECT_EQ(matcher.Replace("x"), "x\nport");
}

}  // namespace
}  // namespace tidemoor
