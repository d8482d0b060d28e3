#include <gtest/gtest.h>

#include "platform/whole_file_win.h"
#include "install/tool_path_check_win.h"
#include "install/update_scripts.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using testing::TempToolDirectory;

size_t CountOf(const std::string& text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The scripts are written as the update writes them: GBK bytes, nothing converted on the way.
TEST(UpdateScriptFiles, AreGbkWithCrLfLineEnds) {
  TempToolDirectory tool("scripts");
  const std::string manual = tool.File("Updata_Server.bat");
  const std::string automatic = tool.File("Updata_Server_Auto.bat");
  tool.WriteBytes("Updata_Server.bat", std::string(10000, 'x'));  // replaced, not overwritten
  ASSERT_TRUE(WriteWholeFile(manual, Utf8ToGbk(ManualUpdateScript())));
  ASSERT_TRUE(WriteWholeFile(automatic, Utf8ToGbk(AutoUpdateScript())));

  const std::string manualBytes = tool.ReadBytes("Updata_Server.bat");
  EXPECT_EQ(GbkToUtf8(manualBytes), ManualUpdateScript());  // every character exists in GBK
  EXPECT_EQ(CountOf(manualBytes, "\r\n"), 31u);
  EXPECT_EQ(CountOf(manualBytes, "\n"), 31u);
  EXPECT_EQ(manualBytes.substr(manualBytes.size() - 31), "pause\r\nexit /b %SteamCmdExit%\r\n");
  EXPECT_NE(manualBytes.find("\xA1\xFD\xA1\xFD\xA1\xFD"), std::string::npos);  // ↓↓↓ in GBK
  EXPECT_NE(manualBytes.find("\xBB\xC3\xCA\xDE\xC5\xC1\xC2\xB3"), std::string::npos);  // 幻兽帕鲁

  const std::string autoBytes = tool.ReadBytes("Updata_Server_Auto.bat");
  EXPECT_EQ(GbkToUtf8(autoBytes), AutoUpdateScript());
  EXPECT_EQ(CountOf(autoBytes, "\r\n"), 30u);
  EXPECT_EQ(CountOf(autoBytes, "\n"), 30u);
  EXPECT_EQ(autoBytes.substr(autoBytes.size() - 24), "\r\nexit /b %SteamCmdExit%");
}

TEST(WriteNewWholeFile, NeverReplacesAndLeavesNothingOnFailure) {
  TempToolDirectory tool("files");
  EXPECT_TRUE(WriteNewWholeFile(tool.File("a.exe"), "new"));
  EXPECT_EQ(tool.ReadBytes("a.exe"), "new");
  EXPECT_FALSE(WriteNewWholeFile(tool.File("a.exe"), "newer"));
  EXPECT_EQ(tool.ReadBytes("a.exe"), "new");
  EXPECT_FALSE(tool.Exists("a.exe.partial"));
  EXPECT_FALSE(WriteNewWholeFile(tool.File("missing\\a.exe"), "x"));
  EXPECT_FALSE(tool.Exists("missing\\a.exe.partial"));
}

TEST(ToolPathCheck, OnlyChineseIdeographsCount) {
  EXPECT_TRUE(HasChineseCharacters("D:\\工具"));
  EXPECT_TRUE(HasChineseCharacters("C:\\Users\\x\\Desktop\\帕鲁 Server"));
  for (const char* path : {"D:\\Host", "D:\\My Server", "D:\\A & B", "D:\\Café Über",
                           "D:\\Host（1）！", "D:\\Host　2", "D:\\Ｈｏｓｔ"}) {
    EXPECT_FALSE(HasChineseCharacters(path)) << path;
  }
}

}  // namespace
}  // namespace tidemoor
