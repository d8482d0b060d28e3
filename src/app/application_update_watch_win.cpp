#include <cstdlib>
#include <utility>

#include "app/application_win.h"
#include "install/app_info_query_win.h"
#include "install/update_flow.h"
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

// The end-to-end tests cannot wait half an hour for a check, nor ten minutes for the players'
// notices; nothing else sets this.
unsigned TestCheckPeriod() {
  const char* value = std::getenv("TIDEMOOR_TEST_UPDATE_CHECK_MS");
  return value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : 0;
}

}  // namespace

void Application::WireUpdateWatch() {
  UpdateWatchWorld world{
      [this](std::function<void(const AppInfoAnswer&)> done) {
        if (!appInfoQuery_) return;
        appInfoQuery_->Run<AppInfoAnswer>(
            [paths = paths_] { return QueryAppInfo(paths, kAppInfoQueryLimit); },
            [done = std::move(done)](AppInfoAnswer answer) { done(answer); });
      },
      [this]() -> std::optional<std::string> {
        WholeFile manifest = ReadWholeFile(ServerManifestFile(paths_));
        if (manifest.state != FileState::Read) return std::nullopt;
        return std::move(manifest.bytes);
      },
      [this](std::function<void(PlayersOnline)> done) {
        playersApi_.Ask(
            PlayersRequest(server_->Endpoint()), kPlayersLimit,
            [done = std::move(done)](const RestReply& reply) { done(PlayersIn(reply)); });
      },
      [this](const std::string& notice) {
        serverApi_.Send(AnnounceRequest(server_->Endpoint(), notice), [](const RestReply&) {});
      },
      [this] { return server_->State() == ServerState::Running; },
      [this](std::function<void(const std::string&)> done) {
        return server_->UpdateAndRestart([this,
                                          done = std::move(done)](std::function<void()> updated) {
          PerformUnattendedUpdate(paths_, updateActions_,
                                  [done, updated = std::move(updated)](const std::string& failure) {
                                    done(failure);
                                    updated();
                                  });
        });
      },
      [this](std::chrono::minutes wait, std::function<void()> then) {
        // Under the end-to-end tests' period a minute of the countdown lasts one check.
        const unsigned testPeriod = TestCheckPeriod();
        updateCountdown_.After(testPeriod ? std::chrono::milliseconds(wait.count() * testPeriod)
                                          : std::chrono::milliseconds(wait),
                               std::move(then));
      },
      [this](const std::string& text) { Alert(AlertEvent::Update, text); },
      *eventLog_};
  updateWatch_.emplace(std::move(world));
}

void Application::ArmUpdateCheck() {
  const unsigned testPeriod = TestCheckPeriod();
  mainWindow_.SetTimerInterval(MainControl::UpdateCheckTimer,
                               testPeriod && UpdateCheckMilliseconds(settings_.updateCheckMinutes)
                                   ? testPeriod
                                   : UpdateCheckMilliseconds(settings_.updateCheckMinutes));
}

}  // namespace tidemoor
