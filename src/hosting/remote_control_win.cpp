#include "hosting/remote_control_win.h"

#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "remote/remote_command.h"
#include "remote/remote_replies.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

constexpr auto kAskLimit = 3s;
// A restart or start that never reached a running server frees the commands again after this.
constexpr auto kWorkLimit = 10min;
constexpr char kRestartNotice[] = "服务器将在 1 分钟后重启";
constexpr char kStopNotice[] = "服务器将在 1 分钟后关闭";

ServerRunState RunStateOf(ServerState state) {
  switch (state) {
    case ServerState::Stopped:
      return ServerRunState::Stopped;
    case ServerState::Starting:
      return ServerRunState::Starting;
    case ServerState::Running:
      return ServerRunState::Running;
    case ServerState::Stopping:
      return ServerRunState::Stopping;
  }
  return ServerRunState::Stopped;
}

bool Contains(const std::vector<std::string>& ids, const std::string& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// A running line starts over only when the token or the address changes.
bool SameLine(const RemoteSettings& wanted, const std::optional<RemoteSettings>& started) {
  return started && wanted.kookToken == started->kookToken && wanted.kookApi == started->kookApi;
}

}  // namespace

RemoteControl::RemoteControl(RemoteControlWiring wiring)
    : wiring_(std::move(wiring)),
      kook_(KookLinkEvents{
          [this](const ChatMessage& message) { OnMessage(message); },
          [this](KookLineState state, const std::string& text) { OnLine(state, text); },
          [this](const std::string& why) {
            wiring_.log.Record("KOOK 回复未能发出: " + EscapeControlCharacters(why, 200));
          }}) {}

void RemoteControl::Apply() {
  const RemoteSettings settings = wiring_.settings();
  std::optional<RemoteSettings> wanted;
  if (settings.kook && !TrimBlanks(settings.kookToken).empty()) wanted = settings;
  if (!wanted) {
    kook_.Stop();
    started_.reset();
    OnLine(KookLineState::Off,
           settings.kook ? "请先填写机器人令牌" : KookLineText(KookLineState::Off, "", 0));
    return;
  }
  if (SameLine(*wanted, started_)) return;
  started_ = wanted;
  kook_.Stop();
  const std::optional<std::string> api = KookApiBase(wanted->kookApi);
  if (!api) {
    OnLine(KookLineState::Refused,
           "接口地址不可用 - 只接受 https:// 地址 (http:// 仅限 127.0.0.1)");
    return;
  }
  kook_.Start(*api, std::string(TrimBlanks(wanted->kookToken)));
}

void RemoteControl::Cancel() {
  notice_.Cancel();
  kook_.Stop();
}

// The event log hears of a change, not of every try: a line down for hours tries again every
// minute, and each try's "connecting" is no news.
void RemoteControl::OnLine(KookLineState state, const std::string& text) {
  if (state != KookLineState::Connecting && state != loggedState_) {
    wiring_.log.Record("KOOK 机器人: " + text);
    loggedState_ = state;
  }
  lineState_ = state;
  lineText_ = text;
  if (lineListener_) lineListener_();
}

void RemoteControl::Follow(ServerState state, const RunningServer& run) {
  const ServerState before = state_;
  state_ = state;
  if (state == ServerState::Running) {
    if (!running_) runningSince_ = std::chrono::steady_clock::now();
    running_ = run;
  } else {
    running_.reset();
  }
  if (work_ == ServerWork::None || !workAskedBy_ || state == before) return;
  const ChatMessage asker = *workAskedBy_;
  const ServerWork work = work_;
  if (state == ServerState::Running &&
      (work == ServerWork::Restarting || work == ServerWork::Starting)) {
    work_ = ServerWork::None;
    notice_.Cancel();
    Say(asker, work == ServerWork::Restarting ? "服务端已重启" : "服务端已启动");
  } else if (state == ServerState::Stopped && work == ServerWork::Starting &&
             before == ServerState::Starting) {
    work_ = ServerWork::None;
    notice_.Cancel();
    Say(asker, "服务端未能启动 - 详见服务器电脑上的事件日志");
  }
}

void RemoteControl::OnServerEvent(ServerEvent event, std::string_view text) {
  if (event == ServerEvent::Crashed || event == ServerEvent::Hung) lastCrash_ = text;
}

ServerSnapshot RemoteControl::Snapshot() const {
  ServerSnapshot snapshot;
  snapshot.state = RunStateOf(state_);
  snapshot.work = work_;
  snapshot.lastBackup = wiring_.lastBackupTime();
  snapshot.lastCrash = lastCrash_;
  if (!running_) return snapshot;
  snapshot.uptime = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::steady_clock::now() - runningSince_);
  if (const std::optional<ServerMetrics> metrics = wiring_.metrics()) {
    snapshot.maxPlayers = metrics->maxPlayers;
    snapshot.fps = metrics->serverFps;
    snapshot.uptime = std::chrono::seconds(metrics->uptimeSeconds);
  }
  snapshot.memoryBytes = wiring_.serverMemory();
  return snapshot;
}

