#include "app/server_bindings_win.h"

#include "platform/date_time_win.h"
#include "platform/random_win.h"

namespace tidemoor {

void MainWindowServerView::ShowServerState(ServerState state) {
  window_.SetText(MainControl::StartButton, StartButtonCaption(state));
  changed_(state);
}

void MainWindowServerView::ShowStatusLine(std::string_view text) {
  window_.SetText(MainControl::StatusLine, text);
}

void MainWindowServerView::SetMonitorPeriod(unsigned milliseconds) {
  window_.SetTimerInterval(MainControl::MonitorTimer, milliseconds);
}

void MainWindowServerView::SetAutoBackupPeriod(unsigned milliseconds) {
  window_.SetTimerInterval(MainControl::AutoBackupTimer, milliseconds);
}

int64_t ToolClock::MonotonicMilliseconds() {
  return static_cast<int64_t>(::GetTickCount64());
}

int64_t ToolClock::AwakeMilliseconds() {
  ULONGLONG hundredNanoseconds = 0;
  ::QueryUnbiasedInterruptTime(&hundredNanoseconds);
  return static_cast<int64_t>(hundredNanoseconds / 10'000);
}

std::string ToolClock::LocalDateTimeText() {
  return tidemoor::LocalDateTimeText();
}

uint32_t ToolStartSteps::RandomInRange(uint32_t min, uint32_t max) {
  return tidemoor::RandomInRange(min, max);
}

}  // namespace tidemoor
