#pragma once
// The main window: every control of the layout, the live store of the launch options, and the
// table that binds control events to the operations of the subsystems.

#include <windows.h>

#include <map>
#include <string>

#include "app/main_controls.h"
#include "platform/window_win.h"

namespace tidemoor {

class MainWindow : public BaseWindow<MainWindow>, public MainControls {
 public:
  // Creates and shows the window; false when it could not be created.
  bool Open();

  std::string Text(MainControl control) const override;
  void SetText(MainControl control, std::string_view text) override;
  bool IsTicked(MainControl control) const override;
  void SetTicked(MainControl control, bool ticked) override;
  void SetTimerInterval(MainControl timer, unsigned milliseconds) override;
  void SetTitle(std::string_view title) override;

  HWND Control(MainControl control) const;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void OnCreated();
  void OnDestroyed();
  void OnCommand(MainControl control, WORD code);
  void OnTimer(MainControl timer);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void CreateControls(UINT dpi);
  void FitMinutesIntoCaptions();

  UniqueGdiObject font_;
};

MainWindow& TheMainWindow();

// Moves the edit box across into the blanks (kMinuteBlanks) of the check box's caption as the box
// draws it, a pixel inside them; its height and vertical place stay. An edit box whose blanks
// cannot be measured keeps its place.
void FitEditIntoCaptionBlanks(HWND box, HWND edit);

// Writes the main window's values to PaLWorld_Tools.ini (the start/stop button does this first).
void SaveToolSettingsNow();

}  // namespace tidemoor
