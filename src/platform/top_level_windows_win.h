#pragma once
// The desktop's top-level windows, to find the window of a process such as the server's console.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tidemoor {

struct WindowEntry {
  HWND Window = nullptr;
  uint32_t ProcessId = 0;
  uint32_t ThreadId = 0;
  std::string Title;      // empty for a window without text
  std::string ClassName;  // at most 260 characters
};

// Every top-level window, topmost in Z order first; built afresh at each call.
std::vector<WindowEntry> ListTopLevelWindows();

// The root owner of the process's topmost top-level window, input-method windows aside;
// nullptr when it has none.
HWND FindProcessWindow(uint32_t processId);

}  // namespace tidemoor
