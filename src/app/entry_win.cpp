// Tidemoor.exe: everything is wired in the Application. At start-up a server left running by an
// earlier run is taken over; otherwise the server starts only when the user asked for that at
// every tool start. Closing the window leaves a running server alone and ends the process at once.
// One tool runs per tool directory.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/application_win.h"
#include "app/run_options.h"
#include "app/single_tool_win.h"
#include "net/firewall_win.h"
#include "platform/codepage_win.h"
#include "platform/prompt_win.h"

namespace {

// The command line read once, as the arguments after the program's own path.
std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* raw = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!raw) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(tidemoor::Narrow(raw[i]));
  ::LocalFree(raw);
  return arguments;
}

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
  // A DLL planted beside the executable (a downloads folder, a shared tool folder) must never be
  // loaded in its place, least of all elevated: every library we load on first use comes from
  // System32.
  ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Started again elevated to change the firewall: that one job, touching nothing else.
  if (const std::optional<unsigned long> fixed = tidemoor::RunFirewallFixIfAsked()) {
    return static_cast<int>(*fixed);
  }
  const tidemoor::RunOptions options = tidemoor::ReadRunOptions(Arguments());
  // Before anything touches the tool directory: a second tool on it reads and writes nothing,
  // it only shows the first, or waits for one that is just ending and then starts.
  std::optional<tidemoor::UniqueHandle> claim = tidemoor::ClaimToolDirectory();
  if (!claim) {
    // At sign-in nobody asked to see the tool that already runs.
    if (options.atLogon) return 0;
    tidemoor::WindowsPrompt prompt;
    claim = tidemoor::WaitForHoldingTool(prompt);
    if (!claim) return 0;
  }
  tidemoor::Application application(options);
  // Never destroyed: the process ends first.
  EndProcessNow(application.Run());
}
