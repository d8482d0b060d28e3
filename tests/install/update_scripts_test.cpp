#include "install/update_scripts.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));  // after the last CR LF: empty when the text ends in one
  return lines;
}

std::string Blanks(size_t n) {
  return std::string(n, ' ');
}

const std::string kRule = "@echo. " + std::string(65, '-');
const std::string kGap = "@echo.   ";

// Lines 1 to 14, the same in both scripts, written out here by hand.
const std::vector<std::string> kOpening = {
    "@ECHO OFF",
    "title Velmora - 专用下载更新游戏服务端脚本 [幻兽帕鲁_Palworld]",
    "",
    "color 3f",
    "",
    kRule,
    "@echo." + Blanks(18) + "[ Velmora信息 - velmora.example ]" + Blanks(32),
    "@echo." + Blanks(11) + "准备下载更新 《 幻兽帕鲁_Palworld 》  游戏服务端",
    kRule,
    kGap,
    kGap,
    "",
    ":: 下面写执行的代码段 ↓↓↓",
    "",
};

const std::vector<std::string> kWork = {
    "Steamcmd.exe +login anonymous +app_update 2394010 validate +quit",
    "set SteamCmdExit=%ERRORLEVEL%",
    "",
    "",
    ":: 上面写执行的代码段 ↑↑↑",
    "",
    "color 4f",
    kGap,
    kGap,
    kRule,
};

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
  }
}

TEST(UpdateScripts, ManualScriptHas31CrLfLinesEndingInPauseAndSteamCmdsExitCode) {
  std::vector<std::string> expected = kOpening;
  expected.push_back("");
  expected.insert(expected.end(), kWork.begin(), kWork.end());
  expected.insert(
      expected.end(),
      {"@echo." + Blanks(3) + "本次请求任务已完成,请检查目录 \\steamapps\\common 中服务端文件" +
           Blanks(27),
       kRule, kGap, kGap, "pause", "exit /b %SteamCmdExit%"});
  expected.push_back("");  // the last line is ended by CR LF too
  std::vector<std::string> lines = SplitCrLf(ManualUpdateScript());
  ExpectLines(lines, expected);
}

TEST(UpdateScripts, AutoScriptChangesIntoDataDirAndEndsWithoutLineEnd) {
  std::vector<std::string> expected = kOpening;
  expected.insert(expected.end(), {"cd PaLWorld_Data", ""});
  expected.insert(expected.end(), kWork.begin(), kWork.end());
  expected.insert(expected.end(), {"@echo.   \t\t本身启动服务端自动检查更新任务完成" + Blanks(27),
                                   kRule, kGap, kGap, "exit /b %SteamCmdExit%"});
  const std::string script = AutoUpdateScript();
  ExpectLines(SplitCrLf(script), expected);
  EXPECT_EQ(script.substr(script.size() - 24), "\r\nexit /b %SteamCmdExit%");
  EXPECT_EQ(script.find("pause"), std::string::npos);
}

TEST(UpdateScripts, FileNamesAndQuotedCommandLine) {
  const ServerPaths paths = MakeServerPaths("D:\\A & B");
  EXPECT_EQ(SteamCmdFile(paths), "D:\\A & B\\PaLWorld_Data\\Steamcmd.exe");
  EXPECT_EQ(ManualUpdateScriptFile(paths), "D:\\A & B\\PaLWorld_Data\\Updata_Server.bat");
  EXPECT_EQ(AutoUpdateScriptFile(paths), "D:\\A & B\\PaLWorld_Data\\Updata_Server_Auto.bat");
  EXPECT_EQ(QuotedCommandLine(AutoUpdateScriptFile(paths)),
            "\"D:\\A & B\\PaLWorld_Data\\Updata_Server_Auto.bat\"");
}

}  // namespace
}  // namespace tidemoor
