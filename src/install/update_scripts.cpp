#include "install/update_scripts.h"

#include <vector>

#include "common/product.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

std::string Blanks(size_t count) {
  return std::string(count, ' ');
}

// The script lines shared by both scripts, in the manual script's order.
struct ScriptLines {
  std::string rule = "@echo. " + std::string(65, '-');
  std::string gap = "@echo." + Blanks(3);
  std::string banner =
      "@echo." + Blanks(18) + "[ Velmora信息 - " + kMakerWebAddress + " ]" + Blanks(32);
  std::string heading =
      "@echo." + Blanks(11) + "准备下载更新 《 幻兽帕鲁_Palworld 》" + Blanks(2) + "游戏服务端";
  std::string steamCmd = "Steamcmd.exe +login anonymous +app_update 2394010 validate +quit";
  // The script ends with SteamCMD's exit code, which the tool reads and logs.
  std::string keepExitCode = "set SteamCmdExit=%ERRORLEVEL%";
  std::string exitWithIt = "exit /b %SteamCmdExit%";
};

std::vector<std::string> Opening(const ScriptLines& s) {
  return {"@ECHO OFF",
          "title Velmora - 专用下载更新游戏服务端脚本 [幻兽帕鲁_Palworld]",
          "",
          "color 3f",
          "",
          s.rule,
          s.banner,
          s.heading,
          s.rule,
          s.gap,
          s.gap,
          "",
          ":: 下面写执行的代码段 ↓↓↓",
          ""};
}

// SteamCMD's line and what follows it up to the closing rule.
std::vector<std::string> Work(const ScriptLines& s) {
  return {s.steamCmd, s.keepExitCode, "",    "",    ":: 上面写执行的代码段 ↑↑↑",
          "",         "color 4f",     s.gap, s.gap, s.rule};
}

void Append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

}  // namespace

std::string ManualUpdateScript() {
  const ScriptLines s;
  std::vector<std::string> lines = Opening(s);
  lines.push_back("");
  Append(lines, Work(s));
  Append(lines, {"@echo." + Blanks(3) +
                     "本次请求任务已完成,请检查目录 \\steamapps\\common 中服务端文件" + Blanks(27),
                 s.rule, s.gap, s.gap, "pause", s.exitWithIt});
  return JoinTexts(lines, "\r\n") + "\r\n";
}

std::string AutoUpdateScript() {
  const ScriptLines s;
  std::vector<std::string> lines = Opening(s);
  Append(lines, {"cd PaLWorld_Data", ""});
  Append(lines, Work(s));
  Append(lines, {"@echo." + Blanks(3) + "\t\t本身启动服务端自动检查更新任务完成" + Blanks(27),
                 s.rule, s.gap, s.gap, s.exitWithIt});
  return JoinTexts(lines, "\r\n");
}

std::string SteamCmdFile(const ServerPaths& paths) {
  return paths.DataDir + "Steamcmd.exe";
}

std::string ManualUpdateScriptFile(const ServerPaths& paths) {
  return paths.DataDir + "Updata_Server.bat";
}

std::string AutoUpdateScriptFile(const ServerPaths& paths) {
  return paths.DataDir + "Updata_Server_Auto.bat";
}

std::string QuotedCommandLine(std::string_view programPath) {
  std::string line(1, '"');
  line.append(programPath).push_back('"');
  return line;
}

}  // namespace tidemoor
