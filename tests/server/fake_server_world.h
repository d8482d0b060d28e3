#pragma once
// The world around the server controller, faked: every fake writes what happened to one log, so
// tests can check the order of the steps.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/event_log.h"
#include "server/server_controller.h"
#include "support/fake_main_controls.h"

namespace tidemoor::testing {

constexpr char kServerDir[] = "C:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\";

using Log = std::vector<std::string>;

// The main window's controls as the view shows the server on them, with every timer change
// written to the log.
class FakeControls : public FakeMainControls, public ServerView {
 public:
  explicit FakeControls(Log& log) : log_(log) {}
  void ShowServerState(ServerState state) override {
    SetText(MainControl::StartButton, StartButtonCaption(state));
  }
  void ShowStatusLine(std::string_view text) override { SetText(MainControl::StatusLine, text); }
  void SetMonitorPeriod(unsigned milliseconds) override {
    SetTimerInterval(MainControl::MonitorTimer, milliseconds);
    log_.push_back("monitor " + std::to_string(milliseconds));
  }
  void SetAutoBackupPeriod(unsigned milliseconds) override {
    SetTimerInterval(MainControl::AutoBackupTimer, milliseconds);
    log_.push_back("backup " + std::to_string(milliseconds));
  }

 private:
  Log& log_;
};

// The user's choices as values; each save is written to the log.
class FakeSettings : public ServerSettings {
 public:
  explicit FakeSettings(Log& log) : log_(log) {}
  LaunchOptions ReadLaunchOptions() override { return launch; }
  AutomationOptions ReadAutomation() override { return automation; }
  void Save() override { log_.push_back("save"); }

  LaunchOptions launch;
  AutomationOptions automation;

 private:
  Log& log_;
};

class FakeProcesses : public ServerProcesses {
 public:
  explicit FakeProcesses(Log& log) : log_(log) {}
  uint32_t AdoptRunning(const std::string& executable) override {
    if (runningFromEarlierRun == 0) return 0;
    log_.push_back("adopt " + executable);
    running = true;
    heldId = runningFromEarlierRun;
    return runningFromEarlierRun;
  }
  void Launch(const std::string& executable, const std::string& commandLine,
              const std::string& workingDirectory,
              std::function<void(uint32_t processId)> done) override {
    log_.push_back("launch " + executable + " in " + workingDirectory);
    launchedCommandLine = commandLine;
    if (nextId == 0) {
      done(0);
      return;
    }
    running = true;
    heldId = nextId;
    if (duringLaunch) std::exchange(duringLaunch, nullptr)();
    done(nextId++);
  }
  SystemError LaunchFailure() const override { return {2, "系统找不到指定的文件。"}; }
  std::optional<std::string> HeldServerCommandLine() override { return commandLineOfHeld; }
  bool HeldServerRunning() override { return running; }
  void WaitForHeldServerToEnd(std::chrono::milliseconds limit,
                              std::function<void(bool ended)> done) override {
    log_.push_back("wait end " + std::to_string(limit.count() / 1000));
    if (endsWhenAsked) running = false;
    if (duringEndWait) std::exchange(duringEndWait, nullptr)();
    done(!running);
  }
  void KillHeldServerTree(std::function<void()> done) override {
    if (running) {
      log_.push_back("kill " + std::to_string(heldId));
      running = false;
    }
    done();
  }
  void SetConsoleHidden(bool hidden) override {
    log_.push_back("console " + std::to_string(heldId) + (hidden ? " hidden" : " shown"));
  }
  std::string FileVersion(const std::string&) override { return version; }

  uint32_t nextId = 4120;
  uint32_t runningFromEarlierRun = 0;
  uint32_t heldId = 0;  // the launcher last started or taken over
  bool running = false;
  std::string version = "0.1.5.0";
  std::string launchedCommandLine;
  std::optional<std::string> commandLineOfHeld;  // as Windows would tell it of an adopted server
  bool endsWhenAsked = true;                     // a shutdown request ends the launcher in time
  std::function<void()> duringEndWait;           // runs once while the wait for its end goes on
  std::function<void()> duringLaunch;            // runs once while a started launcher settles

