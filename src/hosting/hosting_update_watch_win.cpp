// The watch for newer server builds: SteamCMD's word on the public build, the players' countdown,
// the update through the safe stop and the start.

#include <utility>

#include "hosting/hosting_win.h"
#include "install/app_info_query_win.h"
#include "install/update_countdown.h"
#include "platform/whole_file_win.h"
#include "server/rest_api.h"

namespace tidemoor {
namespace {

// How long the players list may take before the countdown counts the players as present.
constexpr auto kPlayersLimit = std::chrono::seconds(5);

PlayersOnline PlayersIn(const RestReply& reply) {
  if (!reply.Answered()) return PlayersOnline::Unknown;
  const RestReading<std::vector<PlayerInfo>> players = ReadPlayers(reply.body);
  if (!players.value) return PlayersOnline::Unknown;
  return players.value->empty() ? PlayersOnline::None : PlayersOnline::Some;
}

}  // namespace

UpdateWatchWorld Hosting::UpdateWatchWiring() {
  return UpdateWatchWorld{
      [this](std::function<void(const AppInfoAnswer&)> done) {
        if (!appInfoQuery_) return;
        appInfoQuery_->Run<AppInfoAnswer>(
            [paths = wiring_.paths] { return QueryAppInfo(paths, kAppInfoQueryLimit); },
            [done = std::move(done)](AppInfoAnswer answer) { done(answer); });
      },
      [this]() -> std::optional<std::string> {
        WholeFile manifest = ReadWholeFile(ServerManifestFile(wiring_.paths));
        if (manifest.state != FileState::Read) return std::nullopt;
        return std::move(manifest.bytes);
      },
      [this](std::function<void(PlayersOnline)> done) {
        if (!running_) {
          done(PlayersOnline::Unknown);
          return;
        }
        api_.Ask(PlayersRequest(running_->rest), kPlayersLimit,
                 [done = std::move(done)](const RestReply& reply) { done(PlayersIn(reply)); });
      },
      [this](const std::string& notice) {
        if (running_) api_.Send(AnnounceRequest(running_->rest, notice), [](const RestReply&) {});
      },
      [this] { return running_.has_value(); },
      [this](std::function<void(const std::string&)> done) {
        return wiring_.server.UpdateAndRestart([this, done = std::move(done)](
                                                   std::function<void()> updated) {
          PerformUnattendedUpdate(
              wiring_.paths, wiring_.updates,
              [this](const InstallStatus& status) { wiring_.updates.ShowInstallProgress(status); },
              [done, updated = std::move(updated)](const std::string& failure) {
                done(failure);
                updated();
              });
        });
      },
      [this](std::chrono::minutes wait, std::function<void()> then) {
        const std::chrono::milliseconds minute =
            wiring_.timings.updateCheck.count()
                ? wiring_.timings.updateCheck
                : std::chrono::milliseconds(std::chrono::minutes(1));
        updateCountdown_.After(minute * wait.count(), std::move(then));
      },
      [this](const std::string& text) { Alert(AlertEvent::Update, text); },
      wiring_.log};
}

void Hosting::ArmUpdateCheck() {
  const unsigned hostsPeriod = UpdateCheckMilliseconds(wiring_.choices().updateCheckMinutes);
  const std::chrono::milliseconds period = hostsPeriod && wiring_.timings.updateCheck.count()
                                               ? wiring_.timings.updateCheck
                                               : std::chrono::milliseconds(hostsPeriod);
  updateCheck_.Every(period, [this] { updateWatch_.Check(); });
}

void Hosting::UpdateCheckPeriodChanged() {
  if (begun_) ArmUpdateCheck();
}

}  // namespace tidemoor
