#pragma once
// The window 消息通知: up to three webhook addresses with their signing secrets, a test button
// for each, and the kinds of event the host wants on their phone. What is typed reaches the
// settings as it is typed; the file is written as the window closes.

#include <windows.h>

#include <functional>
#include <optional>

#include "net/alert_settings.h"
#include "net/webhook_message.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

inline constexpr char kAlertsWindowTitle[] = "消息通知";

// Child-window ids, so the end-to-end driver finds them. Each address is a run of four controls:
// address, secret, test button, result, in that order from AddressEdit1 on.
enum class AlertsControl : int {
  AddressLabel1 = 701,
  AddressLabel2,
  AddressLabel3,
  SecretLabel1,
  SecretLabel2,
  SecretLabel3,
  AddressEdit1 = 711,
  SecretEdit1,
  TestButton1,
  TestResult1,
  AddressEdit2,
  SecretEdit2,
  TestButton2,
  TestResult2,
  AddressEdit3,
  SecretEdit3,
  TestButton3,
  TestResult3,
  EventsGroup = 731,
  CrashBox,  // one box per AlertEvent, in its order
  CrashLoopBox,
  HangBox,
  RestartBox,
  UpdateBox,
  BackupBox,
  PlayersBox,
  StartBox,
  FormatHint,
};

struct AlertsWindowSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  std::function<AlertSettings()> current;
  std::function<void(const AlertSettings&)> changed;  // at every edit and tick
  std::function<void()> closed;                       // the settings are final for now
  std::function<WebhookAlert()> testAlert;            // what a test button sends
};

class AlertsWindow : public ToolWindow<AlertsWindow> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorAlerts", kAlertsWindowTitle, 600, 400};

  // Opens the window, or brings it forward when it is open already. The setup given at the first
  // opening serves every later one.
  HWND Open(AlertsWindowSetup setup);

 private:
  friend class ToolWindow<AlertsWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Fill(const AlertSettings& settings);
  AlertSettings Read() const;
  void SendTest(int slot);

  AlertsWindowSetup setup_;
  UniqueGdiObject font_;
  bool filling_ = false;
  // The test messages' requests; their answers are dropped once the window object is gone.
  std::optional<Worker> tests_;
};

}  // namespace tidemoor
