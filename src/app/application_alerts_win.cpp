// The alerts to the host's phone: the server's and the backups' events turned into webhook
// messages, and the window where the addresses are kept.

#include <optional>
#include <utility>

#include "app/application_win.h"
#include "platform/profile_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

std::optional<AlertEvent> AlertOfServerEvent(ServerEvent event, bool& startAlerted) {
  switch (event) {
    case ServerEvent::Crashed:
      return AlertEvent::Crash;
    case ServerEvent::CrashLoopStopped:
      return AlertEvent::CrashLoop;
    case ServerEvent::Hung:
      return AlertEvent::Hang;
    case ServerEvent::IntervalRestart:
      return AlertEvent::Restart;
    case ServerEvent::Started:
    case ServerEvent::Adopted:
      if (std::exchange(startAlerted, true)) return std::nullopt;
      return AlertEvent::Start;
  }
  return std::nullopt;
}

}  // namespace

void Application::WireAlerts() {
  alertSender_.emplace(*eventLog_);
  server_->SetEventListener([this](ServerEvent event, std::string_view text) {
    if (const std::optional<AlertEvent> alert = AlertOfServerEvent(event, startAlerted_)) {
      Alert(*alert, text);
    }
  });
  autoBackupRecord_.failureAlert = [this](std::string_view text) {
    Alert(AlertEvent::Backup, TrimBlanks(text, " \t\r\n"));
  };
  playerWatch_.SetListener(
      [this](const PlayerChange& change) { Alert(AlertEvent::Players, PlayerChangeText(change)); });
}

void Application::Alert(AlertEvent event, std::string_view text) {
  if (!AlertEventChosen(settings_.alerts.notifyEvents, event)) return;
  alertSender_->Send(settings_.alerts.addresses,
                     WebhookAlert{std::string(AlertEventKey(event)), std::string(text),
                                  clock_.LocalDateTimeText(), settings_.serverName});
}

void Application::OpenAlertsWindow() {
  alertsWindow_.Open(AlertsWindowSetup{
      mainWindow_.Handle(), &prompt_, [this] { return settings_.alerts; },
      [this](const AlertSettings& alerts) { settings_.alerts = alerts; },
      // Written at once: addresses typed in are not lost with a tool that does not close normally.
      [this] { SaveSettings(); },
      [this] {
        return WebhookAlert{"test", "测试消息: Tidemoor 消息通知已设置好",
                            clock_.LocalDateTimeText(), settings_.serverName};
      }});
}

}  // namespace tidemoor
