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
  void OpenScript(const std::string& path, const std::string& dir) override {
    log.push_back("open:" + path + "|" + dir);
  }
  void RunToEnd(const std::string& commandLine, std::function<void()> done) override {
    log.push_back("run:" + commandLine);
    done();
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
  std::vector<std::string> log;
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
  PerformAutoUpdate(false, kPaths, actions, actions.Ended());
  EXPECT_EQ(actions.log, Log{"ended"});
}

TEST(AutoUpdate, TickedRunsTheQuotedScriptToItsEnd) {
  FakeActions actions;
  PerformAutoUpdate(true, kPaths, actions, actions.Ended());
  EXPECT_EQ(actions.log, (Log{"deploy", "write:" + kData + "Updata_Server_Auto.bat",
                              "run:\"" + kData + "Updata_Server_Auto.bat\"", "ended"}));
  EXPECT_EQ(actions.written, AutoUpdateScript());
}

TEST(AutoUpdate, FailedDownloadSkipsTheScriptSilently) {
  FakeActions actions;
  actions.deployResult = SteamCmdState::DownloadFailed;
  PerformAutoUpdate(true, kPaths, actions, actions.Ended());
  EXPECT_EQ(actions.log, (Log{"deploy", "ended"}));
}

}  // namespace
}  // namespace tidemoor
