#include "server/server_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "server/fake_server_world.h"

namespace tidemoor {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace tidemoor::testing;

class ServerControllerTest : public ::testing::Test, protected FakeServerRig {
 protected:
  ServerControllerTest() {
    controls.texts[MainControl::StartButton] = kStartCaption;
    controls.texts[MainControl::StatusLine] = kStatusWaiting;
    settings.launch.gamePort = "8211";
    settings.launch.queryPort = "27015";
    settings.launch.maxPlayers = "32";
    settings.launch.serverName = "Host";
    settings.launch.adminPassword = "admin";
    settings.automation.autoBackupMinutes = "30";
    settings.automation.intervalMinutes = "60";
  }

  // The server ends on its own (crash restart unticked) and the log forgets it.
  void ServerEndsOnItsOwn() {
    settings.automation.crashRestart = false;
    processes.running = false;
    controller.OnMonitorTick();
    ASSERT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
    log.clear();
  }

  // Starts the server and forgets what the start logged.
  void StartServer() {
    controller.Toggle();
    ASSERT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
    log.clear();
  }
};

TEST_F(ServerControllerTest, StartLaunchesAndEntersTheRunningState) {
  settings.automation.hideConsole = true;
  controller.Toggle();

  EXPECT_THAT(log, ElementsAre("save", "world settings Host//admin no api 8212",
                               "launch " + executable + " in " + std::string(kServerDir),
                               "random 2..9", "monitor 7000", "backup 0", "console 4120 hidden"));
  EXPECT_EQ(processes.launchedCommandLine,
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
            "-players=32 -servername=\"Host\" -serverpassword=\"\" -adminpassword=admin");
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
  EXPECT_EQ(processes.heldId, 4120u);
  EXPECT_EQ(controller.MonitorTicks(), 0u);
  EXPECT_EQ(controls.Text(MainControl::StatusLine),
            "运行中  ···  内核版本 (Run:0.1.5.0)  ···  2026年12月7日 - 18时:05分:09秒");
}

TEST_F(ServerControllerTest, StartRunsTheUpdateFirstOnlyWhenAsked) {
  settings.automation.autoUpdate = true;
  controller.Toggle();
  ASSERT_GE(log.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 2),
              ElementsAre("save", "update"));
  EXPECT_EQ(log[3].rfind("launch ", 0), 0u);
}

// The window answers during the update: the user may close the tool, or ask for a manual update
// or a restore, whose stop must not pull the start out from under SteamCMD.
TEST_F(ServerControllerTest, WhatHappensDuringTheAutomaticUpdateLaunchesNothingItShouldNot) {
  settings.automation.autoUpdate = true;
  bool stopped = true;
  steps.duringUpdate = [&] { stopped = Stop().value(); };
  controller.Toggle();
  EXPECT_FALSE(stopped);
  EXPECT_TRUE(processes.running);
  EXPECT_EQ(controller.State(), ServerState::Running);

  Stop();
  log.clear();
  steps.duringUpdate = [this] { controller.Cancel(); };
  controller.Toggle();
  EXPECT_THAT(log, ElementsAre("save", "update"));
  EXPECT_FALSE(processes.running);
}

// The launcher settles off the window's thread: a press meanwhile does nothing, a stop asked
// meanwhile (the manual update's, the restore's) is refused, and a tool closed meanwhile tells no
// start and leaves the server to itself.
TEST_F(ServerControllerTest, WhatHappensWhileTheLauncherSettlesStartsNothingMore) {
  bool stopped = true;
  processes.duringLaunch = [&] {
    EXPECT_EQ(controller.Step(), ServerStep::Launching);
    controller.Toggle();
    stopped = Stop().value();
  };
  controller.Toggle();
  EXPECT_FALSE(stopped);
  EXPECT_EQ(controller.State(), ServerState::Running);
  EXPECT_EQ(controller.Step(), ServerStep::Idle);

  Stop();
  log.clear();
  processes.duringLaunch = [this] { controller.Cancel(); };
  controller.Toggle();
  EXPECT_THAT(log, ElementsAre("save", "world settings Host//admin no api 8212",
                               "launch " + executable + " in " + std::string(kServerDir)));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
  EXPECT_TRUE(processes.running);
}

TEST_F(ServerControllerTest, UnreadableVersionShowsUnknown) {
  processes.version = "";
  controller.Toggle();
  EXPECT_EQ(controls.Text(MainControl::StatusLine),
            "运行中  ···  内核版本 (Run:Unknown)  ···  2026年12月7日 - 18时:05分:09秒");
}

