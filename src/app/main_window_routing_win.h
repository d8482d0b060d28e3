#pragma once
// Where the main window's events go: each click, label, timer tick and edit to the part of the
// tool that handles it, and the window's close to the backup operations that may hold it open.

#include "app/main_window_win.h"

namespace tidemoor {

class Application;

class MainWindowRouting : public MainWindowEvents {
 public:
  explicit MainWindowRouting(Application& tool) : tool_(tool) {}

  void OnShown() override;
  void OnClicked(MainControl control) override;
  void OnEdited(MainControl edit) override;
  void OnLabelPressed(MainControl label, bool rightButton) override;
  void OnTimer(MainControl timer) override;
  bool OnCloseRequested() override;
  void OnClosing() override;
  void OnResumedFromSleep() override;

 private:
  void OnAutoBackupTick();

  Application& tool_;
};

}  // namespace tidemoor
