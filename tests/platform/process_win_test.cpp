#include "platform/process_win.h"

#include <gtest/gtest.h>

#include "platform/top_level_windows_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using testing::BinDirectory;
using testing::TempToolDirectory;
using testing::WaitUntil;

std::string Fixture(std::string_view exeName) {
  return BinDirectory() + "\\fixtures\\" + std::string(exeName);
}

// A fixture copied under another name, started by this test process.
struct StartedCopy {
  UniqueProcessInformation info;
  ~StartedCopy() {
    if (info.process) {
      ::TerminateProcess(info.process.get(), 0);
      ::WaitForSingleObject(info.process.get(), 5000);
    }
  }
};

std::string CopyFixture(const TempToolDirectory& directory, std::string_view fixture,
                        std::string_view name) {
  const std::string target = directory.File(name);
  ::CopyFileA(Fixture(fixture).c_str(), target.c_str(), FALSE);
  return target;
}

TEST(LaunchProcess, ReturnsZeroForAMissingProgramAndTheIdOtherwise) {
  TempToolDirectory directory("launch");
  EXPECT_EQ(LaunchProcess(directory.File("none.exe"), "\"none.exe\"", false, 6, ""), 0u);

  directory.InstallFixture("explorer.exe");
  // Waiting for the end, with the working directory taken from the application path.
  const uint32_t id =
      LaunchProcess(directory.File("explorer.exe"), "\"explorer.exe\" /select,a b", true, 2, "");
  EXPECT_NE(id, 0u);
  EXPECT_EQ(directory.ReadBytes("explorer-calls.txt"), "\"explorer.exe\" /select,a b\r\n");
}

TEST(FindChildProcess, FindsAChildNamedInAnotherCaseButNeverAnotherParentsProcess) {
  TempToolDirectory directory("children");
  StartedCopy lowerCaseChild;
  const std::string lowerCase =
      CopyFixture(directory, "PalServer-Win64-Test-Cmd.exe", "palserver-win64-test-cmd.exe");
  const uint32_t childId =
      LaunchProcess(lowerCase, "\"" + lowerCase + "\"", false, 1, "", &lowerCaseChild.info);
  ASSERT_NE(childId, 0u);
  EXPECT_EQ(FindChildProcess(::GetCurrentProcessId(), "PalServer-Win64-Test-Cmd.exe"), childId);
  EXPECT_EQ(FindChildProcess(::GetCurrentProcessId(), "PalServer-Win64-Test-Cmd"), 0);

  // The launcher's worker is a grandchild of this process: found only under its own parent.
  directory.InstallFixture("PalServer.exe");
  directory.InstallFixture("PalServer-Win64-Test-Cmd.exe");
  StartedCopy launcher;
  const uint32_t launcherId = LaunchProcess(directory.File("PalServer.exe"), "\"PalServer.exe\"",
                                            false, 1, "", &launcher.info);
  ASSERT_NE(launcherId, 0u);
  int64_t worker = 0;
  EXPECT_TRUE(WaitUntil([&] {
    worker = FindChildProcess(launcherId, "PalServer-Win64-Test-Cmd.exe");
    return worker > 0;
  }));
  EXPECT_NE(worker, childId);
  EXPECT_EQ(FindChildProcess(::GetCurrentProcessId(), "PalServer-Win64-Test-Cmd.exe"), childId);

  directory.WriteBytes("crash.flag", "");  // the launcher ends its worker on the way out
  EXPECT_EQ(::WaitForSingleObject(launcher.info.process.get(), 10000), WAIT_OBJECT_0);
}

TEST(FindProcessWindow, WindowlessLauncherHasNoneAndItsWorkerHasItsOwn) {
  TempToolDirectory directory("windows");
  directory.InstallFixture("PalServer.exe");
  directory.InstallFixture("PalServer-Win64-Test-Cmd.exe");
  StartedCopy launcher;
  const uint32_t launcherId = LaunchProcess(directory.File("PalServer.exe"), "\"PalServer.exe\"",
                                            false, 2, "", &launcher.info);
  ASSERT_NE(launcherId, 0u);
  int64_t worker = 0;
  HWND window = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    worker = FindChildProcess(launcherId, "PalServer-Win64-Test-Cmd.exe");
    window = worker > 0 ? FindProcessWindow(static_cast<uint32_t>(worker)) : nullptr;
    return window != nullptr;
  }));
  EXPECT_EQ(FindProcessWindow(launcherId), nullptr);

  bool listed = false;
  for (const WindowEntry& entry : ListTopLevelWindows()) {
    if (entry.Window != window) continue;
    listed = true;
    EXPECT_EQ(entry.ProcessId, worker);
    EXPECT_EQ(entry.Title, "PalServer-Win64-Test-Cmd");
    EXPECT_EQ(entry.ClassName, "TidemoorTestServerConsole");
  }
  EXPECT_TRUE(listed);
  directory.WriteBytes("crash.flag", "");
  EXPECT_EQ(::WaitForSingleObject(launcher.info.process.get(), 10000), WAIT_OBJECT_0);
}

TEST(FindProcessByImage, FindsOnlyTheProcessOfThatExactFileInAnyCase) {
  TempToolDirectory first("image-a");
  TempToolDirectory second("image-b");
  for (const TempToolDirectory* directory : {&first, &second}) {
    directory->InstallFixture("PalServer.exe");
    directory->InstallFixture("PalServer-Win64-Test-Cmd.exe");
  }
  StartedCopy launcher;
  const uint32_t launcherId =
      LaunchProcess(first.File("PalServer.exe"), "\"PalServer.exe\"", false, 1, "", &launcher.info);
  ASSERT_NE(launcherId, 0u);

  UniqueHandle handle;
  EXPECT_EQ(FindProcessByImage(second.File("PalServer.exe"), handle), 0u);
  EXPECT_FALSE(handle);

  std::string otherCase = first.File("PALSERVER.EXE");
  EXPECT_EQ(FindProcessByImage(otherCase, handle), launcherId);
  ASSERT_TRUE(handle);
  EXPECT_EQ(::WaitForSingleObject(handle.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  first.WriteBytes("crash.flag", "");
  EXPECT_EQ(::WaitForSingleObject(handle.get(), 10000), WAIT_OBJECT_0);
}

}  // namespace
}  // namespace tidemoor
