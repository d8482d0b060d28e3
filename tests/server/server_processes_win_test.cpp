#include "server/server_processes_win.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/process_win.h"
#include "support/pumping_wait_win.h"
#include "platform/top_level_windows_win.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;
using testing::TempToolDirectory;
using testing::WaitUntil;

class ServerProcessesTest : public ::testing::Test {
 protected:
  ServerProcessesTest() {
    directory.InstallFixture("PalServer.exe");
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe");
  }
  ~ServerProcessesTest() override {
    // Whatever a test left running ends with its launcher.
    directory.WriteBytes("crash.flag", "");
    WaitUntil([&] { return !processes.HeldServerRunning(); });
  }

  std::string Launcher() const { return directory.File("PalServer.exe"); }

  // The launch is told later, between the messages, never on the caller's stack.
  uint32_t Launch(const std::string& executable, const std::string& commandLine,
                  const std::string& workingDirectory) {
    std::optional<uint32_t> launched;
    processes.Launch(executable, commandLine, workingDirectory,
                     [&](uint32_t processId) { launched = processId; });
    EXPECT_FALSE(launched) << "never on the caller's stack";
    EXPECT_TRUE(PumpUntil([&] { return launched.has_value(); }, 30s));
    return launched.value_or(0);
  }

  TempToolDirectory directory{"server processes"};
  WindowsServerProcesses processes;
};

TEST_F(ServerProcessesTest, HeldLauncherRunsUntilItEnds) {
  EXPECT_FALSE(processes.HeldServerRunning());
  const uint32_t id = Launch(Launcher(), "\"PalServer.exe\" -port=1", directory.Path());
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(processes.HeldServerRunning());
  EXPECT_EQ(processes.FileVersion(Launcher()), "0.1.5.0");

  directory.WriteBytes("crash.flag", "");
  EXPECT_TRUE(WaitUntil([&] { return !processes.HeldServerRunning(); }));
  EXPECT_EQ(directory.ReadBytes("PalServer-launches.txt"), "\"PalServer.exe\" -port=1\r\n");
}

// Waiting for the server's end holds no thread of the windows: it is told later, between the
// messages, whether the server ended within the limit.
TEST_F(ServerProcessesTest, TheEndOfTheServerIsToldLater) {
  ASSERT_NE(Launch(Launcher(), "\"PalServer.exe\"", directory.Path()), 0u);
  for (const bool ends : {false, true}) {
    std::optional<bool> ended;
    processes.WaitForHeldServerToEnd(ends ? 60s : 300ms, [&](bool hasEnded) { ended = hasEnded; });
    EXPECT_FALSE(ended) << "never on the caller's stack";
    if (ends) directory.WriteBytes("crash.flag", "");
    ASSERT_TRUE(PumpUntil([&] { return ended.has_value(); }, 60s));
    EXPECT_EQ(*ended, ends);
  }
}

TEST_F(ServerProcessesTest, MissingLauncherLaunchesNothing) {
  EXPECT_EQ(
      Launch(directory.File("none\\PalServer.exe"), "\"PalServer.exe\"", directory.File("none\\")),
      0u);
  EXPECT_FALSE(processes.HeldServerRunning());
}

TEST_F(ServerProcessesTest, LauncherOfAnEarlierRunIsAdopted) {
  UniqueProcessInformation earlier;
  const uint32_t id =
      LaunchProcess(Launcher(), "\"PalServer.exe\"", false, 6, directory.Path(), &earlier);
  ASSERT_NE(id, 0u);

  WindowsServerProcesses other;
  EXPECT_EQ(other.AdoptRunning(directory.File("palserver.exe")), id);
  EXPECT_TRUE(other.HeldServerRunning());
  EXPECT_EQ(processes.AdoptRunning(directory.File("steamapps\\PalServer.exe")), 0u);

  directory.WriteBytes("crash.flag", "");
  EXPECT_TRUE(WaitUntil([&] { return !other.HeldServerRunning(); }));
  EXPECT_EQ(other.AdoptRunning(Launcher()), 0u);
}

TEST_F(ServerProcessesTest, HidesAndShowsTheWorkersWindow) {
  const uint32_t id = Launch(Launcher(), "\"PalServer.exe\"", directory.Path());
  ASSERT_NE(id, 0u);
  HWND console = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    const int64_t worker = FindChildProcess(id, "PalServer-Win64-Test-Cmd.exe");
    console = worker > 0 ? FindProcessWindow(static_cast<uint32_t>(worker)) : nullptr;
    return console && ::IsWindowVisible(console);
  }));
  processes.SetConsoleHidden(true);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(console); }));
  processes.SetConsoleHidden(false);
  EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(console) != FALSE; }));
}

TEST_F(ServerProcessesTest, FindsTheWorkerUnderItsCurrentName) {
  // Today's servers name the worker ...-Shipping-Cmd.exe; this test process plays the launcher.
  const std::string renamed = directory.File("PalServer-Win64-Shipping-Cmd.exe");
  ::CopyFileA(directory.File("PalServer-Win64-Test-Cmd.exe").c_str(), renamed.c_str(), FALSE);
  UniqueProcessInformation worker;
  ASSERT_NE(LaunchProcess(renamed, "\"" + renamed + "\"", false, 2, "", &worker), 0u);
  HWND console = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    console = FindProcessWindow(worker.processId);
    return console && ::IsWindowVisible(console);
  }));

  // This test program plays the launcher, taken over as a server left running would be.
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  ASSERT_EQ(processes.AdoptRunning(Narrow(self)), ::GetCurrentProcessId());
  processes.SetConsoleHidden(true);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(console); }));
  ::TerminateProcess(worker.process.get(), 0);
  ::WaitForSingleObject(worker.process.get(), 5000);
}

}  // namespace
}  // namespace tidemoor
