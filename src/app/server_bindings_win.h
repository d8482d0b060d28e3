#pragma once
// The server controller's view of the rest of the tool: the main window's controls as its view,
// the clock with its pumping wait, and the steps of a start that other areas take.

#include <functional>

#include "app/main_window_win.h"
#include "server/server_world.h"

namespace tidemoor {

class MainWindowServerView : public ServerView {
 public:
  explicit MainWindowServerView(MainWindow& window) : window_(window) {}
  void ShowServerState(ServerState state) override;
  void ShowStatusLine(std::string_view text) override;
  void SetMonitorPeriod(unsigned milliseconds) override;
  void SetAutoBackupPeriod(unsigned milliseconds) override;

 private:
  MainWindow& window_;
};

class ToolClock : public ServerClock {
 public:
  // closing tells whether the main window has begun to go away.
  explicit ToolClock(std::function<bool()> closing) : closing_(std::move(closing)) {}
  int64_t MonotonicMilliseconds() override;
  int64_t AwakeMilliseconds() override;
  std::string LocalDateTimeText() override;
  bool PumpingWait(int seconds) override;
  bool ToolClosing() override { return closing_(); }

 private:
  std::function<bool()> closing_;
};

class ToolStartSteps : public StartSteps {
 public:
  ToolStartSteps(std::function<void()> runAutoUpdate,
                 std::function<void(const StartWorldSettings&)> writeWorldSettings,
                 std::function<bool()> confirmLoadedWorld)
      : runAutoUpdate_(std::move(runAutoUpdate)),
        writeWorldSettings_(std::move(writeWorldSettings)),
        confirmLoadedWorld_(std::move(confirmLoadedWorld)) {}
  void RunAutoUpdate() override { runAutoUpdate_(); }
  uint32_t RandomInRange(uint32_t min, uint32_t max) override;
  void WriteWorldSettings(const StartWorldSettings& wanted) override {
    writeWorldSettings_(wanted);
  }
  bool ConfirmLoadedWorld() override { return confirmLoadedWorld_(); }

 private:
  std::function<void()> runAutoUpdate_;
  std::function<void(const StartWorldSettings&)> writeWorldSettings_;
  std::function<bool()> confirmLoadedWorld_;
};

}  // namespace tidemoor
