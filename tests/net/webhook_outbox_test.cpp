#include "net/webhook_outbox.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

WebhookAlert Alert(const std::string& text) {
  return {"crash", text, "t", "s"};
}

// Each row: at `now` the outbox is asked what to do; when it says send, the first alert is sent
// and ends as `delivered`.
struct Step {
  int64_t now;
  OutboxStep::Kind expected;
  int64_t wait = 0;
  const char* sending = "";
  bool delivered = false;
  OutboxReport report = OutboxReport::Nothing;
};

void Play(WebhookOutbox& outbox, const std::vector<Step>& steps) {
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    const OutboxStep next = outbox.Next(step.now);
    ASSERT_EQ(next.kind, step.expected) << "step " << i;
    if (next.kind == OutboxStep::Wait) {
      EXPECT_EQ(next.waitMs, step.wait) << "step " << i;
    }
    if (next.kind != OutboxStep::Send) continue;
    EXPECT_EQ(outbox.First().text, step.sending) << "step " << i;
    outbox.Started(step.now);
    EXPECT_EQ(outbox.Finished(step.delivered, step.now + 10), step.report) << "step " << i;
  }
}

// Three tries with growing pauses; a failed alert is told once, and nothing more until one
// gets through, which is told too.
TEST(WebhookOutbox, RetriesThreeTimesAndTellsAFailureOnceUntilOneGetsThrough) {
  using K = OutboxStep::Kind;
  WebhookOutbox outbox;
  EXPECT_EQ(outbox.Next(0).kind, K::Idle);
  outbox.Add(Alert("a"));
  outbox.Add(Alert("b"));
  outbox.Add(Alert("c"));
  outbox.Add(Alert("d"));
  Play(outbox, {
                   {0, K::Send, 0, "a", false},
                   {10, K::Wait, 5'000},
                   {5'010, K::Send, 0, "a", false},
                   {5'020, K::Wait, 30'000},
                   {35'019, K::Wait, 1},
                   {35'020, K::Send, 0, "a", false, OutboxReport::Failed},
                   {35'030, K::Send, 0, "b", false},
                   {40'040, K::Send, 0, "b", false},
                   {70'050, K::Send, 0, "b", false, OutboxReport::Nothing},
                   {70'060, K::Send, 0, "c", false},
                   {75'070, K::Send, 0, "c", true, OutboxReport::Recovered},
                   {75'080, K::Send, 0, "d", true, OutboxReport::Nothing},
                   {75'090, K::Idle},
               });
}

// At most 20 tries in any minute, retries included; the 21st waits until the oldest is a minute
// old.
TEST(WebhookOutbox, NeverMoreThanTwentyTriesInAMinute) {
  using K = OutboxStep::Kind;
  WebhookOutbox outbox;
  for (int i = 0; i < 30; ++i) outbox.Add(Alert("x"));
  std::vector<Step> steps;
  steps.push_back({0, K::Send, 0, "x", false});  // its retry counts too
  for (int i = 0; i < 19; ++i) steps.push_back({5'010 + i, K::Send, 0, "x", true});
  steps.push_back({5'029, K::Wait, 54'971});
  steps.push_back({59'999, K::Wait, 1});
  steps.push_back({60'000, K::Send, 0, "x", true});
  steps.push_back({60'001, K::Wait, 5'009});
  steps.push_back({65'010, K::Send, 0, "x", true});
  Play(outbox, steps);
  EXPECT_EQ(outbox.Waiting(), 30u - 21u);
}

TEST(WebhookOutbox, AFullQueueDropsLaterAlerts) {
  WebhookOutbox outbox;
  for (size_t i = 0; i < kWebhookQueueLimit; ++i) EXPECT_TRUE(outbox.Add(Alert("x")));
  EXPECT_FALSE(outbox.Add(Alert("y")));
  EXPECT_EQ(outbox.Waiting(), kWebhookQueueLimit);
}

}  // namespace
}  // namespace tidemoor