TEST_F(ServerControllerTest, BackupTimerFollowsItsBoxAndMinutes) {
  struct Case {
    bool ticked;
    std::string minutes;
    unsigned period;
  };
  for (const Case& c : {Case{true, "30", 1'800'000u}, Case{true, "３０", 1'800'000u},
                        Case{false, "30", 0u}, Case{true, "0", 0u}, Case{true, "abc", 0u},
                        Case{true, "-5", 0u}, Case{true, "99999999", 35791u * 60000u}}) {
    settings.automation.autoBackup = c.ticked;
    settings.automation.autoBackupMinutes = c.minutes;
    controller.Toggle();
    EXPECT_EQ(controls.timers[MainControl::AutoBackupTimer], c.period) << c.minutes;
    ServerEndsOnItsOwn();
  }
}

TEST_F(ServerControllerTest, FailedLaunchShowsTheErrorAndStaysStopped) {
  processes.nextId = 0;
  controller.Toggle();
  const std::string cause = executable + " (系统找不到指定的文件。 (0x80070002))";
  EXPECT_EQ(log.back(),
            std::string("error") + kStartErrorText + "\r\n 无法启动 " + cause + "|" + kErrorTitle);
  EXPECT_EQ(events.lines.back(), "启动服务端失败: " + cause);
  EXPECT_EQ(log.front(), "save");
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
  EXPECT_EQ(controls.Text(MainControl::StatusLine), kStatusWaiting);
  EXPECT_TRUE(controls.timers.empty());
  EXPECT_EQ(processes.heldId, 0u);
}

TEST_F(ServerControllerTest, RefusedLaunchValuesLaunchNothingAndSayWhy) {
  settings.automation.autoUpdate = true;
  struct Case {
    std::string LaunchOptions::*field;
    const char* typed;
    const char* refusal;
  };
  const Case cases[] = {{&LaunchOptions::joinPassword, "pass\"word", kQuoteErrorText},
                        {&LaunchOptions::maxPlayers, "32 -x", kNumberErrorText},
                        {&LaunchOptions::serverName, "Host\\", kBackslashErrorText}};
  for (const auto& [field, typed, refusal] : cases) {
    const std::string before = settings.launch.*field;
    settings.launch.*field = typed;
    log.clear();
    controller.Toggle();
    EXPECT_THAT(log, ElementsAre("save", std::string("error") + refusal + "|" + kErrorTitle));
    EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
    EXPECT_TRUE(controls.timers.empty());
    settings.launch.*field = before;
  }
}

TEST_F(ServerControllerTest, ServerLeftRunningByAnEarlierRunIsAdoptedNotLaunchedAgain) {
  processes.runningFromEarlierRun = 777;
  settings.automation.autoUpdate = true;
  settings.automation.autoBackup = true;
  controller.Toggle();

  EXPECT_THAT(log, ElementsAre("save", "adopt " + executable, "random 2..9", "monitor 7000",
                               "backup 1800000", "console 777 shown"));
  EXPECT_EQ(processes.heldId, 777u);
  EXPECT_EQ(controller.MonitorTicks(), 0u);
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
  EXPECT_EQ(controls.Text(MainControl::StatusLine).rfind("运行中  ···  内核版本 (Run:0.1.5.0)", 0),
            0u);

  log.clear();
  controller.Toggle();  // and a stop then ends it
  EXPECT_THAT(log, ::testing::Contains("kill 777"));
}

TEST_F(ServerControllerTest, PressWhileRunningAsksAndNoKeepsTheServer) {
  StartServer();
  messages.answerYes = false;
  controller.Toggle();
  EXPECT_THAT(log,
              ElementsAre("save", std::string("ask") + kStopQuestion + "|" + kStopQuestionTitle));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
  EXPECT_TRUE(processes.running);
}

TEST_F(ServerControllerTest, StopStopsTheMonitorFirstThenKillsTheTree) {
  StartServer();
  controls.timers[MainControl::AutoBackupTimer] = 1'800'000;
  controller.Toggle();
  EXPECT_THAT(log,
              ElementsAre("save", std::string("ask") + kStopQuestion + "|" + kStopQuestionTitle,
                          "monitor 0", "wait 1", "kill 4120"));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
  EXPECT_EQ(controls.Text(MainControl::StatusLine), kStatusAfterStop);
  EXPECT_EQ(controls.timers[MainControl::AutoBackupTimer], 1'800'000u);
  EXPECT_EQ(processes.heldId, 4120u);
}

TEST_F(ServerControllerTest, StopKillsNothingUnlessTheHeldLauncherStillRuns) {
  Stop();  // before the first start, as the manual update does
  EXPECT_THAT(log, ElementsAre("monitor 0", "wait 1"));
  EXPECT_EQ(controls.Text(MainControl::StatusLine), kStatusAfterStop);

  StartServer();
  processes.running = false;  // ended on its own; its id may name another process by now
  Stop();
  EXPECT_THAT(log, ElementsAre("monitor 0", "wait 1"));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
}

