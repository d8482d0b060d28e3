// The fair yardstick for Tidemoor's start-up and idle memory: a window with the main window's
// controls and nothing else. The controls come from the same layout table and are made the same
// way (the same classes, font and DPI handling, the same window class and size), and the program
// carries the same manifest and is built with the same flags; it reads no settings and wires no
// tool. startup_win_bench.exe starts it.

#include <windows.h>

#include "app/main_layout.h"
#include "platform/window_win.h"

namespace {

using tidemoor::BaseWindow;

class ControlsWindow : public BaseWindow<ControlsWindow> {
 public:
  bool Create() {
    return CreateBaseWindow(L"TidemoorControlsOnly", L"Tidemoor",
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                            tidemoor::kMainWindowWidth, tidemoor::kMainWindowHeight,
                            nullptr) != nullptr;
  }
  void Show() {
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
  }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_CREATE:
        tidemoor::SizeWindowForDpi(window_, tidemoor::kMainWindowWidth,
                                   tidemoor::kMainWindowHeight);
        tidemoor::CreateControlsForDpi(window_, tidemoor::MainWindowLayout(),
                                       tidemoor::WindowDpi(window_), font_);
        return 0;
      case WM_DPICHANGED:
        tidemoor::PlaceControlsForDpi(window_, tidemoor::MainWindowLayout(),
                                      tidemoor::FollowDpiChange(window_, wParam, lParam), font_);
        return 0;
      case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return DefaultHandling(message, wParam, lParam);
  }

 private:
  tidemoor::UniqueGdiObject font_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tidemoor::InitCommonControlClasses();
  ControlsWindow window;
  if (!window.Create()) return 1;
  window.Show();
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    const HWND active = ::GetActiveWindow();
    if (active && ::IsDialogMessageW(active, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return 0;
}
