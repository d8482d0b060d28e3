// Tidemoor.exe: opens the main window and runs the message loop until it is gone. Nothing runs
// the server at start-up; closing the window leaves a running server alone.

#include <windows.h>
#include <commctrl.h>

#include "app/main_window_win.h"
#include "platform/directories_win.h"
#include "platform/codepage_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Started from a shortcut, the task scheduler or a prompt elsewhere, the process's directory is
  // not the tool's; the automatic update script changes into PaLWorld_Data relative to it.
  std::wstring toolDirectory = tidemoor::Widen(tidemoor::ToolDirectory());
  if (!toolDirectory.empty() && toolDirectory.back() == L':') toolDirectory += L'\\';
  ::SetCurrentDirectoryW(toolDirectory.c_str());

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&controls);

  if (!tidemoor::TheMainWindow().Open()) return 1;

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab and the arrow keys move between the controls of whichever window is active.
    const HWND active = ::GetActiveWindow();
    if (active && ::IsDialogMessageW(active, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
