#include "server/server_control_win.h"

#include <windows.h>

#include "app/main_window_win.h"
#include "app/program_state.h"
#include "install/update_win.h"
#include "platform/date_time_win.h"
#include "platform/message_box_win.h"
#include "platform/pumping_wait_win.h"
#include "platform/random_win.h"
#include "server/server_controller.h"
#include "server/server_processes_win.h"

namespace tidemoor {
namespace {

class SystemClock : public ServerClock {
 public:
  int64_t MonotonicMilliseconds() override { return static_cast<int64_t>(::GetTickCount64()); }
  std::string LocalDateTimeText() override { return tidemoor::LocalDateTimeText(); }
  void PumpingWait(int seconds) override { tidemoor::PumpingWait(seconds, WaitUnit::Seconds); }
};

class MainWindowMessages : public UserMessages {
 public:
  bool Confirm(const std::string& text, const std::string& title) override {
    return ShowMessage(TheMainWindow().Handle(), text, title,
                       MB_YESNO | MB_ICONWARNING | MB_TASKMODAL) == IDYES;
  }
  void ShowError(const std::string& text, const std::string& title) override {
    ShowMessage(TheMainWindow().Handle(), text, title, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
};

class ToolStartSteps : public StartSteps {
 public:
  void SaveSettings() override { SaveToolSettingsNow(); }
  void RunAutoUpdate() override { tidemoor::RunAutoUpdate(); }
  uint32_t RandomInRange(uint32_t min, uint32_t max) override {
    return tidemoor::RandomInRange(min, max);
  }
};

ServerController& Controller() {
  static WindowsServerProcesses processes;
  static SystemClock clock;
  static MainWindowMessages messages;
  static ToolStartSteps steps;
  static ServerController controller({TheMainWindow(), processes, clock, messages, steps},
                                     Program());
  return controller;
}

}  // namespace

void ToggleServer() {
  Controller().Toggle();
}
bool StopServer() {
  return Controller().Stop();
}
void OnMonitorTick() {
  Controller().OnMonitorTick();
}
void SetServerConsoleHidden(bool hidden) {
  Controller().SetConsoleHidden(hidden);
}
void AdoptServerLeftRunning() {
  Controller().AdoptServerLeftRunning();
}

}  // namespace tidemoor