 private:
  Log& log_;
};

class FakeClock : public ServerClock {
 public:
  explicit FakeClock(Log& log) : log_(log) {}
  int64_t MonotonicMilliseconds() override { return now; }
  int64_t AwakeMilliseconds() override { return now - asleep; }
  std::string LocalDateTimeText() override { return "2026年12月7日 - 18时:05分:09秒"; }
  // The pause passes at once, its time added to now, unless the test holds pauses: then it
  // passes when the test advances the clock past it.
  void After(std::chrono::milliseconds wait, std::function<void()> then) override {
    log_.push_back("wait " + std::to_string(wait.count() / 1000));
    if (duringWait) std::exchange(duringWait, nullptr)();
    pause_ = std::move(then);
    pauseEnds_ = now + wait.count();
    if (!holdsPauses) Advance(wait.count());
  }
  void Advance(int64_t milliseconds) {
    now += milliseconds;
    if (pause_ && now >= pauseEnds_) std::exchange(pause_, nullptr)();
  }

  int64_t now = 1'000'000;
  int64_t asleep = 0;                // how much of now the PC spent asleep
  std::function<void()> duringWait;  // an event that comes during the pause, once
  bool holdsPauses = false;

 private:
  Log& log_;
  std::function<void()> pause_;
  int64_t pauseEnds_ = 0;
};

class FakeMessages : public Prompt {
 public:
  explicit FakeMessages(Log& log) : log_(log) {}
  PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) override {
    if (style == PromptStyle::WarningQuestion) {
      log_.push_back("ask" + std::string(text) + "|" + std::string(title));
      return answerYes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    EXPECT_EQ(style, PromptStyle::Error);
    log_.push_back("error" + std::string(text) + "|" + std::string(title));
    return PromptAnswer::Ok;
  }
  // Shown in turn, nothing waiting for it: logged apart from the boxes shown at once.
  void AskInTurn(std::string_view text, std::string_view title, PromptStyle style,
                 std::function<void(PromptAnswer)> done) override {
    log_.push_back("in turn" + std::string(text) + "|" + std::string(title));
    const bool question = style == PromptStyle::WarningQuestion;
    done(question && answerYes ? PromptAnswer::Yes
         : question            ? PromptAnswer::No
                               : PromptAnswer::Ok);
  }
  bool answerYes = true;

 private:
  Log& log_;
};

class FakeSteps : public StartSteps {
 public:
  explicit FakeSteps(Log& log) : log_(log) {}
  void RunAutoUpdate(std::function<void()> done) override {
    log_.push_back("update");
    if (duringUpdate) std::exchange(duringUpdate, nullptr)();
    done();
  }
  uint32_t RandomInRange(uint32_t min, uint32_t max) override {
    log_.push_back("random " + std::to_string(min) + ".." + std::to_string(max));
    return drawn;
  }
  void WriteWorldSettings(const StartWorldSettings& wanted) override {
    log_.push_back("world settings " + wanted.serverName + "/" + wanted.joinPassword + "/" +
                   wanted.adminPassword + (wanted.safeStop ? " api " : " no api ") +
                   std::to_string(wanted.restApiPort));
  }
  // Counted rather than logged: most starts ask and the question is no step of theirs.
  void ConfirmLoadedWorld(std::function<void(bool goOn)> done) override {
    ++worldQuestions;
    done(worldConfirmed);
  }
  void NoteLoadedWorldUnasked() override { ++worldNotes; }
  std::string LoadedWorldId() override { return worldId; }
  uint32_t drawn = 7;
  bool worldConfirmed = true;
  int worldQuestions = 0;
  int worldNotes = 0;  // starts nobody was asked about
  std::string worldId = "0123456789ABCDEF0123456789ABCDEF";
  std::function<void()> duringUpdate;  // an event that comes during the update, once

