#include "net/webhook_sender_win.h"

#include <windows.h>

#include <chrono>

#include "net/hmac_sha256_win.h"
#include "platform/http_client_win.h"

namespace tidemoor {
namespace {

constexpr size_t kLongestAnswer = 64 * 1024;

int64_t Now() {
  return static_cast<int64_t>(::GetTickCount64());
}

int64_t UnixMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string SlotName(int slot) {
  return "消息通知地址 " + std::to_string(slot + 1);
}

}  // namespace

WebhookResult DeliverWebhook(const WebhookAddress& address, const WebhookAlert& alert) {
  const WebhookRequest request =
      BuildWebhookRequest(address, alert, UnixMilliseconds(), &HmacSha256);
  HttpCall call;
  call.method = "POST";
  call.url = request.url;
  call.headers = "Content-Type: application/json; charset=utf-8\r\n";
  call.body = request.body;
  const std::chrono::milliseconds limit(kWebhookSendLimitMs);
  return JudgeWebhookAnswer(HttpRequest(call, HttpLimits{limit, limit, kLongestAnswer}));
}

void WebhookSender::Send(const std::array<WebhookAddress, kWebhookAddressCount>& addresses,
                         const WebhookAlert& alert) {
  for (int slot = 0; slot < kWebhookAddressCount; ++slot) {
    if (addresses[slot].url.empty()) continue;
    Lane& lane = lanes_[slot];
    lane.address = addresses[slot];
    if (!lane.outbox.Add(alert)) continue;
    Pump(slot);
  }
}

void WebhookSender::Cancel() {
  for (Lane& lane : lanes_) {
    lane.pause.Cancel();
    lane.worker.reset();
    lane.outbox = WebhookOutbox{};
    lane.sending = false;
  }
}

void WebhookSender::Pump(int slot) {
  Lane& lane = lanes_[slot];
  if (lane.sending) return;
  const OutboxStep step = lane.outbox.Next(Now());
  if (step.kind == OutboxStep::Idle) return;
  if (step.kind == OutboxStep::Wait) {
    lane.pause.After(std::chrono::milliseconds(step.waitMs), [this, slot] { Pump(slot); });
    return;
  }
  if (!lane.worker) lane.worker.emplace();
  lane.sending = true;
  lane.outbox.Started(Now());
  lane.worker->Run<WebhookResult>(
      [address = lane.address, alert = lane.outbox.First()] {
        return DeliverWebhook(address, alert);
      },
      [this, slot](WebhookResult result) {
        Lane& done = lanes_[slot];
        done.sending = false;
        switch (done.outbox.Finished(result.delivered, Now())) {
          case OutboxReport::Failed:
            log_.Record(SlotName(slot) + " 发送失败 (" + result.text +
                        "), 之后的失败不再记录, 直到发送成功");
            break;
          case OutboxReport::Recovered:
            log_.Record(SlotName(slot) + " 已恢复发送");
            break;
          case OutboxReport::Nothing:
            break;
        }
        Pump(slot);
      });
}

}  // namespace tidemoor