TEST_F(ServerControllerTest, MonitorCountsTicksAndLeavesARunningServerAlone) {
  StartServer();
  controller.OnMonitorTick();
  controller.OnMonitorTick();
  EXPECT_EQ(controller.MonitorTicks(), 2u);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(ServerControllerTest, CrashWithoutAutoRestartOnlyShowsStopped) {
  StartServer();
  const std::string statusLine = controls.Text(MainControl::StatusLine);
  processes.running = false;
  controller.OnMonitorTick();
  EXPECT_THAT(log, ElementsAre("monitor 0"));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
  EXPECT_EQ(controls.Text(MainControl::StatusLine), statusLine);
}

TEST_F(ServerControllerTest, CrashWithAutoRestartStartsAgainAfterTwoSeconds) {
  settings.automation.crashRestart = true;
  StartServer();
  processes.running = false;
  steps.drawn = 3;
  steps.worldConfirmed = false;  // a restart asks nothing; this answer would call it off
  controller.OnMonitorTick();
  EXPECT_THAT(log,
              ElementsAre("monitor 0", "wait 2", "save", "world settings Host//admin no api 8212",
                          "launch " + executable + " in " + std::string(kServerDir), "random 2..9",
                          "monitor 3000", "backup 0", "console 4121 shown"));
  EXPECT_EQ(processes.heldId, 4121u);
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
}

// The user's own start asks about the loaded world and may be called off there; a start nobody is
// there for (a restart, the start at sign-in) never waits on a question: it notes what it would
// have asked, goes on, and what it has to say waits in turn.
TEST_F(ServerControllerTest, OnlyTheUsersStartAsksAboutTheLoadedWorld) {
  steps.worldConfirmed = false;
  controller.Toggle();
  EXPECT_THAT(log, ElementsAre("save"));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);
  EXPECT_EQ(steps.worldQuestions, 1);
  EXPECT_EQ(steps.worldNotes, 0);

  log.clear();
  controller.StartUnattended();
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
  EXPECT_EQ(steps.worldQuestions, 1);
  EXPECT_EQ(steps.worldNotes, 1);
  EXPECT_THAT(log, Contains("save"));
  controller.StartUnattended();
  EXPECT_EQ(steps.worldNotes, 1);  // a running server is left as it is

  const struct {
    bool unattended;
    const char* shown;
  } cases[] = {{false, "error"}, {true, "in turn"}};
  for (const auto& [unattended, shown] : cases) {
    FakeServerRig rig;
    rig.settings.launch.gamePort = "port";
    if (unattended) {
      rig.controller.StartUnattended();
    } else {
      rig.controller.Toggle();
    }
    EXPECT_THAT(rig.log, Contains(std::string(shown) + kNumberErrorText + "|" + kErrorTitle));
  }
}

TEST_F(ServerControllerTest, ClickDuringTheRestartWaitLeadsToAQuestionNotASecondServer) {
  settings.automation.crashRestart = true;
  StartServer();
  processes.running = false;
  messages.answerYes = false;
  clock.duringWait = [this] { controller.Toggle(); };
  controller.OnMonitorTick();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& line) { return line.rfind("launch", 0) == 0; }),
            1);
  EXPECT_EQ(log.back(), std::string("ask") + kStopQuestion + "|" + kStopQuestionTitle);
}

// The window closed while a restart waited: its controls are gone, the settings were saved for
// the last time, and a start now would save empty values and launch from them.
TEST_F(ServerControllerTest, NothingRunsOnAfterAWaitThatTheToolClosedDuring) {
  settings.automation.crashRestart = true;
  StartServer();
  processes.running = false;
  clock.duringWait = [this] { controller.Cancel(); };
  controller.OnMonitorTick();
  EXPECT_THAT(log, ElementsAre("monitor 0", "wait 2"));

  StartServer();
  clock.duringWait = [this] { controller.Cancel(); };
  EXPECT_EQ(Stop(), std::nullopt);
  EXPECT_THAT(log, ElementsAre("monitor 0", "wait 1"));
  EXPECT_TRUE(processes.running);
}

