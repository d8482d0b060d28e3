#include "server/memory_guard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tidemoor {
namespace {

constexpr uint64_t kGb = 1024ull * 1024 * 1024;
constexpr uint64_t kMb = 1024ull * 1024;

TEST(MemoryLimit, TakesPositiveGbWithDecimalsAndEverythingElseAsOff) {
  const struct {
    const char* typed;
    std::optional<uint64_t> bytes;
  } cases[] = {
      {"8", 8 * kGb},
      {" 9.5 ", 9 * kGb + kGb / 2},
      {"０.５", kGb / 2},  // typed with the IME's full-width digits
      {"0.01", 10737418},
      {"0", std::nullopt},
      {"", std::nullopt},
      {"0.0", std::nullopt},
      {"-4", std::nullopt},
      {"8GB", std::nullopt},
      {"abc", std::nullopt},
      {"1e400", std::nullopt},
      {"nan", std::nullopt},
      {"0.0000000001", std::nullopt},  // rounds to no byte at all
      {"1048576", 1048576 * kGb},
      {"1048577", std::nullopt},  // more than any PC holds
  };
  for (const auto& c : cases) EXPECT_EQ(MemoryLimitBytes(c.typed), c.bytes) << c.typed;
}

TEST(MemoryText, GbWithOneDecimalAndMbBelowOneGb) {
  const struct {
    uint64_t bytes;
    const char* text;
  } cases[] = {
      {9 * kGb + 4 * kGb / 10, "9.4 GB"},
      {kGb, "1.0 GB"},
      {kGb - 1, "1024 MB"},
      {512 * kMb, "512 MB"},
      {0, "0 MB"},
      {16 * kGb - 1, "16.0 GB"},
      {kGb + kGb / 16, "1.1 GB"},
      {31 * kGb, "31.0 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(MemoryText(c.bytes), c.text) << c.bytes;
  EXPECT_EQ(MemoryRestartNotice(5), "服务器内存占用过高，将在 5 分钟后重启");
}

// One check a minute: whether the working set was over the limit, who was online (-1: the
// server did not say), and what the guard does.
struct Check {
  bool over;
  int players;
  const char* does;  // "", "notice 5", "notice 1", "restart"
};

std::string Did(const MemoryStep& step) {
  switch (step.action) {
    case MemoryStep::Action::None:
      return "";
    case MemoryStep::Action::Notice:
      return "notice " + std::to_string(step.minutes);
    case MemoryStep::Action::Restart:
      return "restart";
  }
  return "?";
}

TEST(MemoryGuard, ThreeChecksInARowThenRestartAtOnceOrAfterFiveAndOneMinuteNotices) {
  const struct {
    const char* name;
    std::vector<Check> checks;
  } cases[] = {
      {"nobody online: at once", {{true, 0, ""}, {true, 0, ""}, {true, 0, "restart"}}},
      {"a check below starts the count over",
       {{true, 0, ""},
        {true, 0, ""},
        {false, 0, ""},
        {true, 0, ""},
        {true, 0, ""},
        {true, 0, "restart"}}},
      {"players: notices at 5 and 1 minutes, then the restart",
       {{true, 2, ""},
        {true, 2, ""},
        {true, 2, "notice 5"},
        {true, 2, ""},
        {true, 2, ""},
        {true, 2, ""},
        {true, 2, "notice 1"},
        {true, 2, "restart"}}},
      {"announced stays announced when the memory drops",
       {{true, 1, ""},
        {true, 1, ""},
        {true, 1, "notice 5"},
        {false, 1, ""},
        {false, 1, ""},
        {false, 1, ""},
        {false, 1, "notice 1"},
        {false, 1, "restart"}}},
      {"the last player leaves during the countdown",
       {{true, 3, ""}, {true, 3, ""}, {true, 3, "notice 5"}, {true, 1, ""}, {true, 0, "restart"}}},
      {"unknown players count as someone there",
       {{true, -1, ""}, {true, -1, ""}, {true, -1, "notice 5"}, {true, -1, ""}}},
      {"a restart that could not begin stays due",
       {{true, 0, ""}, {true, 0, ""}, {true, 0, "restart"}, {false, 0, "restart"}}},
      {"never over", {{false, 0, ""}, {false, 0, ""}, {false, 0, ""}, {false, 0, ""}}},
  };
  for (const auto& c : cases) {
    MemoryGuard guard;
    for (size_t i = 0; i < c.checks.size(); ++i) {
      const Check& check = c.checks[i];
      const std::optional<int> players =
          check.players < 0 ? std::nullopt : std::optional<int>(check.players);
      EXPECT_EQ(Did(guard.Check(check.over, players)), check.does) << c.name << ", check " << i;
    }
  }
}

TEST(MemoryGuard, ResetForgetsTheCountAndTheAnnouncedRestart) {
  MemoryGuard guard;
  for (int i = 0; i < 3; ++i) guard.Check(true, 2);
  EXPECT_TRUE(guard.NeedsPlayers(false));
  guard.Reset();
  EXPECT_FALSE(guard.NeedsPlayers(true));
  EXPECT_EQ(Did(guard.Check(true, 0)), "");
  EXPECT_EQ(Did(guard.Check(true, 0)), "");
  EXPECT_TRUE(guard.NeedsPlayers(true));
  EXPECT_EQ(Did(guard.Check(true, 0)), "restart");
}

}  // namespace
}  // namespace tidemoor
