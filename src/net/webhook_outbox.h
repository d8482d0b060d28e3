#pragma once
// The alerts waiting for one webhook address and when each may go: one at a time, three tries
// with growing pauses between them, and never more than the chat apps take (20 a minute per
// robot; beyond that they refuse and may mute the robot for a while). Times are milliseconds on
// a clock that only moves forward.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "net/webhook_message.h"

namespace tidemoor {

inline constexpr int64_t kWebhookSendLimitMs = 10'000;
inline constexpr int kWebhookTries = 3;
inline constexpr int kWebhookSendsPerMinute = 20;
// A receiver that is down for hours must not hold the tool's memory: later alerts are dropped.
inline constexpr size_t kWebhookQueueLimit = 100;

// The pause after the given number of failed tries before the next one.
int64_t WebhookRetryPause(int failedTries);

struct OutboxStep {
  enum Kind { Idle, Send, Wait } kind = Idle;
  int64_t waitMs = 0;  // for Wait
};

// What the event log hears after a send ended: a failure only the first time in a row, so a
// receiver that is down does not fill the log, and the first success after it.
enum class OutboxReport { Nothing, Failed, Recovered };

class WebhookOutbox {
 public:
  // False when the queue is full and the alert is dropped.
  bool Add(WebhookAlert alert);

  // What to do now: nothing is waiting, send the first alert, or look again after a pause.
  OutboxStep Next(int64_t now) const;
  const WebhookAlert& First() const { return queue_.front().alert; }

  // The first alert is on its way; every try counts against the rate limit.
  void Started(int64_t now);
  // The try ended. A delivered alert, or one that failed its last try, leaves the queue.
  OutboxReport Finished(bool delivered, int64_t now);

  size_t Waiting() const { return queue_.size(); }

 private:
  struct Entry {
    WebhookAlert alert;
    int failedTries = 0;
    int64_t notBefore = 0;
  };
  std::deque<Entry> queue_;
  std::deque<int64_t> starts_;  // the tries started within the last minute, oldest first
  bool failing_ = false;        // the last alert that left the queue was not delivered
};

}  // namespace tidemoor
