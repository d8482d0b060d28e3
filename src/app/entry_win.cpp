// Tidemoor.exe: everything is wired in the Application. At start-up a server left running by an
// earlier run is taken over; otherwise the server starts only when the user asked for that at
// every tool start. Closing the window leaves a running server alone and ends the process at once.
// One tool runs per tool directory.

#include <windows.h>

#include "app/application_win.h"
#include "app/single_tool_win.h"
#include "app/start_with_windows_win.h"
#include "net/firewall_win.h"
#include "platform/prompt_win.h"

namespace {

// Ends the process here and now, without the usual way out: that runs destructors and the system
// libraries' detach code, which can wait for background threads still in a request to a silent
// server, a router conversation or a webhook send, and keep the folder claimed meanwhile. Nothing
// of them is needed any more: the settings were saved as the window went and the event log has
// been flushed; SteamCMD and the server run on by themselves.
[[noreturn]] void EndProcessNow(int exitCode) {
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode));
  // Reached only if the system refused.
  ::ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Started again elevated to change the firewall: that one job, touching nothing else.
  if (const std::optional<unsigned long> fixed = tidemoor::RunFirewallFixIfAsked()) {
    return static_cast<int>(*fixed);
  }
  // Before anything touches the tool directory: a second tool on it reads and writes nothing,
  // it only shows the first, or waits for one that is just ending and then starts.
  const bool atLogon = tidemoor::StartedAtLogon();
  std::optional<tidemoor::UniqueHandle> claim = tidemoor::ClaimToolDirectory();
  if (!claim) {
    // At sign-in nobody asked to see the tool that already runs.
    if (atLogon) return 0;
    tidemoor::WindowsPrompt prompt;
    claim = tidemoor::WaitForHoldingTool(prompt);
    if (!claim) return 0;
  }
  tidemoor::Application application(atLogon);
  // Never destroyed: the process ends first.
  EndProcessNow(application.Run());
}
