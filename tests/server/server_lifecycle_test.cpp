// The safe stop through the server's REST API, the restart notices, and the hang and crash-loop
// guards, decided by the controller over fakes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "server/fake_server_world.h"
#include "server/server_guards.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace tidemoor {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using namespace tidemoor::testing;

constexpr int64_t kMinute = 60'000;

std::string Notice(int index) {
  return index < 0 ? "none" : std::string(kRestartNotices[index].text);
}

TEST(ServerGuards, RestartNoticesComeOnceEachAndOnlyWhenTheyFit) {
  // A two-hour interval: five minutes before, then one minute before, each once.
  const int64_t interval = 120 * kMinute;
  EXPECT_EQ(Notice(DueRestartNotice(interval, 0, 0)), "none");
  EXPECT_EQ(Notice(DueRestartNotice(interval, 115 * kMinute - 1, 0)), "none");
  EXPECT_EQ(Notice(DueRestartNotice(interval, 115 * kMinute, 0)), "服务器将在 5 分钟后重启");
  EXPECT_EQ(Notice(DueRestartNotice(interval, 116 * kMinute, 0b01)), "none");
  EXPECT_EQ(Notice(DueRestartNotice(interval, 119 * kMinute, 0b01)), "服务器将在 1 分钟后重启");
  EXPECT_EQ(Notice(DueRestartNotice(interval, 119 * kMinute + 30'000, 0b11)), "none");
  EXPECT_EQ(Notice(DueRestartNotice(interval, interval, 0)), "none") << "the restart itself";
  // Missed (the box was ticked late): a five-minute notice is never given with one minute left.
  EXPECT_EQ(Notice(DueRestartNotice(interval, 119 * kMinute, 0)), "服务器将在 1 分钟后重启");
  EXPECT_EQ(Notice(DueRestartNotice(interval, 119 * kMinute + 1, 0b10)), "none");

  // Short intervals get only the notices that fit after the start.
  EXPECT_EQ(Notice(DueRestartNotice(5 * kMinute, 0, 0)), "none");
  EXPECT_EQ(Notice(DueRestartNotice(5 * kMinute, 4 * kMinute, 0)), "服务器将在 1 分钟后重启");
  EXPECT_EQ(Notice(DueRestartNotice(2 * kMinute, kMinute, 0)), "服务器将在 1 分钟后重启");
  EXPECT_EQ(Notice(DueRestartNotice(6 * kMinute, kMinute, 0)), "服务器将在 5 分钟后重启");
  for (int64_t elapsed = 0; elapsed < kMinute; elapsed += 1000) {
    EXPECT_EQ(Notice(DueRestartNotice(kMinute, elapsed, 0)), "none");
  }
}

// Each step: awake time passes (or the PC sleeps), the watch may send a request, and the reply
// to the request under way comes (answered or not) or the PC wakes.
TEST(ServerGuards, HangNeedsAnEarlierAnswerThenSilentRequestsOverThreeAwakeMinutes) {
  enum Reply { Answer, Silence, Nothing, Wake };
  struct Step {
    int64_t seconds;
    Reply reply;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    bool hung;
  };
  const auto repeat = [](int times, Step step) { return std::vector<Step>(times, step); };
  const auto join = [](std::initializer_list<std::vector<Step>> parts) {
    std::vector<Step> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  const Case cases[] = {
      {"an API that never answered is simply off", repeat(20, {30, Silence}), false},
      {"one answer in between starts the count anew",
       join({{{0, Answer}}, repeat(4, {30, Silence}), {{30, Answer}}, repeat(6, {30, Silence})}),
       false},
      {"one lost reply after a long quiet is not a hang",
       {{0, Answer}, {200, Silence}, {5, Nothing}, {5, Nothing}},
       false},
      {"two requests over three minutes are too few",
       {{0, Answer}, {1, Silence}, {200, Silence}},
       false},
      {"three silent requests, the first a second short of three minutes ago",
       {{0, Answer}, {1, Silence}, {30, Silence}, {30, Silence}, {119, Nothing}},
       false},
      {"three silent requests, the first three minutes ago",
       {{0, Answer}, {1, Silence}, {30, Silence}, {30, Silence}, {120, Nothing}},
       true},
      {"monitor ticks every 5 s for three minutes", join({{{0, Answer}}, repeat(37, {5, Silence})}),
       true},
      {"the PC woke up: what went before does not count",
       join({{{0, Answer}}, repeat(5, {30, Silence}), {{0, Wake}}, repeat(3, {30, Silence})}),
       false},
      {"after a wake, silence counts again once the server answered",
       join({{{0, Answer}, {0, Wake}, {1, Answer}}, repeat(7, {30, Silence})}), true},
  };
  for (const Case& c : cases) {
    HangWatch watch;
    watch.Reset();
    int64_t now = 0;
    uint32_t ticket = 0;
    for (const Step& step : c.steps) {
      now += step.seconds * 1000;
      if (step.reply == Wake) {
        watch.Reset();
        continue;
      }
      if (watch.MayAsk(now)) ticket = watch.Asked(now);
      // A reply given twice counts once.
      if (step.reply != Nothing) watch.Replied(ticket, step.reply == Answer);
    }
    EXPECT_EQ(watch.Hung(now), c.hung) << c.what;
  }
}

TEST(ServerGuards, AReplyFromBeforeAWakeIsDropped) {
  HangWatch watch;
  watch.Reset();
  watch.Replied(watch.Asked(0), true);
  const uint32_t beforeSleep = watch.Asked(1000);
  watch.Reset();
  EXPECT_TRUE(watch.MayAsk(1000)) << "the request lost in the sleep holds nothing up";
  const uint32_t afterWake = watch.Asked(1000);
  watch.Replied(beforeSleep, false);
  EXPECT_FALSE(watch.MayAsk(1000)) << "the new request is still under way";
  watch.Replied(afterWake, false);
  EXPECT_TRUE(watch.MayAsk(1000)) << "no answer since the wake: not yet silent";

  watch.Replied(watch.Asked(2000), true);
  watch.Replied(watch.Asked(3000), false);
  EXPECT_FALSE(watch.MayAsk(3000 + kHangRequestSpacing - 1)) << "a silent server is asked less";
  EXPECT_TRUE(watch.MayAsk(3000 + kHangRequestSpacing));
}

TEST(ServerGuards, ThirdCrashWithinTenMinutesStopsRestarts) {
  CrashLoopGuard guard;
  EXPECT_TRUE(guard.RecordCrash(0));
  EXPECT_TRUE(guard.RecordCrash(5 * kMinute));
  EXPECT_FALSE(guard.RecordCrash(10 * kMinute)) << "exactly ten minutes is within";

  guard.Reset();
  EXPECT_TRUE(guard.RecordCrash(0));
  EXPECT_TRUE(guard.RecordCrash(6 * kMinute));
  EXPECT_TRUE(guard.RecordCrash(10 * kMinute + 1)) << "the first has dropped out";
  EXPECT_FALSE(guard.RecordCrash(12 * kMinute));
}

class ServerLifecycleTest : public ::testing::Test, protected FakeServerRig {
 protected:
  ServerLifecycleTest() {
    settings.launch.gamePort = "8211";
    settings.launch.queryPort = "27015";
    settings.launch.maxPlayers = "32";
    settings.launch.serverName = "Host";
    settings.launch.adminPassword = "pw";
    settings.automation.intervalMinutes = "60";
    settings.automation.restApiPort = "8300";
    settings.automation.safeStop = true;
    settings.automation.restartNotice = true;
    settings.automation.hangRestart = true;
  }

  void StartServer() {
    controller.Toggle();
    ASSERT_EQ(controller.State(), ServerState::Running);
    log.clear();
    events.lines.clear();
  }

  void StopWithYes() { controller.Toggle(); }

  int Launches() const {
    return static_cast<int>(std::count_if(log.begin(), log.end(), [](const std::string& line) {
      return line.rfind("launch", 0) == 0;
    }));
  }
};

TEST_F(ServerLifecycleTest, EveryStartWritesTheWorldSettingsBeforeTheLaunch) {
  controller.Toggle();
  const std::string wanted = "world settings Host//pw api 8300";
  EXPECT_THAT(log, Contains(wanted));
  EXPECT_LT(std::find(log.begin(), log.end(), wanted) - log.begin(),
            std::find_if(log.begin(), log.end(), [](const std::string& l) {
              return l.rfind("launch", 0) == 0;
            }) - log.begin());
  EXPECT_THAT(events.lines, ElementsAre("启动服务端 (进程 4120, 版本 0.1.5.0)"));

  Stop();
  settings.automation.safeStop = false;
  settings.launch.joinPassword = "join";
  log.clear();
  controller.Toggle();
  EXPECT_THAT(log, Contains("world settings Host/join/pw no api 8300"));
}

TEST_F(ServerLifecycleTest, StopAsksForSaveThenShutdownAndKillsNothing) {
  StartServer();
  StopWithYes();
  EXPECT_THAT(
      log,
      ElementsAre("save", std::string("ask") + kStopQuestion + "|" + kStopQuestionTitle,
                  "monitor 0", "ask info 2s", "ask save 30s",
                  R"(ask shutdown {"message":"服务器即将关闭","waittime":1} 30s)", "wait end 61"));
  EXPECT_EQ(api.asked.front().url, "http://127.0.0.1:8300/v1/api/info");
  EXPECT_EQ(api.asked.front().headers, "Authorization: Basic " + Base64("admin:pw") + "\r\n");
  EXPECT_EQ(controller.State(), ServerState::Stopped);
  EXPECT_EQ(controls.Text(MainControl::StatusLine), kStatusAfterStop);
  EXPECT_THAT(events.lines,
              ElementsAre("已安全关闭服务端 (进程 4120, 存档 40 毫秒, 关闭 40 毫秒)"));
}

TEST_F(ServerLifecycleTest, EveryUnansweredStepFallsBackToTheKillAndSaysWhy) {
  struct Case {
    const char* silentPath;
    int status;
    bool endsWhenAsked;
    const char* lastStep;
    const char* why;
  };
  const Case cases[] = {
      {"info", 0, true, "ask info 2s", "REST API 未响应 (端口 8300)"},
      {"info", 401, true, "ask info 2s", "REST API 拒绝了管理员密码 (端口 8300)"},
      {"shutdown", 0, true, "kill 4120", "强制结束服务端进程树 (进程 4120): 关闭请求没有回应"},
      {"none", 200, false, "wait end 61",
       "强制结束服务端进程树 (进程 4120): 关闭请求后 61 秒仍未退出"},
  };
  for (const Case& c : cases) {
    api.status = {{c.silentPath, c.status}};
    processes.endsWhenAsked = c.endsWhenAsked;
    StartServer();
    EXPECT_EQ(Stop(), true);
    EXPECT_EQ(log.back(), "kill 4120") << c.silentPath;
    EXPECT_THAT(log, Contains(c.lastStep));
    EXPECT_TRUE(events.Holds(c.why)) << c.why;
    EXPECT_EQ(controls.Text(MainControl::StatusLine), kStatusAfterStop);
    EXPECT_FALSE(processes.running);
    processes.nextId = 4120;
  }
  // A silent info costs its two seconds and nothing more: no save, no shutdown is asked.
  api.status = {{"info", 0}};
  StartServer();
  Stop();
  EXPECT_THAT(log, ElementsAre("monitor 0", "ask info 2s", "kill 4120"));
}

TEST_F(ServerLifecycleTest, UntickedSafeStopKillsAsBefore) {
  settings.automation.safeStop = false;
  StartServer();
  Stop();
  EXPECT_THAT(log, ElementsAre("monitor 0", "wait 1", "kill 4120"));
  EXPECT_THAT(events.lines, ElementsAre("强制结束服务端进程树 (进程 4120): 未勾选安全关服"));
}

// The tool closing during a wait of the stop: its windows are gone, and nothing may run on.
TEST_F(ServerLifecycleTest, ClosingTheToolWhileTheApiIsAskedEndsTheStopWithoutAKill) {
  StartServer();
  api.duringAsk = [this] { api.duringAsk = [this] { controller.Cancel(); }; };
  EXPECT_EQ(Stop(), std::nullopt);
  EXPECT_THAT(log, ElementsAre("monitor 0", "ask info 2s", "ask save 30s"));
  EXPECT_TRUE(processes.running);
}

TEST_F(ServerLifecycleTest, ClosingTheToolWhileTheServerEndsLeavesItToEnd) {
  StartServer();
  processes.endsWhenAsked = false;
  processes.duringEndWait = [this] { controller.Cancel(); };
  EXPECT_EQ(Stop(), std::nullopt);
  EXPECT_EQ(log.back(), "wait end 61");
  EXPECT_TRUE(processes.running);
  EXPECT_THAT(events.lines, IsEmpty());
}

// Closing the tool cancels a stop or a restart wherever it waits: no later step runs, the server
// is left to itself, and whoever waited for the stop is never told.
TEST_F(ServerLifecycleTest, ACancelledStopOrRestartRunsNoLaterStep) {
  struct Case {
    bool safeStop;
    bool restart;  // the settings window's restart rather than a stop
    int answered;  // replies given before the cancellation
    std::string lastStep;
    ServerStep step;
    bool serverRuns;
  };
  const Case cases[] = {
      {true, false, 0, "ask info 2s", ServerStep::AskingInfo, true},
      {true, false, 1, "ask save 30s", ServerStep::Saving, true},
      {true, false, 2, R"(ask shutdown {"message":"服务器即将关闭","waittime":1} 30s)",
       ServerStep::ShuttingDown, true},
      {false, false, 0, "wait 1", ServerStep::Pausing, true},
      {true, true, 3, "wait 2", ServerStep::Pausing, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lastStep);
    FakeServerRig rig;
    rig.settings.launch = settings.launch;
    rig.settings.automation = settings.automation;
    rig.settings.automation.safeStop = c.safeStop;
    rig.controller.Toggle();
    rig.api.holdsReplies = true;
    rig.clock.holdsPauses = true;
    rig.log.clear();
    rig.events.lines.clear();
    bool told = false;
    if (c.restart) {
      rig.controller.Restart();
    } else {
      rig.controller.Stop([&told](bool) { told = true; });
    }
    for (int reply = 0; reply < c.answered; ++reply) rig.api.AnswerOldestAsk();
    EXPECT_EQ(rig.controller.Step(), c.step);

    rig.controller.Cancel();
    while (!rig.api.held.empty()) rig.api.AnswerOldestAsk();
    rig.clock.Advance(kMinute);
    EXPECT_EQ(rig.log.back(), c.lastStep);
    EXPECT_FALSE(told);
    EXPECT_EQ(rig.processes.running, c.serverRuns);
    EXPECT_FALSE(rig.events.Holds("强制结束"));
  }
}

TEST_F(ServerLifecycleTest, PressesDuringAStopOrAStartDoNothing) {
  StartServer();
  int pressesSeen = 0;
  api.duringAsk = [&] {
    ++pressesSeen;
    controller.Toggle();
    EXPECT_EQ(Stop(), false) << "a second stop while one runs";
  };
  Stop();
  EXPECT_EQ(pressesSeen, 1);
  EXPECT_THAT(log, Not(Contains("save")));
  EXPECT_EQ(std::count(log.begin(), log.end(), "ask info 2s"), 1);
  EXPECT_EQ(controller.State(), ServerState::Stopped);

  log.clear();
  settings.automation.autoUpdate = true;
  steps.duringUpdate = [&] { controller.Toggle(); };
  controller.Toggle();
  EXPECT_EQ(Launches(), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "save"), 1);
}

TEST_F(ServerLifecycleTest, IntervalRestartAnnouncesThenShutsDownWithTenSecondsAndStartsAgain) {
  settings.automation.hangRestart = false;
  settings.automation.intervalRestart = true;
  settings.automation.intervalMinutes = "60";
  StartServer();

  clock.now += 50 * kMinute;
  controller.OnMonitorTick();
  EXPECT_THAT(log, IsEmpty());
  clock.now += 5 * kMinute;
  controller.OnMonitorTick();
  controller.OnMonitorTick();
  clock.now += 4 * kMinute;
  controller.OnMonitorTick();
  controller.OnMonitorTick();
  EXPECT_EQ(
      std::count(log.begin(), log.end(), R"(send announce {"message":"服务器将在 5 分钟后重启"})"),
      1);
  EXPECT_EQ(
      std::count(log.begin(), log.end(), R"(send announce {"message":"服务器将在 1 分钟后重启"})"),
      1);

  log.clear();
  clock.now += kMinute;
  controller.OnMonitorTick();
  EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 6),
              ElementsAre("monitor 0", "ask info 2s", "ask save 30s",
                          R"(ask shutdown {"message":"服务器即将重启","waittime":10} 30s)",
                          "wait end 70", "wait 2"));
  EXPECT_THAT(log, Not(Contains("kill 4120")));
  EXPECT_EQ(Launches(), 1);
  EXPECT_EQ(controller.State(), ServerState::Running);
  EXPECT_TRUE(events.Holds("定时重启服务端 (进程 4120)"));
  EXPECT_TRUE(events.Holds("已安全关闭服务端"));
  EXPECT_TRUE(events.Holds("启动服务端 (进程 4121"));

  // The new run gives its notices again; an unticked box gives none.
  log.clear();
  settings.automation.restartNotice = false;
  clock.now += 59 * kMinute;
  controller.OnMonitorTick();
  EXPECT_THAT(log, Not(Contains(::testing::HasSubstr("announce"))));
}

TEST_F(ServerLifecycleTest, ASilentServerIsKilledAfterThreeMinutesAndRestartedAsACrash) {
  settings.automation.crashRestart = true;
  StartServer();

  controller.OnMonitorTick();
  controller.OnMonitorTick();
  EXPECT_EQ(api.sent.size(), 1u) << "one request in flight at a time";
  api.ReplyToOldest(200);
  const int64_t lastAnswer = clock.now;
  size_t killTick = 0;
  // Three silent replies; the request after them is still under way when the server is killed.
  for (int silent = 0; Launches() == 0 && clock.now - lastAnswer < 10 * kMinute;) {
    clock.now += 10'000;
    killTick = log.size();
    controller.OnMonitorTick();
    if (Launches() == 0 && !api.sent.empty() && silent++ < 3) api.ReplyToOldest(0);
  }
  EXPECT_GE(clock.now - lastAnswer, 3 * kMinute);
  EXPECT_LE(clock.now - lastAnswer, 4 * kMinute);
  ASSERT_GE(log.size(), killTick + 4);
  EXPECT_THAT(std::vector<std::string>(log.begin() + killTick, log.begin() + killTick + 4),
              ElementsAre("monitor 0", "kill 4120", "monitor 0", "wait 2"));
  EXPECT_EQ(Launches(), 1);
  EXPECT_TRUE(events.Holds("服务端超过 3 分钟没有响应, 按崩溃处理 (进程 4120)"));
  EXPECT_TRUE(events.Holds("无响应后自动重启服务端"));

  // A reply to the old run's request, late, does not count for the new run, which never answered.
  ASSERT_EQ(api.sent.size(), 1u) << "still waiting for the old run's last request";
  controller.OnMonitorTick();
  ASSERT_EQ(api.sent.size(), 2u);
  api.ReplyToOldest(200);
  for (int tick = 0; tick < 60; ++tick) {
    if (!api.sent.empty()) api.ReplyToOldest(0);
    clock.now += 10'000;
    controller.OnMonitorTick();
  }
  EXPECT_THAT(log, Not(Contains("kill 4121")));
}

// The PC slept with the server's last request under way: the request fails as it wakes, and the
// time asleep is no silence of the server's, whether or not the wake was announced.
TEST_F(ServerLifecycleTest, SleepIsNeverTakenForAHang) {
  for (const bool wakeAnnounced : {true, false}) {
    settings.automation.crashRestart = true;
    StartServer();
    api.sent.clear();
    controller.OnMonitorTick();
    api.ReplyToOldest(200);
    controller.OnMonitorTick();
    ASSERT_EQ(api.sent.size(), 1u);

    clock.now += 8 * 60 * kMinute;
    clock.asleep += 8 * 60 * kMinute;
    if (wakeAnnounced) controller.OnResumedFromSleep();
    api.ReplyToOldest(0);
    for (int tick = 0; tick < 6; ++tick) {
      clock.now += 5'000;
      controller.OnMonitorTick();
      if (!api.sent.empty()) api.ReplyToOldest(tick < 3 ? 0 : 200);
    }
    EXPECT_EQ(controller.State(), ServerState::Running) << wakeAnnounced;
    EXPECT_THAT(log, Not(Contains("kill 4120"))) << wakeAnnounced;
    EXPECT_THAT(events.lines, IsEmpty());
    Stop();
    processes.nextId = 4120;
  }
}

TEST_F(ServerLifecycleTest, AServerWithoutTheApiOrWithTheBoxUntickedIsNeverHung) {
  StartServer();
  for (int i = 0; i < 20; ++i) {
    clock.now += kMinute;
    controller.OnMonitorTick();
    api.ReplyToOldest(0);
  }
  EXPECT_THAT(log, Not(Contains("kill 4120")));

  settings.automation.hangRestart = false;
  Stop();
  StartServer();
  controller.OnMonitorTick();
  EXPECT_THAT(log, IsEmpty());
}

// What the host hears of away from the PC: each start, each crash, and the end of the automatic
// restarts, in the order they happen, once each.
TEST_F(ServerLifecycleTest, TheHostIsToldOfEachStartCrashAndTheCrashLoopInOrder) {
  settings.automation.crashRestart = true;
  FakeListener listener;
  controller.SetListener(&listener);
  controller.Toggle();
  for (int crash = 0; crash < 3; ++crash) {
    clock.now += kMinute;
    processes.running = false;
    controller.OnMonitorTick();
  }
  const std::string started = std::to_string(static_cast<int>(ServerEvent::Started));
  const std::string crashed =
      std::to_string(static_cast<int>(ServerEvent::Crashed)) + " 服务端已退出: 崩溃或被外部结束";
  EXPECT_THAT(listener.told,
              ElementsAre(started + " 服务端已启动 (版本 0.1.5.0)", crashed,
                          started + " 服务端已启动 (版本 0.1.5.0)", crashed,
                          started + " 服务端已启动 (版本 0.1.5.0)", crashed,
                          std::to_string(static_cast<int>(ServerEvent::CrashLoopStopped)) +
                              " 服务端 10 分钟内崩溃 3 次, 已停止自动重启"));
}

TEST_F(ServerLifecycleTest, ThirdQuickCrashStopsRestartsAndSaysSoOnceUntilTheUserStarts) {
  settings.automation.crashRestart = true;
  StartServer();
  for (int crash = 0; crash < 3; ++crash) {
    clock.now += kMinute;
    processes.running = false;
    controller.OnMonitorTick();
  }
  EXPECT_EQ(Launches(), 2);
  EXPECT_EQ(controller.State(), ServerState::Stopped);
  EXPECT_EQ(controls.Text(MainControl::StatusLine), kCrashLoopStatus);
  EXPECT_EQ(std::count(log.begin(), log.end(),
                       std::string("in turn") + kCrashLoopText + "|" + kErrorTitle),
            1);
  EXPECT_TRUE(events.Holds("服务端 10 分钟内崩溃 3 次, 已停止自动重启"));

  // The user starts it again: the count begins anew, and two more crashes are restarted.
  StartServer();
  for (int crash = 0; crash < 2; ++crash) {
    clock.now += kMinute;
    processes.running = false;
    controller.OnMonitorTick();
  }
  EXPECT_EQ(Launches(), 2);
  EXPECT_EQ(controller.State(), ServerState::Running);
}

std::string CrashContext(const std::string& type, const std::string& message) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FGenericCrashContext>\n"
         "\t<RuntimeProperties>\n\t\t<CrashType>" +
         type + "</CrashType>\n\t\t<ErrorMessage>" + message +
         "</ErrorMessage>\n\t</RuntimeProperties>\n</FGenericCrashContext>\n";
}

