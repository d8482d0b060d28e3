// Closing the tool ends its process at once, whatever it was still doing, so the host can open it
// again straight away.

#include "e2e/lifecycle_rig.h"

namespace tidemoor::testing {
namespace {

class Closing : public LifecycleRig {};

// A crash restart leaves requests and waits of the new server in flight. The second start comes
// as the window vanishes: under Wine without a window manager the window stays half destroyed
// for about 2 s after that, so the second finds its folder still claimed and has to wait.
TEST_F(Closing, AfterACrashRestartTheProcessEndsAtOnceAndASecondStartOpensTheTool) {
  Prepare({.apiPort = 18243, .crashRestart = true});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  PutFlag("crash.flag");
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(30)));
  ASSERT_TRUE(WaitUntil([&] { return ApiAnswers(); }, std::chrono::seconds(20)));

  CloseToolWindow(window);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(window); }));
  ToolProcess second(directory);
  ASSERT_EQ(::WaitForSingleObject(tool->Handle(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
      << "the first tool had ended before the second started: nothing was waited for";
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(window); }));
  EXPECT_TRUE(tool->WaitForExit(std::chrono::seconds(2))) << "the process outlived its window";

  EXPECT_NE(second.WaitForMainWindow(), nullptr);
  EXPECT_FALSE(WaitForMessageBox(second.Id(), std::chrono::seconds(0)));
  EXPECT_TRUE(WaitUntil([&] {
    return EventLog().find("接管上次运行留下的服务端") != std::string::npos;
  })) << EventLog();
}

}  // namespace
}  // namespace tidemoor::testing
