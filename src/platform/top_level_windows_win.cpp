#include "platform/top_level_windows_win.h"

#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

WindowEntry DescribeWindow(HWND window) {
  WindowEntry entry;
  entry.Window = window;
  DWORD processId = 0;
  entry.ThreadId = ::GetWindowThreadProcessId(window, &processId);
  entry.ProcessId = processId;
  entry.Title = WindowText(window);
  wchar_t className[261] = {};
  ::GetClassNameW(window, className, 260);
  entry.ClassName = Narrow(className);
  return entry;
}

BOOL CALLBACK AppendWindow(HWND window, LPARAM list) {
  // No exception may cross back into EnumWindows: a list cut short by a full memory is the
  // best that can be had then.
  try {
    reinterpret_cast<std::vector<WindowEntry>*>(list)->push_back(DescribeWindow(window));
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

// Every process that has windows also gets hidden input-method windows, which may come first in
// Z order and own nothing; hiding one of them instead of the console would do nothing visible.
bool IsInputMethodWindow(const WindowEntry& entry) {
  return entry.ClassName == "IME" || entry.ClassName == "MSCTFIME UI";
}

}  // namespace

std::vector<WindowEntry> ListTopLevelWindows() {
  std::vector<WindowEntry> windows;
  ::EnumWindows(&AppendWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FindProcessWindow(uint32_t processId) {
  for (const WindowEntry& entry : ListTopLevelWindows()) {
    if (entry.ProcessId == processId && !IsInputMethodWindow(entry)) {
      return ::GetAncestor(entry.Window, GA_ROOTOWNER);
    }
  }
  return nullptr;
}

}  // namespace tidemoor
