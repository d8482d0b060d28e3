#pragma once
// The main window: every control of the layout. It shows what it is told (the settings value
// among it), hands what the user changes into the settings value, and runs the action each
// control's row binds.

#include <windows.h>

#include <string>

#include "app/main_controls.h"
#include "app/main_layout.h"
#include "app/tool_settings.h"
#include "platform/prompt.h"
#include "platform/window_win.h"

namespace tidemoor {

// The main window's class: a second tool finds the first one's window by it.
inline constexpr wchar_t kMainWindowClass[] = L"TidemoorMainWindow";

// What the main window reports beyond its controls' actions: the window on screen, the user about
// to act on a control, a tick of one of the server's timers, the user asking to close it, and the
// window going away.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  // The window has shown itself and the message loop runs (asked for by FinishShowingLater).
  virtual void OnShown() = 0;
  // A button, check box or label is about to act: whatever start-up still has to do comes first.
  virtual void BeforeAction() = 0;
  virtual void OnTimer(MainControl timer) = 0;
  // The user asked to close the window (its close box, Alt+F4); false keeps it open.
  virtual bool OnCloseRequested() = 0;
  // The window is being destroyed; its controls still hold their values.
  virtual void OnClosing() = 0;
  // The PC has woken from sleep or hibernation (possibly told twice for one wake).
  virtual void OnResumedFromSleep() = 0;
};

class MainWindow : public BaseWindow<MainWindow>, public MainControls {
 public:
  // settings: the value the controls show and change. errors: where an unexpected failure of a
  // handler is told.
  MainWindow(MainWindowEvents& events, MainActions& actions, ToolSettings& settings, Prompt& errors)
      : events_(events), actions_(actions), settings_(settings) {
    errorPrompt_ = &errors;
  }

  // Creates the window with every control, not shown yet; false when it could not be created.
  bool Create();
  // Minimised: shown on the taskbar only, taking the focus from nobody.
  void Show(bool minimised);
  // Reports OnShown from the message loop, before any input that is waiting.
  void FinishShowingLater();

  std::string Text(MainControl control) const override;
  void SetText(MainControl control, std::string_view text) override;
  bool IsTicked(MainControl control) const override;
  void SetTicked(MainControl control, bool ticked) override;
  void ShowProgress(MainControl bar, std::optional<int> percent) override;
  void SetTimerInterval(MainControl timer, unsigned milliseconds) override;
  void SetTitle(std::string_view title) override;

  using BaseWindow::Control;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnCommand(MainControl control, WORD code);
  void OnDpiChanged(UINT dpi);
  void CreateControls(UINT dpi);
  void FitMinutesIntoCaptions();

  MainWindowEvents& events_;
  MainActions& actions_;
  ToolSettings& settings_;
  UniqueGdiObject font_;
};

// Moves the edit box across into the blanks (kMinuteBlanks) of the check box's caption as the box
// draws it, a pixel inside them; its height and vertical place stay. An edit box whose blanks
// cannot be measured keeps its place.
void FitEditIntoCaptionBlanks(HWND box, HWND edit);

}  // namespace tidemoor
