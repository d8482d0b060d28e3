#pragma once
// The main window's controls with their captions and places at 96 DPI, each with what it does when
// the user uses it: the row that makes a control also binds its handler.

#include <span>
#include <string>

#include "app/main_controls.h"
#include "platform/control_table.h"

namespace tidemoor {

// The blanks in the captions of the interval restart and automatic backup check boxes; the edit
// box with the minutes sits in them, over the box.
inline constexpr char kMinuteBlanks[] = "　　　　";

inline constexpr int kMainWindowWidth = 688;
inline constexpr int kMainWindowHeight = 666;

// What the main window's controls do beyond showing a setting (every control that shows one hands
// its new value into the settings first). The app carries them out.
class MainActions {
 public:
  virtual ~MainActions() = default;
  virtual void StartOrStopServer() = 0;
  virtual void ApplyConsoleHidden() = 0;
  virtual void ChangeLogonEntry() = 0;
  virtual void ChangeUpdateCheckPeriod() = 0;
  virtual void OpenBackupManager() = 0;
  virtual void OpenWorldSettings() = 0;
  virtual void RevealWorldSettingsFile() = 0;
  virtual void RevealServerFolder() = 0;
  virtual void CopyConnectAddress() = 0;
  virtual void UpdateServerByHand() = 0;
  virtual void OpenShopPage() = 0;
  virtual void ShowEventLog() = 0;
  virtual void OpenPlayers() = 0;
  virtual void OpenConnectionDoctor() = 0;
  virtual void OpenAlerts() = 0;
  virtual void OpenFirstStartGuide() = 0;
  virtual void OpenMods() = 0;
  virtual void OpenMetrics() = 0;
  virtual void OpenRemote() = 0;
};

using MainAction = void (MainActions::*)();

// A control and what using it does: a button or check box clicked, a label pressed (on mouse button
// down; right-button for the second action), an edit box's text changed.
struct MainControlRow {
  ControlDefinition control;
  MainAction act = nullptr;
  MainAction actOnRightPress = nullptr;
};

std::span<const MainControlRow> MainWindowRows();
// The rows' controls, in the same order.
std::span<const ControlDefinition> MainWindowLayout();

}  // namespace tidemoor
