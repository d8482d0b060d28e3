#pragma once
// What the host chose to hear about on their phone, and where it goes: up to three webhook
// addresses, each with an optional signing secret, and the kinds of event that are sent.

#include <array>
#include <string>
#include <string_view>

namespace tidemoor {

// The kinds of event a host can be told about, in the order the alerts window lists them.
enum class AlertEvent { Crash, CrashLoop, Hang, Restart, Update, Backup, Players, Start };

inline constexpr int kAlertEventCount = 8;
inline constexpr int kWebhookAddressCount = 3;

// The key of a kind in the Notify_Events list ("crash", "crashloop"…).
std::string_view AlertEventKey(AlertEvent event);

// Every kind but players' comings and goings, which would flood a busy server's chat.
inline constexpr char kDefaultNotifyEvents[] = "crash,crashloop,hang,restart,update,backup,start";

// Whether the comma list names the kind; blanks around a key and unknown keys are ignored.
bool AlertEventChosen(std::string_view notifyEvents, AlertEvent event);

// The list naming exactly the ticked kinds, in the window's order.
std::string NotifyEventsText(const std::array<bool, kAlertEventCount>& ticked);

struct WebhookAddress {
  std::string url;
  std::string secret;  // empty: the messages go unsigned

  bool operator==(const WebhookAddress&) const = default;
};

struct AlertSettings {
  std::array<WebhookAddress, kWebhookAddressCount> addresses;
  std::string notifyEvents = kDefaultNotifyEvents;  // as kept in the file

  bool operator==(const AlertSettings&) const = default;
};

}  // namespace tidemoor