// The update watcher's restart: the files are replaced while the server is down and the button
// starts nothing meanwhile; the start after it runs no second update and asks nothing.
TEST_F(ServerControllerTest, UpdateAndRestartUpdatesWhileStoppedThenStartsUnasked) {
  EXPECT_FALSE(controller.UpdateAndRestart([](std::function<void()>) { FAIL(); }));
  settings.automation.autoUpdate = true;
  StartServer();
  steps.worldConfirmed = false;
  const int questions = steps.worldQuestions;
  std::function<void()> updated;
  ASSERT_TRUE(controller.UpdateAndRestart([&](std::function<void()> then) {
    log.push_back("watcher update");
    updated = std::move(then);
  }));
  ASSERT_TRUE(updated);
  EXPECT_FALSE(processes.running);
  controller.Toggle();
  EXPECT_EQ(std::count(log.begin(), log.end(), "save"), 0);
  updated();
  EXPECT_EQ(std::count(log.begin(), log.end(), "watcher update"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "update"), 0);
  EXPECT_EQ(steps.worldQuestions, questions);
  EXPECT_TRUE(processes.running);
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
}

TEST_F(ServerControllerTest, AServerLeftRunningIsTakenOverAtStartUp) {
  controller.AdoptServerLeftRunning();
  EXPECT_THAT(log, IsEmpty());
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStartCaption);

  processes.runningFromEarlierRun = 777;
  settings.automation.hideConsole = true;
  controller.AdoptServerLeftRunning();
  EXPECT_THAT(log, ElementsAre("adopt " + executable, "random 2..9", "monitor 7000", "backup 0",
                               "console 777 hidden"));
  EXPECT_EQ(controls.Text(MainControl::StartButton), kStopCaption);
  EXPECT_EQ(processes.heldId, 777u);
  EXPECT_EQ(controls.Text(MainControl::StatusLine),
            "运行中  ···  内核版本 (Run:0.1.5.0)  ···  2026年12月7日 - 18时:05分:09秒");
}

TEST_F(ServerControllerTest, IntervalRestartFollowsElapsedTimeNotTicks) {
  settings.automation.intervalRestart = true;
  settings.automation.intervalMinutes = "60";
  StartServer();

  clock.now += 60 * 60'000 - 1;
  for (int tick = 0; tick < 2000; ++tick) controller.OnMonitorTick();
  EXPECT_THAT(log, IsEmpty());

  clock.now += 1;
  controller.OnMonitorTick();
  ASSERT_GE(log.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 4),
              ElementsAre("monitor 0", "kill 4120", "wait 2", "save"));
  EXPECT_EQ(processes.heldId, 4121u);
  EXPECT_EQ(controller.MonitorTicks(), 0u);

  // The next hour counts from the new start.
  log.clear();
  clock.now += 60 * 60'000 - 1;
  controller.OnMonitorTick();
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(ServerControllerTest, ADueIntervalRestartWaitsForABackupCopyToFinish) {
  settings.automation.intervalRestart = true;
  bool copying = true;
  controller.SetCopyRunning([&] { return copying; });
  StartServer();
  clock.now += 60 * 60'000;
  for (const bool copyEnds : {false, false, true}) {
    copying = !copyEnds;
    controller.OnMonitorTick();
    EXPECT_EQ(processes.heldId == 4121u, copyEnds) << "restarted while a copy reads the save";
  }
}

TEST_F(ServerControllerTest, HugeIntervalMinutesNeverOverflowIntoARestart) {
  settings.automation.intervalRestart = true;
  settings.automation.intervalMinutes = "99999999999999999999999";
  StartServer();
  clock.now += 1'000'000LL * 60'000;
  controller.OnMonitorTick();
  EXPECT_THAT(log, IsEmpty());
  clock.now += 2'147'483'647LL * 60'000;
  controller.OnMonitorTick();
  EXPECT_THAT(log, ::testing::Contains("kill 4120"));
}

TEST_F(ServerControllerTest, IntervalRestartNeverComesForZeroOrNoMinutesOrAnUntickedBox) {
  for (const char* minutes : {"0", "-3", "abc", ""}) {
    settings.automation.intervalRestart = true;
    settings.automation.intervalMinutes = minutes;
    StartServer();
    clock.now += 1'000LL * 60'000;
    controller.OnMonitorTick();
    EXPECT_THAT(log, IsEmpty()) << minutes;
    ServerEndsOnItsOwn();
  }
  settings.automation.intervalRestart = false;
  settings.automation.intervalMinutes = "1";
  StartServer();
  clock.now += 1'000LL * 60'000;
  controller.OnMonitorTick();
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(ServerControllerTest, ConsoleBoxActsOnTheLastLauncher) {
  StartServer();
  controller.SetConsoleHidden(true);
  controller.SetConsoleHidden(false);
  EXPECT_THAT(log, ElementsAre("console 4120 hidden", "console 4120 shown"));
}

}  // namespace
}  // namespace tidemoor