// Only the chosen channels are heard, and private messages from admins; a private message from
// anyone else only puts its author among those the host may pick.
void RemoteControl::OnMessage(const ChatMessage& message) {
  const RemoteSettings settings = wiring_.settings();
  if (!message.isPrivate && !Contains(IdList(settings.kookChannels), message.channel)) return;
  if (message.isPrivate && !Contains(IdList(settings.admins), message.authorId)) {
    session_.NoteAuthor(message);
    return;
  }
  const bool command =
      ReadRemoteCommand(message.text, message.isPrivate || message.mentionsBot).has_value();
  if (!command || !running_) return Answer(message, Snapshot(), {});
  // The version and who is online come fresh from the server for every command.
  const RestEndpoint rest = running_->rest;
  wiring_.api.Ask(InfoRequest(rest), kAskLimit, [this, message, rest](const RestReply& info) {
    ServerSnapshot snapshot = Snapshot();
    if (info.Answered()) {
      snapshot.restApi = true;
      if (const auto read = ReadInfo(info.body); read.value) snapshot.version = read.value->version;
    }
    wiring_.api.Ask(PlayersRequest(rest), kAskLimit,
                    [this, message, snapshot](const RestReply& players) mutable {
                      std::vector<std::string> ips;
                      if (const auto read = ReadPlayers(players.body);
                          players.Answered() && read.value) {
                        for (const PlayerInfo& player : *read.value) {
                          snapshot.playerNames.push_back(player.name);
                          if (!player.ip.empty()) ips.push_back(player.ip);
                        }
                      }
                      Answer(message, std::move(snapshot), std::move(ips));
                    });
  });
}

void RemoteControl::Answer(const ChatMessage& message, ServerSnapshot snapshot,
                           std::vector<std::string> playerIps) {
  playerIps_ = std::move(playerIps);
  const RemoteDecision decision = session_.Answer(
      message, snapshot, IdList(wiring_.settings().admins), std::chrono::steady_clock::now());
  if (!decision.logLine.empty()) wiring_.log.Record(decision.logLine);
  if (!decision.reply.empty()) Say(message, decision.reply);
  CarryOut(message, decision, static_cast<int>(snapshot.playerNames.size()));
}

void RemoteControl::CarryOut(const ChatMessage& message, const RemoteDecision& decision,
                             int playersOnline) {
  switch (decision.action) {
    case RemoteAction::None:
      return;
    case RemoteAction::Announce:
      if (!running_) return;
      wiring_.log.Record("向玩家公告: " + EscapeControlCharacters(decision.announcement));
      wiring_.api.Send(AnnounceRequest(running_->rest, decision.announcement),
                       [](const RestReply&) {});
      return;
    case RemoteAction::Backup:
      work_ = ServerWork::BackingUp;
      wiring_.makeBackupPoint([this, message](std::string whyNot) {
        if (work_ == ServerWork::BackingUp) work_ = ServerWork::None;
        Say(message, whyNot.empty() ? "备份点已创建" : "备份点未能创建: " + whyNot);
      });
      return;
    case RemoteAction::Restart:
      work_ = ServerWork::Restarting;
      workAskedBy_ = message;
      AfterNotice(playersOnline, kRestartNotice, [this] {
        if (!wiring_.server.RestartUnattended("远程指令: 安全重启服务端")) {
          work_ = ServerWork::None;
          Say(*workAskedBy_, "重启未能开始 - 服务端没有运行, 或备份正在读取存档");
          return;
        }
        notice_.After(kWorkLimit, [this] { work_ = ServerWork::None; });
      });
      return;
    case RemoteAction::Stop:
      work_ = ServerWork::Stopping;
      workAskedBy_ = message;
      AfterNotice(playersOnline, kStopNotice, [this] {
        wiring_.server.Stop([this](bool stopped) {
          work_ = ServerWork::None;
          Say(*workAskedBy_, stopped ? "服务端已关闭" : "关服未能开始 - 另一项启动或关闭正在进行");
        });
      });
      return;
    case RemoteAction::Start:
      work_ = ServerWork::Starting;
      workAskedBy_ = message;
      wiring_.server.StartUnattended();
      notice_.After(kWorkLimit, [this] { work_ = ServerWork::None; });
      return;
  }
}

void RemoteControl::AfterNotice(int playersOnline, std::string_view notice,
                                std::function<void()> then) {
  if (playersOnline == 0 || !running_) return then();
  wiring_.log.Record("向玩家公告: " + std::string(notice));
  wiring_.api.Send(AnnounceRequest(running_->rest, notice), [](const RestReply&) {});
  // An empty server goes at once; the players hear of it a minute before otherwise.
  notice_.After(wiring_.notice, std::move(then));
}

void RemoteControl::Say(const ChatMessage& to, std::string text) {
  std::vector<std::string> secrets = wiring_.secrets();
  secrets.insert(secrets.end(), playerIps_.begin(), playerIps_.end());
  kook_.Reply(to, WithoutSecrets(std::move(text), secrets));
}

}  // namespace tidemoor
