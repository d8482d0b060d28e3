// Tidemoor.exe: everything is wired in the Application. At start-up a server left running by an
// earlier run is taken over; otherwise the server starts only when the user asked for that at
// every tool start. Closing the window leaves a running server alone. One tool runs per tool
// directory.

#include <windows.h>

#include "app/application_win.h"
#include "app/single_tool_win.h"
#include "app/start_with_windows_win.h"
#include "net/firewall_win.h"
#include "platform/prompt_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // A DLL planted beside the executable (a downloads folder, a shared tool folder) must never be
  // loaded in its place, least of all elevated: every library we load on first use comes from
  // System32.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Started again elevated to change the firewall: that one job, touching nothing else.
  if (const std::optional<unsigned long> fixed = tidemoor::RunFirewallFixIfAsked()) {
    return static_cast<int>(*fixed);
  }
  // Before anything touches the tool directory: a second tool on it reads and writes nothing,
  // it only shows the first.
  const bool atLogon = tidemoor::StartedAtLogon();
  const std::optional<tidemoor::UniqueHandle> claim = tidemoor::ClaimToolDirectory();
  if (!claim) {
    // At sign-in nobody asked to see the tool that already runs.
    if (atLogon) return 0;
    tidemoor::WindowsPrompt prompt;
    tidemoor::BringHoldingToolForward(prompt);
    return 0;
  }
  tidemoor::Application application(atLogon);
  return application.Run();
}
