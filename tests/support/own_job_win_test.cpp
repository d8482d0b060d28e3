#include "support/own_job_win.h"

#include <gtest/gtest.h>

#include "platform/process_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

constexpr DWORD kCrashedAsPlanned = 3;

class OwnJobTest : public ::testing::Test {
 protected:
  OwnJobTest() {
    directory.InstallFixture("PalServer.exe");
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe");
  }

  TempToolDirectory directory{"own job"};
};

TEST_F(OwnJobTest, ThisProgramAndWhatItStartsAreInItsJob) {
  ASSERT_NE(OwnJob(), nullptr);
  BOOL inJob = FALSE;
  EXPECT_TRUE(::IsProcessInJob(::GetCurrentProcess(), OwnJob(), &inJob) && inJob);
  UniqueProcessInformation worker;
  const std::string exe = directory.File("PalServer-Win64-Test-Cmd.exe");
  ASSERT_NE(LaunchProcess(exe, "\"" + exe + "\"", false, 0, "", &worker), 0u);
  inJob = FALSE;
  EXPECT_TRUE(::IsProcessInJob(worker.process.get(), OwnJob(), &inJob) && inJob);
}

// The fixture crashes while the launcher it started and the launcher's worker run: both must be
// gone with it, while this program, whose job holds the fixture's, carries on.
TEST_F(OwnJobTest, ProgramsOfACrashedTestProgramEndWithIt) {
  directory.InstallFixture("CrashingTestProgram.exe");
  const std::string crashing = directory.File("CrashingTestProgram.exe");
  UniqueProcessInformation program;
  ASSERT_NE(
      LaunchProcess(crashing, "\"" + crashing + "\" \"" + directory.File("PalServer.exe") + "\"",
                    false, 0, "", &program),
      0u);
  ASSERT_TRUE(
      WaitUntil([&] { return ::WaitForSingleObject(program.process.get(), 0) == WAIT_OBJECT_0; },
                std::chrono::seconds(60)));
  DWORD exitCode = 0;
  ::GetExitCodeProcess(program.process.get(), &exitCode);
  // 2: the server never started its worker; 4: the fixture could not join a job of its own.
  ASSERT_EQ(exitCode, kCrashedAsPlanned);

  EXPECT_TRUE(WaitUntil([&] { return ProcessesBelow(directory.Path()).empty(); }))
      << ProcessesBelow(directory.Path()).size() << " programs outlived the crashed one";
}

}  // namespace
}  // namespace tidemoor::testing
