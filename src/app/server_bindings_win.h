#pragma once
// The server controller's view of the rest of the tool: the main window's controls as its view,
// the clock with its pauses, and the steps of a start that other areas take.

#include <functional>

#include "app/main_window_win.h"
#include "platform/delay_win.h"
#include "server/server_world.h"

namespace tidemoor {

class MainWindowServerView : public ServerView {
 public:
  // changed hears every state the server enters, after the window shows it.
  MainWindowServerView(MainWindow& window, std::function<void(ServerState)> changed)
      : window_(window), changed_(std::move(changed)) {}
  void ShowServerState(ServerState state) override;
  void ShowStatusLine(std::string_view text) override;
  void SetMonitorPeriod(unsigned milliseconds) override;
  void SetAutoBackupPeriod(unsigned milliseconds) override;

 private:
  MainWindow& window_;
  std::function<void(ServerState)> changed_;
};

class ToolClock : public ServerClock {
 public:
  int64_t MonotonicMilliseconds() override;
  int64_t AwakeMilliseconds() override;
  std::string LocalDateTimeText() override;
  void After(std::chrono::milliseconds wait, std::function<void()> then) override {
    pause_.After(wait, std::move(then));
  }

 private:
  Delay pause_;
};

class ToolStartSteps : public StartSteps {
 public:
  using Then = std::function<void()>;
  using GoOn = std::function<void(bool goOn)>;
  ToolStartSteps(std::function<void(Then)> runAutoUpdate,
                 std::function<void(const StartWorldSettings&)> writeWorldSettings,
                 std::function<void(GoOn)> confirmLoadedWorld)
      : runAutoUpdate_(std::move(runAutoUpdate)),
        writeWorldSettings_(std::move(writeWorldSettings)),
        confirmLoadedWorld_(std::move(confirmLoadedWorld)) {}
  void RunAutoUpdate(Then done) override { runAutoUpdate_(std::move(done)); }
  uint32_t RandomInRange(uint32_t min, uint32_t max) override;
  void WriteWorldSettings(const StartWorldSettings& wanted) override {
    writeWorldSettings_(wanted);
  }
  void ConfirmLoadedWorld(GoOn done) override { confirmLoadedWorld_(std::move(done)); }

 private:
  std::function<void(Then)> runAutoUpdate_;
  std::function<void(const StartWorldSettings&)> writeWorldSettings_;
  std::function<void(GoOn)> confirmLoadedWorld_;
};

}  // namespace tidemoor
