#include "install/update_flow.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "install/update_scripts.h"

namespace tidemoor {
namespace {

// Records every action in order, so a test sees what happened before what. Each action answers
// through its callback at once; a stop cancelled by the tool closing never answers.
class FakeActions : public UpdateActions, public Prompt {
 public:
  PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) override {
    if (style == PromptStyle::Question) {
      log.push_back("confirm:" + std::string(text) + "|" + std::string(title));
      return answerYes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    EXPECT_EQ(style, PromptStyle::Error);
    log.push_back("error:" + std::string(text) + "|" + std::string(title));
    return PromptAnswer::Ok;
  }
  void ShowStatusLine(std::string_view text) override { status = text; }
  void StopServer(std::function<void(bool)> done) override {
    log.push_back("stop");
    if (!toolClosing) done(!stopRefused);
  }
  void DeploySteamCmd(std::function<void(SteamCmdState)> done) override {
    log.push_back("deploy");
    done(deployResult);
  }
  Outcome WriteScript(const std::string& path, const std::string& text) override {
    log.push_back("write:" + path);
    if (scriptRefused) return *scriptRefused;
    written = text;
    return {};
  }
  void OpenScript(const std::string& path, const std::string& dir,
                  std::function<void(const ScriptEnd&)> ended) override {
    log.push_back("open:" + path + "|" + dir);
    consoleEnded = std::move(ended);
  }
  void ShowInstallProgress(const InstallStatus&) override {}
  void RunToEnd(const std::string& commandLine, InstallProgressFunction progress,
                std::function<void(const ScriptEnd&)> done) override {
    log.push_back("run:" + commandLine);
    progress({"正在安装…", 100});
    done(scriptEnd);
  }
  void Record(std::string_view text) override { log.push_back("log:" + std::string(text)); }
  // Where the update's progress goes, as the caller gave it.
  InstallProgressFunction Progress() {
    return [this](const InstallStatus& status) { progressShown.push_back(status.line); };
  }
  // The update's end, for the start that waits for it.
  std::function<void()> Ended() {
    return [this] { log.push_back("ended"); };
  }

  bool answerYes = true;
  bool toolClosing = false;
  bool stopRefused = false;
  SteamCmdState deployResult = SteamCmdState::Ready;
  std::optional<SystemError> scriptRefused;
  ScriptEnd scriptEnd{true, 0, {}};
  std::function<void(const ScriptEnd&)> consoleEnded;  // the manual update's console, once opened
  std::vector<std::string> log;
  std::vector<std::string> progressShown;
  std::string written;
  std::string status;
};

using Log = std::vector<std::string>;
const ServerPaths kPaths = MakeServerPaths("D:\\Host & Co");
const std::string kData = "D:\\Host & Co\\PaLWorld_Data\\";

TEST(ManualUpdate, AnsweredNoChangesNothing) {
  FakeActions actions;
  actions.status = "游戏服务端版本 v0.1.5.0";
  actions.answerYes = false;
  PerformManualUpdate(kPaths, actions, actions);
  EXPECT_EQ(actions.log, Log{"confirm: 现在开始更新游戏服务端.会终止现在的运行? | Quiz"});
  EXPECT_EQ(actions.status, "游戏服务端版本 v0.1.5.0");
}

TEST(ManualUpdate, StopsFirstThenDeploysWritesAndOpensFromDataDir) {
  FakeActions actions;
  PerformManualUpdate(kPaths, actions, actions);
  EXPECT_EQ(actions.log, (Log{"confirm: 现在开始更新游戏服务端.会终止现在的运行? | Quiz", "stop",
                              "deploy", "write:" + kData + "Updata_Server.bat",
                              "open:" + kData + "Updata_Server.bat|" + kData}));
  EXPECT_EQ(actions.written, ManualUpdateScript());
  EXPECT_EQ(actions.status, "游戏服务端版本 (等待服务端启动)");
}

// The tool closing while the server stops, or a stop that cannot begin because a start or stop is
// already under way, ends the update there.
TEST(ManualUpdate, AStopThatDoesNotEndTheServerGoesNoFurther) {
  for (const bool closing : {true, false}) {
    SCOPED_TRACE(closing ? "closing" : "refused");
    FakeActions actions;
    actions.status = "运行中";
    actions.toolClosing = closing;
    actions.stopRefused = !closing;
    PerformManualUpdate(kPaths, actions, actions);
    EXPECT_EQ(actions.log,
              (Log{"confirm: 现在开始更新游戏服务端.会终止现在的运行? | Quiz", "stop"}));
    EXPECT_EQ(actions.status, "运行中");
  }
}

TEST(ManualUpdate, FailedDownloadIsReportedAndNoScriptIsWrittenOrOpened) {
  FakeActions actions;
  actions.deployResult = SteamCmdState::DownloadFailed;
  PerformManualUpdate(kPaths, actions, actions);
  ASSERT_EQ(actions.log.size(), 4u);
  EXPECT_EQ(actions.log[3], "error: 下载 SteamCMD 失败 - 请检查网络连接 | Error");
}

TEST(ManualUpdate, FailedWriteOfSteamCmdStillRunsTheScript) {
  FakeActions actions;
  actions.deployResult = SteamCmdState::WriteFailed;
  PerformManualUpdate(kPaths, actions, actions);
  EXPECT_EQ(actions.log.back(), "open:" + kData + "Updata_Server.bat|" + kData);
}

TEST(ManualUpdate, UnwritableScriptIsReportedWithItsCauseAndNotOpened) {
  FakeActions actions;
  actions.scriptRefused = SystemError{5, "拒绝访问。"};
  PerformManualUpdate(kPaths, actions, actions);
  EXPECT_EQ(actions.log.back(), "error: 更新失败 - 无法写入 " + kData +
                                    "Updata_Server.bat (拒绝访问。 (0x80070005)) | Error");
}

TEST(AutoUpdate, UntickedWritesAndRunsNothing) {
  FakeActions actions;
  PerformAutoUpdate(false, kPaths, actions, actions.Progress(), actions.Ended());
  EXPECT_EQ(actions.log, Log{"ended"});
}

TEST(AutoUpdate, TickedRunsTheQuotedScriptToItsEnd) {
  FakeActions actions;
  PerformAutoUpdate(true, kPaths, actions, actions.Progress(), actions.Ended());
  EXPECT_EQ(actions.log, (Log{"deploy", "write:" + kData + "Updata_Server_Auto.bat",
                              "run:\"" + kData + "Updata_Server_Auto.bat\"",
                              "log:自动更新服务端: SteamCMD 运行结束, 退出代码 0", "ended"}));
  EXPECT_EQ(actions.written, AutoUpdateScript());
  EXPECT_EQ(actions.progressShown, std::vector<std::string>{"正在安装…"});
}

TEST(AutoUpdate, FailedDownloadSkipsTheScriptAndIsLogged) {
  FakeActions actions;
  actions.deployResult = SteamCmdState::DownloadFailed;
  PerformAutoUpdate(true, kPaths, actions, actions.Progress(), actions.Ended());
  EXPECT_EQ(actions.log, (Log{"deploy",
                              "log:启动前自动更新服务端失败: 下载 SteamCMD 失败 - 请检查网络连接 - "
                              "以已安装的服务端启动",
                              "ended"}));
}

// Whatever kept the update before a start from working, the event log says why and the start
// goes on with the server that is installed. SteamCMD's exit code is logged at every run.
TEST(AutoUpdate, AFailureIsLoggedWithItsCauseAndTheStartGoesOn) {
  const std::string script = kData + "Updata_Server_Auto.bat";
  const std::string failed = "log:启动前自动更新服务端失败: ";
  const std::string installed = " - 以已安装的服务端启动";
  const struct {
    const char* what;
    std::optional<SystemError> scriptRefused;
    ScriptEnd end;
    Log logged;
  } cases[] = {
      {"SteamCMD ran to its end",
       std::nullopt,
       {true, 0, {}},
       {"log:自动更新服务端: SteamCMD 运行结束, 退出代码 0"}},
      {"SteamCMD ended with an error code",
       std::nullopt,
       {true, 8, {}},
       {"log:自动更新服务端: SteamCMD 运行结束, 退出代码 8",
        failed + "SteamCMD 运行结束, 退出代码 8" + installed}},
      {"SteamCMD ended with an error line",
       std::nullopt,
       {true, 8, {}, "Error! App '2394010' state is 0x602 after update job."},
       {"log:自动更新服务端: SteamCMD 运行结束, 退出代码 8 (Error! App '2394010' state is 0x602 "
        "after update job.)",
        failed +
            "SteamCMD 运行结束, 退出代码 8 (Error! App '2394010' state is 0x602 after update "
            "job.)" +
            installed}},
      {"the script's window was closed",
       std::nullopt,
       {true, kConsoleClosedExitCode, {}},
       {"log:自动更新服务端: 更新脚本的窗口在结束前被关闭, SteamCMD 的退出代码未知",
        failed + "更新脚本的窗口在结束前被关闭, SteamCMD 的退出代码未知" + installed}},
      {"the script did not start",
       std::nullopt,
       {false, 0, {2, "系统找不到指定的文件。"}},
       {"log:自动更新服务端: 更新脚本无法运行 (系统找不到指定的文件。 (0x80070002))",
        failed + "无法运行 " + script + " (系统找不到指定的文件。 (0x80070002))" + installed}},
      {"the script could not be written",
       SystemError{5, "拒绝访问。"},
       {true, 0, {}},
       {failed + "无法写入 " + script + " (拒绝访问。 (0x80070005))" + installed}},
  };
  for (const auto& c : cases) {
    FakeActions actions;
    actions.scriptRefused = c.scriptRefused;
    actions.scriptEnd = c.end;
    PerformAutoUpdate(true, kPaths, actions, actions.Progress(), actions.Ended());
    Log logged;
    for (const std::string& line : actions.log) {
      if (line.starts_with("log:")) logged.push_back(line);
    }
    EXPECT_EQ(logged, c.logged) << c.what;
    EXPECT_EQ(actions.log.back(), "ended") << c.what;
  }
}

TEST(ManualUpdate, SteamCmdsExitCodeIsLoggedOnceTheConsoleEnds) {
  FakeActions actions;
  PerformManualUpdate(kPaths, actions, actions);
  ASSERT_TRUE(actions.consoleEnded);
  EXPECT_FALSE(actions.log.back().starts_with("log:")) << "nothing before the console ends";
  actions.consoleEnded({true, 7, {}});
  EXPECT_EQ(actions.log.back(), "log:手动更新服务端: SteamCMD 运行结束, 退出代码 7");
}

}  // namespace
}  // namespace tidemoor
