#pragma once
// Sends the alerts to the host's webhook addresses without holding anything up: each address has
// its queue and its worker thread, so a receiver that stalls delays only its own later alerts.
// The queues are drained on the user-interface thread's timers; the requests run on the workers.

#include <array>
#include <optional>

#include "net/alert_settings.h"
#include "net/webhook_message.h"
#include "net/webhook_outbox.h"
#include "platform/delay_win.h"
#include "platform/event_log.h"
#include "platform/worker_win.h"

namespace tidemoor {

// Sends one alert now and waits for the answer (at most about kWebhookSendLimitMs): for a worker
// thread. Signed with the current time.
WebhookResult DeliverWebhook(const WebhookAddress& address, const WebhookAlert& alert);

class WebhookSender {
 public:
  // Failures and recoveries go to the log, by the address's number, never its text.
  explicit WebhookSender(EventLog& log) : log_(log) {}
  WebhookSender(const WebhookSender&) = delete;
  WebhookSender& operator=(const WebhookSender&) = delete;

  // Queues the alert for every address that is filled in. A later alert for the same slot goes to
  // the address as it is then.
  void Send(const std::array<WebhookAddress, kWebhookAddressCount>& addresses,
            const WebhookAlert& alert);

  // Drops what waits; a request under way ends on its own thread.
  void Cancel();

 private:
  struct Lane {
    WebhookAddress address;
    WebhookOutbox outbox;
    std::optional<Worker> worker;
    Delay pause;
    bool sending = false;
  };

  void Pump(int slot);

  EventLog& log_;
  std::array<Lane, kWebhookAddressCount> lanes_;
};

}  // namespace tidemoor
