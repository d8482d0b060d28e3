#pragma once
// Control of the server from a chat app: people's commands read by the session, carried out here
// on the running server (a safe restart or stop after a minute's notice to the players, a start, a
// backup point, an announcement), and answered in the chat, again once the work is done. Only
// the channels the host chose are heard, and private messages.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/delay_win.h"
#include "platform/event_log.h"
#include "remote/kook_link_win.h"
#include "remote/remote_session.h"
#include "remote/remote_settings.h"
#include "server/rest_api.h"
#include "server/server_controller.h"

namespace tidemoor {

struct RemoteControlWiring {
  ServerController& server;
  ServerApi& api;
  EventLog& log;
  std::function<RemoteSettings()> settings;
  // Every secret of the host's a reply must never show (passwords, token, webhook addresses).
  std::function<std::vector<std::string>()> secrets;
  // A manual backup point; done hears "" once it is made, otherwise why not.
  std::function<void(std::function<void(std::string whyNot)> done)> makeBackupPoint;
  std::function<std::string()> lastBackupTime;  // "" when there is none
  std::function<std::optional<uint64_t>()> serverMemory;
  std::function<std::optional<ServerMetrics>()> metrics;  // the live status's last answer
  std::chrono::milliseconds notice;  // the players hear of a restart or stop this long before
};

class RemoteControl {
 public:
  explicit RemoteControl(RemoteControlWiring wiring);
  RemoteControl(const RemoteControl&) = delete;
  RemoteControl& operator=(const RemoteControl&) = delete;

  // Reads the host's choices again: the KOOK line starts, starts over or ends as they say.
  void Apply();
  void Follow(ServerState state, const RunningServer& run);
  void OnServerEvent(ServerEvent event, std::string_view text);
  // As the window goes.
  void Cancel();

  KookLineState LineState() const { return lineState_; }
  const std::string& LineText() const { return lineText_; }
  std::vector<std::pair<std::string, std::string>> RecentAuthors() const {
    return session_.RecentAuthors();
  }
  // Told each change of the line (the 远程管理 window shows it).
  void OnLineChanged(std::function<void()> listener) { lineListener_ = std::move(listener); }

 private:
  void OnMessage(const ChatMessage& message);
  void Answer(const ChatMessage& message, ServerSnapshot snapshot,
              std::vector<std::string> playerIps);
  void CarryOut(const ChatMessage& message, const RemoteDecision& decision, int playersOnline);
  // The restart or stop after its notice; the players are told a minute before.
  void AfterNotice(int playersOnline, std::string_view notice, std::function<void()> then);
  void Say(const ChatMessage& to, std::string text);
  ServerSnapshot Snapshot() const;
  void OnLine(KookLineState state, const std::string& text);

  RemoteControlWiring wiring_;
  KookLink kook_;
  RemoteSession session_;
  // What the line was started with: it starts over only when one of them changes.
  std::optional<RemoteSettings> started_;
  KookLineState lineState_ = KookLineState::Off;
  KookLineState loggedState_ = KookLineState::Off;
  std::string lineText_ = "未启用";
  std::function<void()> lineListener_;
  ServerState state_{};
  std::optional<RunningServer> running_;
  ServerWork work_ = ServerWork::None;
  // Who asked for the work under way: told when it is done.
  std::optional<ChatMessage> workAskedBy_;
  std::string lastCrash_;
  // The IPs of the players last asked for: never in a reply.
  std::vector<std::string> playerIps_;
  std::chrono::steady_clock::time_point runningSince_;
  Delay notice_;
};

}  // namespace tidemoor
