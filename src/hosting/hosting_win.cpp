#include "hosting/hosting_win.h"

#include <string>
#include <utility>

#include "hosting/server_alerts.h"
#include "server/player_roster.h"

namespace tidemoor {
namespace {

constexpr auto kStatusCheck = std::chrono::seconds(10);

}  // namespace

Hosting::Hosting(HostingWiring wiring)
    : wiring_(std::move(wiring)),
      liveStatus_(api_, wiring_.showLiveStatus, wiring_.serverMemory),
      playerWatch_(api_, [this](std::string_view text) { wiring_.log.Record(text); }),
      memoryWatch_(MemoryWatchWorld{
          api_, [this](std::string_view text) { wiring_.log.Record(text); }, wiring_.serverMemory,
          [this](std::string_view why) {
            const bool restarting = wiring_.server.RestartUnattended(why);
            if (restarting) Alert(AlertEvent::Restart, why);
            return restarting;
          }}),
      mapping_(wiring_.timings.routerSearch,
               [this](std::string_view line) { wiring_.log.Record(line); }),
      alerts_(wiring_.log),
      keepAwake_([this](std::string_view text) { wiring_.log.Record(text); }),
      modCrash_(ModCrashGuardWiring{wiring_.paths, wiring_.server, wiring_.clock, wiring_.prompt,
                                    wiring_.log}),
      people_(PeopleWiring{api_, wiring_.log, wiring_.paths,
                           [this] { return wiring_.choices().whitelist; }}),
      metrics_(MetricsSamplerWiring{MetricsFile(wiring_.paths), wiring_.timings.metricsSample,
                                    [this](std::string_view text) { wiring_.log.Record(text); },
                                    [this] { return liveStatus_.Latest(); }, wiring_.serverMemory}),
      remote_(RemoteControlWiring{
          wiring_.server, api_, wiring_.log, [this] { return wiring_.choices().remote; },
          [this] { return wiring_.choices().secrets; }, wiring_.makeBackupPoint,
          wiring_.lastBackupTime, wiring_.serverMemory, [this] { return liveStatus_.Latest(); },
          wiring_.timings.remoteNotice}),
      updateWatch_(UpdateWatchWiring()) {
  playerWatch_.SetListener([this](const PlayerChange& change) {
    people_.OnPlayerChange(change);
    Alert(AlertEvent::Players, PlayerChangeText(change));
  });
}

void Hosting::Begin() {
  begun_ = true;
  statusCheck_.Every(kStatusCheck, [this] { OnStatusTick(); });
  memoryCheck_.Every(wiring_.timings.memoryCheck, [this] { OnMemoryTick(); });
  people_.Begin();
  remote_.Apply();
  ArmUpdateCheck();
}

void Hosting::Cancel() {
  statusCheck_.Stop();
  memoryCheck_.Stop();
  updateCheck_.Stop();
  appInfoQuery_.reset();
  updateCountdown_.Cancel();
  mapping_.Cancel();
  alerts_.Cancel();
  modCrash_.Cancel();
  people_.Cancel();
  metrics_.Cancel();
  remote_.Cancel();
}

void Hosting::OnMetricsSample(std::function<void(const MetricsSample&)> listener) {
  metrics_.SetListener(std::move(listener));
}

// 开服时自动映射端口: a start the tool made (each restart too) or a server it took over maps the
// ports it runs on; a stop, a kill or a crash the monitor saw removes what that run mapped, and a
// start that never got the server running has nothing to remove.
// The PC stays awake from the moment the server runs until it has stopped, through a restart's
// stop and start, and follows the box within a status check while it runs.
void Hosting::OnServerStateChanged(ServerState state, const RunningServer& run) {
  metrics_.Follow(state == ServerState::Running);
  remote_.Follow(state, run);
  if (state == ServerState::Running) {
    running_ = run;
    const HostingChoices choices = wiring_.choices();
    if (choices.mapPortsAtStart) mapping_.Map(run.gamePort, run.queryPort);
    keepAwake_.Follow(choices.keepAwake);
    people_.Follow(running_);
    return;
  }
  running_.reset();
  people_.Follow(running_);
  if (state == ServerState::Stopping) modCrash_.OnStopped();
  if (state == ServerState::Stopped) {
    mapping_.Remove();
    keepAwake_.Follow(false);
  }
}

void Hosting::OnServerEvent(ServerEvent event, std::string_view text) {
  if (event == ServerEvent::Started) modCrash_.OnLaunched();
  if (event == ServerEvent::Crashed) modCrash_.OnCrashed(text);
  remote_.OnServerEvent(event, text);
  if (const std::optional<AlertEvent> alert = AlertOfServerEvent(event, startAlerted_)) {
    Alert(*alert, text);
  }
}

void Hosting::Alert(AlertEvent event, std::string_view text) {
  const HostingChoices choices = wiring_.choices();
  if (!AlertEventChosen(choices.alerts.notifyEvents, event)) return;
  alerts_.Send(choices.alerts.addresses,
               WebhookAlert{std::string(AlertEventKey(event)), std::string(text),
                            wiring_.clock.LocalDateTimeText(), choices.serverName});
}

void Hosting::OnStatusTick() {
  const RestEndpoint endpoint = running_ ? running_->rest : RestEndpoint{};
  if (running_) keepAwake_.Follow(wiring_.choices().keepAwake);
  liveStatus_.Tick(running_.has_value(), endpoint);
  playerWatch_.Tick(running_.has_value(), endpoint);
}

void Hosting::OnMemoryTick() {
  memoryWatch_.Tick(running_.has_value(), running_ ? running_->rest : RestEndpoint{},
                    wiring_.choices().memoryRestartGb);
}

}  // namespace tidemoor
