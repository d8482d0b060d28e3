// The start-up warning about Chinese characters in the tool directory.

#include <gtest/gtest.h>

#include <optional>

#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

TEST(ToolPathCheck, ChineseDirectoryWarnsOnceThenStartsNormally) {
  TempToolDirectory directory("工具");
  directory.InstallTool();
  ToolProcess tool(directory);
  std::optional<SeenMessageBox> warning = WaitForMessageBox(tool.Id());
  ASSERT_TRUE(warning);
  EXPECT_EQ(warning->text, " 出现错误 -> 路径中存在中文或有符号 <- 请更改位置运行 ");
  EXPECT_EQ(warning->title, " Error");
  EXPECT_EQ(::GetWindow(warning->window, GW_OWNER), nullptr);
  AnswerMessageBox(*warning, IDOK);

  HWND window = tool.WaitForMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(WaitForMessageBox(tool.Id(), std::chrono::seconds(1)));
  EXPECT_TRUE(directory.Exists("PaLWorld_Data"));
  EXPECT_TRUE(directory.Exists("PaLWorld_Data\\steamapps\\common\\PalServer"));
  CloseToolWindow(window);
  EXPECT_TRUE(tool.WaitForExit());
}

class QuietToolPathCheck : public ::testing::TestWithParam<const char*> {};

INSTANTIATE_TEST_SUITE_P(Directories, QuietToolPathCheck,
                         ::testing::Values("My Host", "A & B", "Café Über", "Host（１）！"));

TEST_P(QuietToolPathCheck, OtherCharactersStartWithoutAWarning) {
  TempToolDirectory directory(GetParam());
  directory.InstallTool();
  ToolProcess tool(directory);
  HWND window = tool.WaitForMainWindow();
  ASSERT_NE(window, nullptr);  // a warning would hold the window back
  EXPECT_FALSE(WaitForMessageBox(tool.Id(), std::chrono::milliseconds(500)));
  CloseToolWindow(window);
  EXPECT_TRUE(tool.WaitForExit());
}

}  // namespace
}  // namespace tidemoor::testing
