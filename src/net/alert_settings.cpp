#include "net/alert_settings.h"

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::array<std::string_view, kAlertEventCount> kEventKeys = {
    "crash", "crashloop", "hang", "restart", "update", "backup", "players", "start"};

}  // namespace

std::string_view AlertEventKey(AlertEvent event) {
  return kEventKeys[static_cast<size_t>(event)];
}

bool AlertEventChosen(std::string_view notifyEvents, AlertEvent event) {
  const std::string_view wanted = AlertEventKey(event);
  while (true) {
    const size_t comma = notifyEvents.find(',');
    if (TrimBlanks(notifyEvents.substr(0, comma)) == wanted) return true;
    if (comma == std::string_view::npos) return false;
    notifyEvents.remove_prefix(comma + 1);
  }
}

std::string NotifyEventsText(const std::array<bool, kAlertEventCount>& ticked) {
  std::string text;
  for (size_t i = 0; i < ticked.size(); ++i) {
    if (!ticked[i]) continue;
    if (!text.empty()) text += ',';
    text += kEventKeys[i];
  }
  return text;
}

}  // namespace tidemoor
