// The main window's clickable labels: they act when the button goes down, and each button of
// the world settings label does only its own thing.

#include <gtest/gtest.h>

#include "app/main_controls.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace testing;
using C = MainControl;

constexpr char kSettingsWindowTitle[] = "世界属性设置 <更改后保存重启服务端生效>";
constexpr char kExplorerLog[] = "explorer-calls.txt";

int Id(C control) {
  return static_cast<int>(control);
}

class MainLabels : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.InstallTool();
    dir_.InstallFixture("explorer.exe");
    tool_.emplace(dir_);
    window_ = tool_->WaitForMainWindow();
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) CloseToolWindow(window_);
    if (tool_) tool_->WaitForExit();
  }
  std::string ExplorerCalls() const { return dir_.ReadBytes(kExplorerLog); }

  TempToolDirectory dir_{"labels"};
  std::optional<ToolProcess> tool_;
  HWND window_ = nullptr;
};

TEST_F(MainLabels, ServerFolderLabelRevealsTheLauncherOnButtonDownAlone) {
  // Button down, then the mouse leaves the label before it is released elsewhere.
  const HWND label = ::GetDlgItem(window_, Id(C::ServerFolderLabel));
  ::PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::PostMessageW(label, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 500));
  ASSERT_TRUE(WaitUntil([&] { return !ExplorerCalls().empty(); }));
  EXPECT_NE(ExplorerCalls().find("/select,\"" + dir_.Path() +
                                 "\\PaLWorld_Data\\steamapps\\common\\PalServer\\PalServer.exe\""),
            std::string::npos)
      << ExplorerCalls();
}

TEST_F(MainLabels, WorldSettingsLabelRightButtonRevealsTheFileOnly) {
  PressLabel(window_, Id(C::WorldSettingsLabel), /*rightButton=*/true);
  ASSERT_TRUE(WaitUntil([&] { return !ExplorerCalls().empty(); }));
  EXPECT_NE(ExplorerCalls().find("PalWorldSettings.ini\""), std::string::npos) << ExplorerCalls();
  EXPECT_EQ(FindWindowOfProcess(tool_->Id(), kSettingsWindowTitle), nullptr);
}

TEST_F(MainLabels, WorldSettingsLabelLeftButtonOpensTheWindowOnly) {
  PressLabel(window_, Id(C::WorldSettingsLabel));
  const HWND settings = WaitForWindowOfProcess(tool_->Id(), kSettingsWindowTitle);
  ASSERT_NE(settings, nullptr);
  EXPECT_FALSE(dir_.Exists(kExplorerLog));
  CloseToolWindow(settings);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(settings); }));
}

TEST_F(MainLabels, BackupManagerLabelOpensOneWindowHoweverOftenItIsPressed) {
  PressLabel(window_, Id(C::BackupManagerLabel));
  const HWND manager = WaitForWindowOfProcess(tool_->Id(), "数据存档管理");
  ASSERT_NE(manager, nullptr);
  PressLabel(window_, Id(C::BackupManagerLabel));
  const auto windowsOpen = [&] { return WindowsTitled(tool_->Id(), "数据存档管理"); };
  // A second window would show within moments of the press; none may.
  EXPECT_FALSE(WaitUntil([&] { return windowsOpen() > 1; }, std::chrono::seconds(2)));
  EXPECT_EQ(windowsOpen(), 1);
  CloseToolWindow(manager);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(manager); }));
}

}  // namespace
}  // namespace tidemoor
