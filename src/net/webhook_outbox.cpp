#include "net/webhook_outbox.h"

#include <algorithm>

namespace tidemoor {
namespace {

constexpr int64_t kMinute = 60'000;

}  // namespace

int64_t WebhookRetryPause(int failedTries) {
  return failedTries <= 1 ? 5'000 : 30'000;
}

bool WebhookOutbox::Add(WebhookAlert alert) {
  if (queue_.size() >= kWebhookQueueLimit) return false;
  queue_.push_back({std::move(alert), 0, 0});
  return true;
}

OutboxStep WebhookOutbox::Next(int64_t now) const {
  if (queue_.empty()) return {};
  int64_t wait = queue_.front().notBefore - now;
  const auto recent = std::count_if(starts_.begin(), starts_.end(),
                                    [now](int64_t start) { return start > now - kMinute; });
  if (recent >= kWebhookSendsPerMinute) {
    // The try that leaves the window first is the 20th from the end.
    wait = std::max(wait, starts_[starts_.size() - kWebhookSendsPerMinute] + kMinute - now);
  }
  if (wait > 0) return {OutboxStep::Wait, wait};
  return {OutboxStep::Send, 0};
}

void WebhookOutbox::Started(int64_t now) {
  while (!starts_.empty() && starts_.front() <= now - kMinute) starts_.pop_front();
  starts_.push_back(now);
}

OutboxReport WebhookOutbox::Finished(bool delivered, int64_t now) {
  Entry& first = queue_.front();
  if (delivered) {
    queue_.pop_front();
    const bool recovered = failing_;
    failing_ = false;
    return recovered ? OutboxReport::Recovered : OutboxReport::Nothing;
  }
  if (++first.failedTries < kWebhookTries) {
    first.notBefore = now + WebhookRetryPause(first.failedTries);
    return OutboxReport::Nothing;
  }
  queue_.pop_front();
  const bool firstFailure = !failing_;
  failing_ = true;
  return firstFailure ? OutboxReport::Failed : OutboxReport::Nothing;
}

}  // namespace tidemoor
