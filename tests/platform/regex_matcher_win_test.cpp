#include "platform/regex_matcher_win.h"

#include <gtest/gtest.h>

#include "platform/automation_win.h"

namespace tidemoor {
namespace {

enum class Engine { SystemComponent, Fallback };

using Matches = std::optional<std::vector<RegexMatch>>;

// Every case runs through the matcher, on the system component, and through our own engine, which
// the matcher takes where VBScript is not installed.
class RegexMatcherTest : public ::testing::TestWithParam<Engine> {
 protected:
  Matches Run(std::string_view pattern, std::string_view subject,
              const RegexOptions& options = {}) {
    if (GetParam() == Engine::Fallback)
      return MakeFallbackRegex(pattern, options)->Execute(subject);
    // Otherwise the matcher would quietly test the fallback a second time.
    const ComScope com;
    EXPECT_TRUE(Dispatch::Create(L"VBScript.RegExp")) << "the system component is not installed";
    return RegexMatcher().Matches(pattern, subject, options);
  }

  static size_t Count(const Matches& matches) { return matches ? matches->size() : 0; }
};

INSTANTIATE_TEST_SUITE_P(Engines, RegexMatcherTest,
                         ::testing::Values(Engine::SystemComponent, Engine::Fallback));

TEST_P(RegexMatcherTest, CountsChineseIdeographsInAPath) {
  const Matches matches = Run("[\\u4e00-\\u9fa5]", "D:\\服务器");
  ASSERT_TRUE(matches);
  ASSERT_EQ(matches->size(), 3u);
  EXPECT_EQ((*matches)[1].whole.text, "务");
  EXPECT_EQ((*matches)[1].whole.position, 6u);

  EXPECT_EQ(Count(Run("[\\u4e00-\\u9fa5]", "D:\\Server")), 0u);
  EXPECT_EQ(Count(Run("[\\u4e00-\\u9fa5]", "D:\\A & B\\Café！")), 0u);
}

TEST_P(RegexMatcherTest, QuotesInThePatternAreLiteral) {
  const Matches quoted = Run("\"a\"", "x\"a\"y");
  ASSERT_EQ(Count(quoted), 1u);
  EXPECT_EQ((*quoted)[0].whole.text, "\"a\"");
  EXPECT_EQ(Count(Run("#引号a#引号", "#引号a#引号")), 1u);
}

TEST_P(RegexMatcherTest, InvalidPatternGivesNoMatches) {
  ASSERT_TRUE(Run("a", "aaa"));
  EXPECT_FALSE(Run("([a-", "abc"));
}

TEST_P(RegexMatcherTest, OptionsAndGroups) {
  const Matches ports = Run("port=(\\d+)", "PORT=8211\nport=8212");
  ASSERT_EQ(Count(ports), 2u);
  ASSERT_EQ((*ports)[0].groups.size(), 1u);
  ASSERT_EQ((*ports)[1].groups.size(), 1u);
  EXPECT_EQ((*ports)[1].groups[0].text, "8212");
  EXPECT_EQ((*ports)[1].groups[0].position, 15u);

  EXPECT_EQ(Count(Run("port=(\\d+)", "PORT=8211\nport=8212", {.caseSensitive = true})), 1u);
  EXPECT_EQ(Count(Run("^port", "port\nport", {.multiLine = false})), 1u);
  const Matches first = Run("port", "port\nport", {.global = false});
  ASSERT_EQ(Count(first), 1u);
  EXPECT_EQ((*first)[0].whole.position, 0u);
}

}  // namespace
}  // namespace tidemoor