// The server writes why it crashed only into a crash folder; the newest one of this run is shown,
// and a damaged save offers the backups instead of a restart that would only crash again: a
// question that waits in turn for whoever comes to the PC.
TEST_F(ServerLifecycleTest, TheServersCrashReasonIsShownAndADamagedSaveOffersTheBackups) {
  const std::string corrupt = "Save data is corrupted. Please restore from a backup";
  const std::string ask = "in turn" + std::string(kCorruptSaveQuestion) + "|" + kErrorTitle;
  const std::string corruptEvent = "服务端崩溃原因 (Crash, UECC-New): " + corrupt;
  crashReports.texts = {
      {"UECC-Old", CrashContext("Crash", "old")},
      {"UECC-New", CrashContext("Crash", corrupt)},
      {"UECC-Assert", CrashContext("Assert", "Assertion failed: Index &lt; Num")}};
  struct Case {
    std::vector<CrashFolder> folders;  // the server launched at 5'000
    bool restartBox;
    bool answerYes;
    std::string event;             // empty: no reason found, and the start's status line stays
    std::vector<std::string> log;  // a restart goes on with the start's steps after "wait 2"
  };
  const Case cases[] = {
      {{}, false, true, "", {"monitor 0"}},
      {{{"UECC-Old", 4'999}}, false, true, "", {"monitor 0"}},
      {{{"UECC-Unreadable", 6'000}}, false, true, "", {"monitor 0"}},
      {{{"UECC-Assert", 6'000}},
       false,
       true,
       "服务端崩溃原因 (Assert, UECC-Assert): Assertion failed: Index < Num",
       {"monitor 0"}},
      {{{"UECC-Old", 5'500}, {"UECC-New", 7'000}},
       false,
       true,
       corruptEvent,
       {"monitor 0", ask, "open backup manager"}},
      {{{"UECC-New", 7'000}}, false, false, corruptEvent, {"monitor 0", ask}},
      {{{"UECC-New", 7'000}}, true, false, corruptEvent, {"monitor 0", ask}},
      {{{"UECC-Old", 7'000}},
       true,
       false,
       "服务端崩溃原因 (Crash, UECC-Old): old",
       {"monitor 0", "wait 2"}},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    const bool restarts = c.log.back() == "wait 2";
    settings.automation.crashRestart = c.restartBox;
    crashReports.folders = c.folders;
    messages.answerYes = c.answerYes;
    StartServer();
    const std::string startLine = controls.Text(MainControl::StatusLine);
    processes.running = false;
    controller.OnMonitorTick();
    EXPECT_EQ(Launches(), restarts ? 1 : 0);
    if (restarts) log.resize(std::min(log.size(), c.log.size()));
    EXPECT_EQ(log, c.log);
    EXPECT_EQ(events.Holds("服务端崩溃原因"), !c.event.empty());
    EXPECT_TRUE(c.event.empty() || events.Holds(c.event)) << c.event;
    if (restarts) {
      Stop();
    } else {
      EXPECT_EQ(
          controls.Text(MainControl::StatusLine),
          c.event.empty() ? startLine : "服务端崩溃: " + c.event.substr(c.event.find("): ") + 3));
    }
  }
}

TEST_F(ServerLifecycleTest, TheCrashLoopMessageSaysWhyTheServerLastCrashed) {
  settings.automation.crashRestart = true;
  crashReports.folders = {{"UECC-A", 6'000}};
  crashReports.texts = {{"UECC-A", CrashContext("Crash", "Out of memory\nwhile loading")}};
  StartServer();
  for (int crash = 0; crash < 3; ++crash) {
    processes.running = false;
    controller.OnMonitorTick();
  }
  EXPECT_THAT(log, Contains(std::string("in turn") + kCrashLoopText +
                            "\r\n 崩溃原因: Out of memory\\nwhile loading |" + kErrorTitle));
  EXPECT_EQ(controls.Text(MainControl::StatusLine), kCrashLoopStatus);
}

TEST_F(ServerLifecycleTest, SaveBeforeABackupOnlyWhenTheServerRunsAndAnswers) {
  EXPECT_EQ(SaveBeforeBackup(), SaveOutcome::NotRunning);
  EXPECT_THAT(log, IsEmpty());

  StartServer();
  EXPECT_EQ(SaveBeforeBackup(), SaveOutcome::Saved);
  EXPECT_THAT(log, ElementsAre("ask info 2s", "ask save 30s"));
  EXPECT_THAT(events.lines, ElementsAre("备份前存档完成 (40 毫秒)"));

  api.status = {{"save", 0}};
  EXPECT_EQ(SaveBeforeBackup(), SaveOutcome::NoAnswer);
  api.status = {{"info", 0}};
  log.clear();
  EXPECT_EQ(SaveBeforeBackup(), SaveOutcome::NoAnswer);
  EXPECT_THAT(log, ElementsAre("ask info 2s"));
  api.status = {};
  api.duringAsk = [this] { controller.Cancel(); };
  EXPECT_EQ(SaveBeforeBackup(), std::nullopt);
}

// A server taken over was started with whatever the boxes said then: its own command line tells
// its ports, and the boxes only stand in where Windows withholds it; the event log says which.
TEST_F(ServerLifecycleTest, AdoptionTakesThePortsFromTheServersCommandLineAndSaysWhere) {
  settings.launch.gamePort = " 8211";
  settings.launch.queryPort = "27015";
  const struct {
    std::optional<std::string> commandLine;
    uint16_t game, query;
    const char* portsLine;
  } cases[] = {
      {"\"PalServer.exe\" -port=9000 -publicport=9000 -QueryPort=9001 -players=8", 9000, 9001,
       "接管的服务端端口: 游戏 9000, 查询 9001 (取自其命令行)"},
      {"PalServer.exe -port=9000", 9000, 27015,
       "接管的服务端端口: 游戏 9000, 查询 27015 (命令行中没有的取自工具设置)"},
      {std::nullopt, 8211, 27015,
       "接管的服务端端口: 游戏 8211, 查询 27015 (取自工具设置: Windows 未提供其命令行)"},
  };
  for (const auto& [commandLine, game, query, portsLine] : cases) {
    FakeServerRig rig;
    rig.settings.launch = settings.launch;
    rig.processes.runningFromEarlierRun = 777;
    rig.processes.commandLineOfHeld = commandLine;
    rig.controller.AdoptServerLeftRunning();
    ASSERT_NE(rig.controller.Running(), nullptr);
    EXPECT_EQ(rig.controller.Running()->gamePort, game);
    EXPECT_EQ(rig.controller.Running()->queryPort, query);
    EXPECT_TRUE(rig.controller.Running()->adopted);
    EXPECT_THAT(rig.events.lines,
                ElementsAre("接管上次运行留下的服务端 (进程 777, 版本 0.1.5.0)", portsLine));
    rig.processes.running = false;
    rig.controller.OnMonitorTick();
    EXPECT_TRUE(rig.events.Holds("服务端已退出 (进程 777): 崩溃或被外部结束"));
  }
}

// Everything that follows the server gets the run as it was launched: the ports the command line
// was made of (typed with blanks or not), the REST port and password written for it, its world,
// and the same value when it has ended, whatever the boxes say by then.
TEST_F(ServerLifecycleTest, TheRunningServerIsTheValueItWasLaunchedWith) {
  FakeListener listener;
  controller.SetListener(&listener);
  settings.launch.gamePort = " 8211";
  settings.launch.queryPort = "27016 ";
  settings.automation.restApiPort = "8300";
  StartServer();
  settings.launch.gamePort = "9999";
  settings.automation.restApiPort = "9998";
  const RunningServer* run = controller.Running();
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->gamePort, 8211);
  EXPECT_EQ(run->queryPort, 27016);
  EXPECT_EQ(run->rest.port, 8300);
  EXPECT_EQ(run->rest.adminPassword, settings.launch.adminPassword);
  EXPECT_EQ(run->worldId, steps.worldId);
  EXPECT_FALSE(run->adopted);
  EXPECT_NE(processes.launchedCommandLine.find("-port=8211 "), std::string::npos);

  processes.running = false;
  controller.OnMonitorTick();
  EXPECT_EQ(controller.Running(), nullptr);
  ASSERT_FALSE(listener.states.empty());
  EXPECT_EQ(listener.states.back().first, ServerState::Stopped);
  EXPECT_EQ(listener.states.back().second.gamePort, 8211);
  EXPECT_EQ(listener.states.back().second.rest.port, 8300);
}

}  // namespace
}  // namespace tidemoor
