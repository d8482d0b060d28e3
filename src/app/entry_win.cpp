// Tidemoor.exe: everything is wired in the Application. At start-up a server left running by an
// earlier run is taken over; otherwise the server starts only when the user asked for that at
// every tool start. Closing the window leaves a running server alone. One tool runs per tool
// directory.

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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Started again elevated to change the firewall: that one job, touching nothing else.
  if (const std::optional<unsigned long> fixed = tidemoor::RunFirewallFixIfAsked()) {
    return static_cast<int>(*fixed);
  }
  const tidemoor::RunOptions options = tidemoor::ReadRunOptions(Arguments());
  // Before anything touches the tool directory: a second tool on it reads and writes nothing,
  // it only shows the first.
  const std::optional<tidemoor::UniqueHandle> claim = tidemoor::ClaimToolDirectory();
  if (!claim) {
    // At sign-in nobody asked to see the tool that already runs.
    if (options.atLogon) return 0;
    tidemoor::WindowsPrompt prompt;
    tidemoor::BringHoldingToolForward(prompt);
    return 0;
  }
  tidemoor::Application application(options);
  return application.Run();
}
