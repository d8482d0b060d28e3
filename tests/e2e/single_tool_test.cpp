// A second Tidemoor.exe started on a folder whose tool already runs: it shows the first one's
// window and goes, touching nothing in the folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace testing;

// Every file and folder below the directory, with each file's size and last write.
std::map<std::wstring, std::pair<uintmax_t, std::filesystem::file_time_type>> Snapshot(
    const TempToolDirectory& dir) {
  std::map<std::wstring, std::pair<uintmax_t, std::filesystem::file_time_type>> seen;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Widen(dir.Path()))) {
    seen[entry.path().wstring()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                    entry.last_write_time()};
  }
  return seen;
}

// At sign-in nobody asked to see the tool: the first one stays as it is.
TEST(SingleTool, ASecondToolOnTheSameFolderBringsTheFirstForwardUnlessAtSignInAndTouchesNothing) {
  struct Case {
    const char* arguments;
    bool broughtForward;
  };
  for (const Case& c : {Case{"", true}, Case{"--autostart", false}}) {
    SCOPED_TRACE(c.arguments);
    TempToolDirectory dir("single tool");
    dir.InstallTool();
    dir.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini",
                   Utf8ToGbk("[主程序设置]\r\nWindow_Title=第一个\r\n"));
    ToolProcess first(dir);
    HWND window = first.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ::ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(window) != FALSE; }));
    const auto before = Snapshot(dir);

    ToolProcess second(dir, {}, c.arguments);
    ASSERT_TRUE(second.WaitForExit());
    DWORD exitCode = 1;
    ::GetExitCodeProcess(second.Handle(), &exitCode);
    EXPECT_EQ(exitCode, 0u);
    if (c.broughtForward) {
      EXPECT_TRUE(WaitUntil([&] {
        return !::IsIconic(window) && ::GetForegroundWindow() == window;
      })) << "the first window is restored and in front";
    } else {
      EXPECT_TRUE(::IsIconic(window)) << "the second one ended without touching the first";
    }
    EXPECT_EQ(Snapshot(dir), before) << "no settings, log or folder written";
    EXPECT_EQ(::WaitForSingleObject(first.Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    CloseToolWindow(window);
    EXPECT_TRUE(first.WaitForExit());
  }
}

}  // namespace
}  // namespace tidemoor