 private:
  Log& log_;
};

// The server's REST API: what the controller asks and sends goes to the log as "ask <path>" or
// "send <path>" (with a shutdown's or an announcement's body); replies are scripted per path and
// come at once, or, while the test holds them, when it says.
class FakeApi : public ServerApi {
 public:
  FakeApi(Log& log, FakeClock& clock) : log_(log), clock_(clock) {}
  void Ask(const RestRequest& request, std::chrono::milliseconds limit,
           std::function<void(const RestReply&)> done) override {
    const std::string path = PathOf(request);
    log_.push_back("ask " + path + (request.body.empty() ? "" : " " + request.body) + " " +
                   std::to_string(limit.count() / 1000) + "s");
    asked.push_back(request);
    held.push_back({path, limit, std::move(done)});
    if (!holdsReplies) AnswerOldestAsk();
  }
  // The scripted reply to the oldest ask not yet answered, after its time.
  void AnswerOldestAsk() {
    ASSERT_FALSE(held.empty());
    HeldAsk ask = std::move(held.front());
    held.erase(held.begin());
    clock_.now += takesMilliseconds;
    if (duringAsk) std::exchange(duringAsk, nullptr)();
    auto it = status.find(ask.path);
    const int code = it == status.end() ? 200 : it->second;
    if (code == 0) clock_.now += ask.limit.count();
    ask.done({code, "{}"});
  }
  void Send(const RestRequest& request, std::function<void(const RestReply&)> done) override {
    log_.push_back("send " + PathOf(request) + (request.body.empty() ? "" : " " + request.body));
    sent.push_back({request, std::move(done)});
  }
  // Hands the reply to the oldest request sent and not yet answered.
  void ReplyToOldest(int code) {
    ASSERT_FALSE(sent.empty());
    auto [request, done] = std::move(sent.front());
    sent.erase(sent.begin());
    done({code, "{}"});
  }
  static std::string PathOf(const RestRequest& request) {
    return request.url.substr(request.url.find("/v1/api/") + 8);
  }

  std::map<std::string, int> status;  // by path; 200 unless told, 0 = no answer in time
  int64_t takesMilliseconds = 40;     // how long each asked request takes
  std::function<void()> duringAsk;    // an event that comes while a request is waited for, once
  bool holdsReplies = false;
  std::vector<RestRequest> asked;
  struct HeldAsk {
    std::string path;
    std::chrono::milliseconds limit;
    std::function<void(const RestReply&)> done;
  };
  std::vector<HeldAsk> held;
  std::vector<std::pair<RestRequest, std::function<void(const RestReply&)>>> sent;

 private:
  Log& log_;
  FakeClock& clock_;
};

class FakeEventLog : public EventLog {
 public:
  void Record(std::string_view text) override { lines.emplace_back(text); }
  bool Holds(std::string_view part) const {
    for (const std::string& line : lines) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }
  std::vector<std::string> lines;
};

// The crash folders under the server directory: those listed, and the texts of those readable.
class FakeCrashReports : public CrashReports {
 public:
  int64_t Now() override { return now; }
  std::vector<CrashFolder> Folders() override { return folders; }
  std::optional<std::string> ContextText(const std::string& folder) override {
    const auto it = texts.find(folder);
    if (it == texts.end()) return std::nullopt;
    return it->second;
  }

  int64_t now = 5'000;
  std::vector<CrashFolder> folders;
  std::map<std::string, std::string> texts;
};

// Whoever follows the server: every state with the run it concerns, and every event, in order.
class FakeListener : public ServerListener {
 public:
  void OnServerStateChanged(ServerState state, const RunningServer& run) override {
    states.emplace_back(state, run);
  }
  void OnServerEvent(ServerEvent event, std::string_view text) override {
    told.push_back(std::to_string(static_cast<int>(event)) + " " + std::string(text));
  }
  std::vector<std::pair<ServerState, RunningServer>> states;
  std::vector<std::string> told;
};

// Every fake a controller needs and the controller on them; each test suite fills the settings.
struct FakeServerRig {
  Log log;
  FakeControls controls{log};
  FakeSettings settings{log};
  FakeProcesses processes{log};
  FakeClock clock{log};
  FakeMessages messages{log};
  FakeSteps steps{log};
  FakeApi api{log, clock};
  FakeEventLog events;
  FakeCrashReports crashReports;
  const std::string executable = std::string(kServerDir) + "PalServer.exe";
  ServerController controller{{controls, settings, processes, clock, messages, steps, executable,
                               kServerDir, api, events, crashReports,
                               [this] { log.push_back("open backup manager"); }}};

  // What a stop's done was told, if it ran by the time the call returned (replies and pauses not
  // held).
  std::optional<bool> Stop() {
    std::optional<bool> stopped;
    controller.Stop([&stopped](bool ended) { stopped = ended; });
    return stopped;
  }
  std::optional<SaveOutcome> SaveBeforeBackup() {
    std::optional<SaveOutcome> outcome;
    controller.SaveBeforeBackup([&outcome](SaveOutcome told) { outcome = told; });
    return outcome;
  }
};

}  // namespace tidemoor::testing
