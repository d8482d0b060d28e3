#include "platform/run_command_win.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/process_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using testing::TempToolDirectory;

// Puts this test program into a job that ends every process in it when the job's last handle
// closes, whichever way the program ends; what it starts from here on joins the job. The handle
// is left to close with the program: closing it any earlier would end the program itself.
void EndStartedProgramsWithThisTest() {
  static const HANDLE job = [] {
    HANDLE created = ::CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    ::AssignProcessToJobObject(created, ::GetCurrentProcess());
    return created;
  }();
  ASSERT_NE(job, nullptr);
  BOOL inJob = FALSE;
  ASSERT_TRUE(::IsProcessInJob(::GetCurrentProcess(), job, &inJob));
  ASSERT_TRUE(inJob);
}

TEST(ShowModeToShowCommand, MapsModesOneToSixAndClampsTheRest) {
  const struct {
    int mode;
    int command;
  } cases[] = {
      {1, SW_HIDE},
      {2, SW_SHOWNORMAL},
      {3, SW_SHOWMINIMIZED},
      {4, SW_SHOWMAXIMIZED},
      {5, SW_SHOWNOACTIVATE},
      {6, 6},
      {7, 6},
      {INT_MAX, 6},
      {0, SW_HIDE},
      {-3, SW_HIDE},
      {INT_MIN, SW_HIDE},
  };
  for (const auto& c : cases) EXPECT_EQ(ShowModeToShowCommand(c.mode), c.command) << c.mode;
}

// What the started program itself is told, through both ways the tool starts programs: a command
// line always asks for its mode's window, a launch leaves a normal or unknown mode to the program.
TEST(ShowModeToShowCommand, ReachesProgramsStartedEitherWay) {
  EndStartedProgramsWithThisTest();
  TempToolDirectory directory("show mode");
  directory.InstallFixture("explorer.exe");
  const std::string program = directory.File("explorer.exe");
  const int modes[] = {0, 1, 2, 3, 4, 5, 6, 7};

  for (const int mode : modes) ASSERT_TRUE(RunCommandLine("\"" + program + "\"", true, mode));
  EXPECT_EQ(directory.ReadBytes("explorer-show.txt"), "0\r\n0\r\n1\r\n2\r\n3\r\n4\r\n6\r\n6\r\n");

  directory.WriteBytes("explorer-show.txt", "");
  for (const int mode : modes) {
    ASSERT_NE(LaunchProcess(program, "\"explorer.exe\"", true, mode, ""), 0u);
  }
  EXPECT_EQ(directory.ReadBytes("explorer-show.txt"),
            "default\r\n0\r\ndefault\r\n2\r\n3\r\n4\r\n6\r\ndefault\r\n");
}

}  // namespace
}  // namespace tidemoor
