#include "server/server_controller.h"

#include "common/port_number.h"
#include "common/timer_minutes.h"
#include "platform/text.h"
#include "server/server_command_line.h"

namespace tidemoor {
namespace {

constexpr int64_t kMillisecondsPerMinute = 60'000;
constexpr int kAskedStopWaitSeconds = 1;
constexpr int kRestartWaitSeconds = 10;
// Between a stop and the start that follows it, so the game ports are free again.
constexpr auto kRestartPause = std::chrono::seconds(2);

std::string Milliseconds(int64_t milliseconds) {
  return std::to_string(milliseconds) + " 毫秒";
}

}  // namespace

std::string_view StartButtonCaption(ServerState state) {
  return state == ServerState::Running || state == ServerState::Stopping ? kStopCaption
                                                                         : kStartCaption;
}

void ServerController::EnterState(ServerState state) {
  state_ = state;
  world_.view.ShowServerState(state);
  if (listener_) listener_->OnServerStateChanged(state, run_);
}

void ServerController::Toggle() {
  Press(StartCause::User);
}

void ServerController::StartUnattended() {
  if (state_ != ServerState::Stopped) return;
  world_.settings.Save();
  Start(StartCause::Unattended);
}

void ServerController::TellError(StartCause cause, const std::string& text) {
  if (cause == StartCause::User) {
    world_.prompt.Ask(text, kErrorTitle, PromptStyle::Error);
  } else {
    world_.prompt.TellInTurn(text, kErrorTitle, PromptStyle::Error);
  }
}

// The button's caption is the user's promise of what a press does; a press in the middle of a
// start or a stop would promise the opposite of what is already happening.
void ServerController::Press(StartCause cause) {
  if (state_ == ServerState::Starting || state_ == ServerState::Stopping) return;
  world_.settings.Save();
  if (state_ == ServerState::Running) {
    if (world_.prompt.Confirm(kStopQuestion, kStopQuestionTitle, PromptStyle::WarningQuestion)) {
      Stop({});
    }
    return;
  }
  Start(cause);
}

void ServerController::AdoptServerLeftRunning() {
  if (const uint32_t processId = world_.processes.AdoptRunning(world_.executable)) {
    Adopt(processId);
  }
}

// A server the tool did not launch in this run was started with whatever the boxes said then: its
// own command line tells its ports where Windows gives it, the boxes only where it does not.
void ServerController::Adopt(uint32_t processId) {
  const LaunchOptions launch = world_.settings.ReadLaunchOptions();
  RunningServer run;
  run.processId = processId;
  run.adopted = true;
  run.rest = RestEndpoint{RestApiPortFromText(world_.settings.ReadAutomation().restApiPort),
                          launch.adminPassword};
  const std::optional<std::string> commandLine = world_.processes.HeldServerCommandLine();
  const CommandLinePorts ports =
      commandLine ? PortsOnCommandLine(*commandLine) : CommandLinePorts{};
  run.gamePort = ports.game ? ports.game : ParsePortNumber(launch.gamePort).value_or(0);
  run.queryPort = ports.query ? ports.query : ParsePortNumber(launch.queryPort).value_or(0);
  const char* source = !commandLine ? "取自工具设置: Windows 未提供其命令行"
                       : ports.game && ports.query ? "取自其命令行"
                                                   : "命令行中没有的取自工具设置";
  EnterRunning(std::move(run));
  world_.log.Record("接管的服务端端口: 游戏 " + std::to_string(run_.gamePort) + ", 查询 " +
                    std::to_string(run_.queryPort) + " (" + source + ")");
}

void ServerController::Start(StartCause cause) {
  EnterState(ServerState::Starting);
  if (cause == StartCause::User) crashLoop_.Reset();
  // A server this tool started before it was closed still runs on the same save; a second one
  // beside it would fight over that save. It also holds the files an update would replace.
  if (const uint32_t processId = world_.processes.AdoptRunning(world_.executable)) {
    Adopt(processId);
    return;
  }

  const LaunchOptions launch = world_.settings.ReadLaunchOptions();
  const ServerCommandLine commandLine = BuildServerCommandLine(launch);
  if (!commandLine.refusal.empty()) {
    EnterState(ServerState::Stopped);
    TellError(cause, commandLine.refusal);
    return;
  }
  // Only a start the user asked for asks: a question at an unattended start would keep the
  // server down until someone answers it.
  if (cause != StartCause::User) world_.steps.NoteLoadedWorldUnasked();
  if (cause == StartCause::Restart || cause == StartCause::Unattended) {
    UpdateThenLaunch(launch, commandLine.text, cause);
    return;
  }
  if (cause == StartCause::Updated) {
    Launch(launch, commandLine.text, world_.settings.ReadAutomation(), cause);
    return;
  }
  step_ = ServerStep::AskingAboutWorld;
  world_.steps.ConfirmLoadedWorld(
      UnlessCancelled([this, launch, text = commandLine.text](bool goOn) {
        if (!goOn) {
          step_ = ServerStep::Idle;
          EnterState(ServerState::Stopped);
          return;
        }
        UpdateThenLaunch(launch, text, StartCause::User);
      }));
}

void ServerController::UpdateThenLaunch(const LaunchOptions& launch, const std::string& commandLine,
                                        StartCause cause) {
  const AutomationOptions automation = world_.settings.ReadAutomation();
  if (!automation.autoUpdate) {
    Launch(launch, commandLine, automation, cause);
    return;
  }
  step_ = ServerStep::Updating;
  world_.steps.RunAutoUpdate(UnlessCancelled([this, launch, commandLine, automation, cause] {
    Launch(launch, commandLine, automation, cause);
  }));
}

// The run's value comes from the very options the command line was made of, so everything that
// follows the server works on the ports it was started with, whatever the boxes say by then.
void ServerController::Launch(const LaunchOptions& launch, const std::string& commandLine,
                              const AutomationOptions& automation, StartCause cause) {
  step_ = ServerStep::Idle;
  const int restPort = RestApiPortFromText(automation.restApiPort);
  world_.steps.WriteWorldSettings(StartWorldSettings{launch.serverName, launch.joinPassword,
                                                     launch.adminPassword, automation.safeStop,
                                                     restPort, cause != StartCause::User});
  launchedAt_ = world_.crashReports.Now();
  RunningServer run;
  run.gamePort = ParsePortNumber(launch.gamePort).value_or(0);
  run.queryPort = ParsePortNumber(launch.queryPort).value_or(0);
  run.rest = RestEndpoint{restPort, launch.adminPassword};
  step_ = ServerStep::Launching;
  world_.processes.Launch(
      world_.executable, commandLine, world_.serverDir,
      UnlessCancelled([this, run = std::move(run), cause](uint32_t processId) mutable {
        step_ = ServerStep::Idle;
        if (processId == 0) {
          const SystemError failure = world_.processes.LaunchFailure();
          world_.log.Record(WithCause("启动服务端失败: " + world_.executable, failure));
          EnterState(ServerState::Stopped);
          TellError(cause, kStartErrorText +
                               ("\r\n " + WithCause("无法启动 " + world_.executable, failure)));
          return;
        }
        run.processId = processId;
        EnterRunning(std::move(run));
      }));
}

void ServerController::EnterRunning(RunningServer run) {
  const bool adopted = run.adopted;
  const uint32_t processId = run.processId;
  run.startedAt = world_.clock.MonotonicMilliseconds();
  run.worldId = world_.steps.LoadedWorldId();
  run_ = std::move(run);
  EnterState(ServerState::Running);
  monitorTicks_ = 0;
  if (adopted) launchedAt_ = world_.crashReports.Now();
  hangWatch_.Reset();
  noticesGiven_ = 0;
  const AutomationOptions automation = world_.settings.ReadAutomation();

  const uint32_t monitorSeconds = world_.steps.RandomInRange(2, 9);
  world_.view.SetMonitorPeriod(monitorSeconds * 1000);
  world_.view.SetAutoBackupPeriod(
      automation.autoBackup ? TimerPeriodForMinutes(automation.autoBackupMinutes) : 0);

  std::string version = world_.processes.FileVersion(world_.executable);
  if (version.empty()) version = "Unknown";
  UpdateStatusLine(version);
  world_.log.Record((adopted ? "接管上次运行留下的服务端 (进程 " : "启动服务端 (进程 ") +
                    std::to_string(processId) + ", 版本 " + version + ")");
  Tell(adopted ? ServerEvent::Adopted : ServerEvent::Started,
       (adopted ? "已接管运行中的服务端 (版本 " : "服务端已启动 (版本 ") + version + ")");
  SetConsoleHidden(automation.hideConsole);
}

// Written once per start: it shows the moment of the start, not a running time.
void ServerController::UpdateStatusLine(const std::string& version) {
  world_.view.ShowStatusLine("运行中  ···  内核版本 (Run:" + version + ")  ···  " +
                             world_.clock.LocalDateTimeText());
}

void ServerController::Stop(std::function<void(bool stopped)> done) {
  // The update or the restore asked for a stop while one is under way: the first stop finishes
  // it, and the second caller must not act on a server that may still be running.
  // A start waits for the automatic update with the windows answering: a manual update or a
  // restore asked meanwhile would work on the files SteamCMD is writing.
  if (state_ == ServerState::Stopping || state_ == ServerState::Starting) {
    if (done) done(false);
    return;
  }
  StopServer(StopKind::Asked, [done = std::move(done)] {
    if (done) done(true);
  });
}

void ServerController::Restart() {
  if (state_ != ServerState::Running) return;
  // The pause the interval restart makes too, so the game ports are free again.
  Stop([this](bool stopped) {
    if (stopped) PauseThenStart(StartCause::User);
  });
}

bool ServerController::RestartUnattended(std::string_view why) {
  if (state_ != ServerState::Running || (copyRunning_ && copyRunning_())) return false;
  world_.log.Record(std::string(why) + " (进程 " + std::to_string(run_.processId) + ")");
  StopServer(StopKind::IntervalRestart, [this] { PauseThenStart(StartCause::Restart); });
  return true;
}

bool ServerController::UpdateAndRestart(std::function<void(std::function<void()>)> update) {
  if (state_ != ServerState::Running) return false;
  world_.log.Record("为更新重启服务端 (进程 " + std::to_string(run_.processId) + ")");
  StopServer(StopKind::IntervalRestart, [this, update = std::move(update)] {
    EnterState(ServerState::Starting);
    step_ = ServerStep::Updating;
    update(UnlessCancelled([this] {
      // The pause every restart makes, so the game ports are free again.
      step_ = ServerStep::Pausing;
      world_.clock.After(kRestartPause, UnlessCancelled([this] {
                           step_ = ServerStep::Idle;
                           Start(StartCause::Updated);
                         }));
    }));
  });
  return true;
}

void ServerController::Cancel() {
  alive_ = std::make_shared<bool>(true);
  step_ = ServerStep::Idle;
}

void ServerController::PauseThenStart(StartCause cause) {
  step_ = ServerStep::Pausing;
  world_.clock.After(kRestartPause, UnlessCancelled([this, cause] {
                       step_ = ServerStep::Idle;
                       Press(cause);
                     }));
}

void ServerController::StopServer(StopKind kind, std::function<void()> stopped) {
  EnterState(ServerState::Stopping);
  // The monitor must not take the ending server for a crash and restart it during the waits.
  world_.view.SetMonitorPeriod(0);
  auto finish = [this, stopped = std::move(stopped)] {
    step_ = ServerStep::Idle;
    EnterState(ServerState::Stopped);
    world_.view.ShowStatusLine(kStatusAfterStop);
    stopped();
  };
  const bool running = world_.processes.HeldServerRunning();
  if (running && world_.settings.ReadAutomation().safeStop) {
    SafeStop(kind, std::move(finish));
  } else if (kind == StopKind::Asked) {
    step_ = ServerStep::Pausing;
    world_.clock.After(std::chrono::seconds(kAskedStopWaitSeconds),
                       UnlessCancelled([this, finish = std::move(finish)] {
                         KillTree("未勾选安全关服", finish);
                       }));
  } else {
    KillTree("未勾选安全关服", std::move(finish));
  }
}

// Asks the server to save and shut itself down: a kill in the middle of its own save (every 30 s
// by default) is what damages worlds. Any step without an answer falls back to ending the tree.
void ServerController::SafeStop(StopKind kind, std::function<void()> then) {
  world_.view.ShowStatusLine(kSafeStopStatus);
  AskWhetherApiAnswers([this, kind, then = std::move(then)](bool answers) {
    if (!answers) {
      KillTree("REST API 未响应", then);
      return;
    }
    step_ = ServerStep::Saving;
    const int64_t saveStart = world_.clock.MonotonicMilliseconds();
    world_.api.Ask(SaveRequest(run_.rest), kSaveLimit,
                   UnlessCancelled([this, kind, then, saveStart](const RestReply& saved) {
                     const int64_t saveMs = world_.clock.MonotonicMilliseconds() - saveStart;
                     // The shutdown saves once more on its own, so it is still worth asking for.
                     if (!saved.Answered()) {
                       world_.log.Record("存档请求没有回应 (" + Milliseconds(saveMs) + ")");
                     }
                     ShutDown(kind, saveMs, then);
                   }));
  });
}

void ServerController::ShutDown(StopKind kind, int64_t saveMs, std::function<void()> then) {
  const bool restart = kind == StopKind::IntervalRestart;
  const int waitSeconds = restart ? kRestartWaitSeconds : kAskedStopWaitSeconds;
  const int64_t shutdownStart = world_.clock.MonotonicMilliseconds();
  step_ = ServerStep::ShuttingDown;
  world_.api.Ask(
      ShutdownRequest(run_.rest, waitSeconds, restart ? kRestartMessage : kStopMessage),
      kShutdownReplyLimit,
      UnlessCancelled([this, then, saveMs, shutdownStart, waitSeconds](const RestReply& shutdown) {
        if (!shutdown.Answered()) {
          KillTree("关闭请求没有回应", then);
          return;
        }
        const auto limit = std::chrono::seconds(waitSeconds) + kEndAfterShutdownGrace;
        step_ = ServerStep::WaitingForEnd;
        world_.processes.WaitForHeldServerToEnd(
            limit, UnlessCancelled([this, then, saveMs, shutdownStart, limit](bool ended) {
              if (!ended) {
                KillTree("关闭请求后 " + std::to_string(limit.count()) + " 秒仍未退出", then);
                return;
              }
              world_.log.Record("已安全关闭服务端 (进程 " + std::to_string(run_.processId) +
                                ", 存档 " + Milliseconds(saveMs) + ", 关闭 " +
                                Milliseconds(world_.clock.MonotonicMilliseconds() - shutdownStart) +
                                ")");
              then();
            }));
      }));
}

void ServerController::AskWhetherApiAnswers(std::function<void(bool answers)> done) {
  step_ = ServerStep::AskingInfo;
  world_.api.Ask(InfoRequest(run_.rest), kInfoLimit,
                 UnlessCancelled([this, done = std::move(done)](const RestReply& reply) {
                   if (!reply.Answered()) {
                     world_.log.Record(RestFailureText(reply, run_.rest.port));
                   }
                   done(reply.Answered());
                 }));
}

void ServerController::KillTree(std::string_view why, std::function<void()> then) {
  if (!world_.processes.HeldServerRunning()) {
    then();
    return;
  }
  world_.log.Record("强制结束服务端进程树 (进程 " + std::to_string(run_.processId) +
                    "): " + std::string(why));
  step_ = ServerStep::Killing;
  world_.processes.KillHeldServerTree(UnlessCancelled(std::move(then)));
}

void ServerController::SaveBeforeBackup(std::function<void(SaveOutcome)> done) {
  if (state_ != ServerState::Running || !world_.processes.HeldServerRunning()) {
    done(SaveOutcome::NotRunning);
    return;
  }
  AskWhetherApiAnswers([this, done = std::move(done)](bool answers) {
    if (!answers) {
      done(SaveOutcome::NoAnswer);
      return;
    }
    const int64_t start = world_.clock.MonotonicMilliseconds();
    world_.api.Ask(SaveRequest(run_.rest), kSaveLimit,
                   UnlessCancelled([this, done, start](const RestReply& saved) {
                     const std::string took =
                         Milliseconds(world_.clock.MonotonicMilliseconds() - start);
                     if (!saved.Answered()) {
                       world_.log.Record("备份前存档没有回应 (" + took + ")");
                       done(SaveOutcome::NoAnswer);
                       return;
                     }
                     world_.log.Record("备份前存档完成 (" + took + ")");
                     done(SaveOutcome::Saved);
                   }));
  });
}

void ServerController::StopMonitorAndShowStopped() {
  world_.view.SetMonitorPeriod(0);
  EnterState(ServerState::Stopped);
}

// The check box promises a restart every so many minutes, so real time counts, not ticks of a
// monitor whose period is drawn anew at each start.
bool ServerController::IntervalRestartDue(const AutomationOptions& automation) {
  const int64_t minutes = TextToNumber(automation.intervalMinutes);
  if (minutes <= 0) return false;
  const int64_t elapsed = world_.clock.MonotonicMilliseconds() - run_.startedAt;
  return elapsed >= minutes * kMillisecondsPerMinute;
}

void ServerController::OnMonitorTick() {
  ++monitorTicks_;
  if (state_ != ServerState::Running) return;
  if (!world_.processes.HeldServerRunning()) {
    // Ended by a crash or from outside. The status line keeps the last start's text.
    world_.log.Record("服务端已退出 (进程 " + std::to_string(run_.processId) +
                      "): 崩溃或被外部结束");
    OnServerEnded(false);
    return;
  }
  const AutomationOptions automation = world_.settings.ReadAutomation();
  if (automation.hangRestart) {
    if (hangWatch_.Hung(world_.clock.AwakeMilliseconds())) {
      world_.log.Record("服务端超过 3 分钟没有响应, 按崩溃处理 (进程 " +
                        std::to_string(run_.processId) + ")");
      Tell(ServerEvent::Hung, "服务端超过 3 分钟没有响应, 已结束并按崩溃处理");
      // Stopping until the kill is done: a click meanwhile does nothing.
      EnterState(ServerState::Stopping);
      world_.view.SetMonitorPeriod(0);
      KillTree("REST API 超过 3 分钟没有响应", [this] {
        step_ = ServerStep::Idle;
        OnServerEnded(true);
      });
      return;
    }
    WatchForHang();
  }
  if (!automation.intervalRestart) return;
  if (automation.restartNotice) AnnounceRestart(automation);
  // Due while a copy reads the save, the restart comes at the first tick after it.
  if (IntervalRestartDue(automation) && !(copyRunning_ && copyRunning_())) IntervalRestart();
}

void ServerController::WatchForHang() {
  const int64_t now = world_.clock.AwakeMilliseconds();
  if (!hangWatch_.MayAsk(now)) return;
  const uint32_t ticket = hangWatch_.Asked(now);
  world_.api.Send(InfoRequest(run_.rest), UnlessCancelled([this, ticket](const RestReply& reply) {
                    hangWatch_.Replied(ticket, reply.Answered());
                  }));
}

// Requests that were under way as the PC went to sleep fail as it wakes, and the server itself
// needs a moment to find its feet: the watch starts over.
void ServerController::OnResumedFromSleep() {
  hangWatch_.Reset();
}

void ServerController::AnnounceRestart(const AutomationOptions& automation) {
  const int64_t minutes = TextToNumber(automation.intervalMinutes);
  if (minutes <= 0) return;
  const int notice =
      DueRestartNotice(minutes * kMillisecondsPerMinute,
                       world_.clock.MonotonicMilliseconds() - run_.startedAt, noticesGiven_);
  if (notice < 0) return;
  noticesGiven_ |= 1u << notice;
  const std::string_view text = kRestartNotices[notice].text;
  world_.log.Record("向玩家公告: " + std::string(text));
  world_.api.Send(AnnounceRequest(run_.rest, text), [](const RestReply&) {});
}

void ServerController::IntervalRestart() {
  world_.log.Record("定时重启服务端 (进程 " + std::to_string(run_.processId) + ")");
  Tell(ServerEvent::IntervalRestart, "定时重启服务端");
  StopServer(StopKind::IntervalRestart, [this] { PauseThenStart(StartCause::Restart); });
}

void ServerController::OnServerEnded(bool hung) {
  StopMonitorAndShowStopped();
  const bool mayRestart = crashLoop_.RecordCrash(world_.clock.MonotonicMilliseconds());
  // A hung server is ended by the tool, so whatever it wrote is not why it went.
  const std::optional<CrashReport> report =
      hung ? std::nullopt : FindCrashReport(world_.crashReports, launchedAt_);
  if (report) TellCrashReason(*report);
  const std::string reason =
      report ? "\n崩溃原因: " + ShownCrashMessage(*report, kCrashMessageCharacters) : "";
  if (!hung) Tell(ServerEvent::Crashed, "服务端已退出: 崩溃或被外部结束" + reason);
  if (report && ReportsCorruptSave(*report)) {
    // A restart would load the damaged world again and crash again; only a restore helps, and
    // which point to restore is the user's choice.
    if (world_.settings.ReadAutomation().crashRestart) {
      world_.log.Record("服务端报告存档已损坏, 不自动重启");
    }
    // Nothing waits for the answer: the question waits for whoever comes to the PC, and a tool
    // that closed meanwhile opens no window.
    world_.prompt.AskInTurn(kCorruptSaveQuestion, kErrorTitle, PromptStyle::WarningQuestion,
                            UnlessCancelled([this](PromptAnswer answer) {
                              if (answer == PromptAnswer::Yes && world_.openBackupManager) {
                                world_.openBackupManager();
                              }
                            }));
    return;
  }
  if (!world_.settings.ReadAutomation().crashRestart) return;
  if (!mayRestart) {
    world_.view.ShowStatusLine(kCrashLoopStatus);
    world_.log.Record("服务端 10 分钟内崩溃 3 次, 已停止自动重启");
    Tell(ServerEvent::CrashLoopStopped, "服务端 10 分钟内崩溃 3 次, 已停止自动重启" + reason);
    std::string text = kCrashLoopText;
    if (report) {
      text += "\r\n 崩溃原因: " + ShownCrashMessage(*report, kCrashMessageCharacters) + " ";
    }
    world_.prompt.TellInTurn(text, kErrorTitle, PromptStyle::Error);
    return;
  }
  world_.log.Record(hung ? "无响应后自动重启服务端" : "崩溃后自动重启服务端");
  PauseThenStart(StartCause::Restart);
}

void ServerController::TellCrashReason(const CrashReport& report) {
  world_.log.Record("服务端崩溃原因 (" + (report.type.empty() ? "" : report.type + ", ") +
                    report.folder + "): " + ShownCrashMessage(report, kCrashMessageCharacters));
  world_.view.ShowStatusLine("服务端崩溃: " + ShownCrashMessage(report, kCrashStatusCharacters));
}

void ServerController::Tell(ServerEvent event, std::string_view text) {
  if (listener_) listener_->OnServerEvent(event, text);
}

void ServerController::SetConsoleHidden(bool hidden) {
  world_.processes.SetConsoleHidden(hidden);
}

}  // namespace tidemoor
