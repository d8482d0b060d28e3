#pragma once
// What the tool does around the running server on its own: the live status line, who came and
// went and who may play, the memory guard, the watch for newer builds, the router mapping, the PC
// kept awake, the mods of a crash undone and the alerts to the host's phone. Every reaction
// follows the running server's value as the controller publishes it, and the host's choices as
// they are when it acts; none of them reads a box of the main window. A new reaction is a member
// here and its wiring in this part, nothing else.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "common/server_paths.h"
#include "hosting/hosting_choices.h"
#include "hosting/keep_awake_win.h"
#include "hosting/metrics_sampler_win.h"
#include "hosting/mod_crash_guard_win.h"
#include "hosting/people_on_server_win.h"
#include "hosting/remote_control_win.h"
#include "install/update_flow.h"
#include "install/update_watch.h"
#include "net/gateway_socket_win.h"
#include "net/mapping_at_start_win.h"
#include "net/webhook_sender_win.h"
#include "platform/delay_win.h"
#include "platform/event_log.h"
#include "platform/ticker_win.h"
#include "platform/worker_win.h"
#include "server/memory_watch.h"
#include "server/player_admin.h"
#include "server/player_watch.h"
#include "server/server_api_win.h"
#include "server/server_controller.h"

namespace tidemoor {

// How often the checks run and where the router is looked for: the real values, or the end-to-end
// tests' (a router on 127.0.0.1, checks every second).
struct HostingTimings {
  SearchTarget routerSearch;
  std::chrono::milliseconds memoryCheck{60'000};
  // When not 0: the update check's period whatever the host's minutes, and a minute of the
  // players' countdown.
  std::chrono::milliseconds updateCheck{0};
  // The minute between two samples of the server's week.
  std::chrono::milliseconds metricsSample{60'000};
  // The players' notice before a restart or stop asked for from the chat.
  std::chrono::milliseconds remoteNotice{60'000};
};

struct HostingWiring {
  ServerController& server;
  EventLog& log;
  ServerClock& clock;  // the time each alert names
  UpdateActions& updates;
  const ServerPaths& paths;
  Prompt& prompt;  // questions that wait for whoever comes to the PC
  std::function<HostingChoices()> choices;
  // The working set of the server's worker; nullopt while it cannot be read.
  std::function<std::optional<uint64_t>()> serverMemory;
  std::function<void(std::string_view)> showLiveStatus;
  // A manual backup point asked for from the chat; done hears "" once made, otherwise why not.
  std::function<void(std::function<void(std::string whyNot)> done)> makeBackupPoint;
  std::function<std::string()> lastBackupTime;  // the newest point's time, "" for none
  HostingTimings timings;
};

class Hosting : public ServerListener {
 public:
  explicit Hosting(HostingWiring wiring);
  Hosting(const Hosting&) = delete;
  Hosting& operator=(const Hosting&) = delete;

  // Once the main window is on screen: the periodic checks begin.
  void Begin();
  // The host changed how often newer builds are looked for.
  void UpdateCheckPeriodChanged();
  // Sends an alert of the kind to the host's webhook addresses, when they chose that kind: the one
  // way out for every event, the backups' failures among them.
  void Alert(AlertEvent event, std::string_view text);
  // Each sample of the server's week as it is taken (the 运行曲线 window draws it).
  void OnMetricsSample(std::function<void(const MetricsSample&)> listener);
  // As the window goes: whatever is pending is dropped and never hands back.
  void Cancel();
  // Control from a chat app: its line follows the host's choices from Begin on.
  RemoteControl& Remote() { return remote_; }

  void OnServerStateChanged(ServerState state, const RunningServer& run) override;
  void OnServerEvent(ServerEvent event, std::string_view text) override;

 private:
  void OnStatusTick();
  void OnMemoryTick();
  UpdateWatchWorld UpdateWatchWiring();
  void ArmUpdateCheck();

  HostingWiring wiring_;
  // The server as it was started while it runs; empty while it starts, stops or is stopped.
  std::optional<RunningServer> running_;
  // Requests of the hosting part's own, so a silent server they ask never holds up the
  // controller's.
  WindowsServerApi api_;
  LiveStatus liveStatus_;
  PlayerWatch playerWatch_;
  MemoryWatch memoryWatch_;
  MappingAtStart mapping_;
  WebhookSender alerts_;
  KeepAwake keepAwake_;
  ModCrashGuard modCrash_;
  PeopleOnServer people_;
  MetricsSampler metrics_;
  RemoteControl remote_;
  bool startAlerted_ = false;
  bool begun_ = false;
  // SteamCMD's answers about the public build, and the players' countdown before an update.
  std::optional<Worker> appInfoQuery_{std::in_place};
  Delay updateCountdown_;
  UpdateWatch updateWatch_;
  Ticker statusCheck_;
  Ticker memoryCheck_;
  Ticker updateCheck_;
};

}  // namespace tidemoor
