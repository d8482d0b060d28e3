#pragma once
// The unattended update: while the server runs, the public build SteamCMD reports is compared with
// the installed one, and a newer build is installed through a safe stop and a start, the players
// warned first. Everything outside (SteamCMD, the REST API, the timer, the server) comes through
// the callbacks, which hand their results back on the window's thread.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "install/update_countdown.h"
#include "platform/event_log.h"

namespace tidemoor {

inline constexpr char kServerAppId[] = "2394010";

// What SteamCMD printed for +app_info_print, or why it printed nothing usable.
struct AppInfoAnswer {
  std::string output;
  std::string failure;    // empty when SteamCMD ran to its end within its limit
  uint32_t exitCode = 0;  // SteamCMD's, when it ran to its end
};

struct UpdateWatchWorld {
  std::function<void(std::function<void(const AppInfoAnswer&)>)> askPublicBuild;
  // steamapps\appmanifest_2394010.acf's text; nullopt when it cannot be read.
  std::function<std::optional<std::string>()> readManifest;
  std::function<void(std::function<void(PlayersOnline)>)> askPlayers;
  std::function<void(const std::string&)> announce;
  std::function<bool()> serverRunning;
  // The safe stop, SteamCMD's update and the start; done hears why SteamCMD did not run (empty
  // when it ran). Returns false, and done never runs, when the server cannot be stopped now (a
  // start or a stop is under way).
  std::function<bool(std::function<void(const std::string& failure)>)> updateServer;
  // Runs then once the minutes have passed; a wait still pending is replaced.
  std::function<void(std::chrono::minutes, std::function<void()>)> after;
  // The host's alerts: a newer build found (once per build), installed, or failed to install; the
  // text is the event log's. May be empty.
  std::function<void(const std::string& text)> alert;
  EventLog& log;
};

class UpdateWatch {
 public:
  explicit UpdateWatch(UpdateWatchWorld world) : world_(std::move(world)) {}

  // The check timer, while the server runs; a check or a countdown under way goes on alone. A
  // server stopped by other hands meanwhile ends the countdown without an update.
  void Check();

 private:
  enum class Phase { Idle, Asking, CountingDown, Updating };

  void OnAnswer(const AppInfoAnswer& answer);
  std::optional<uint64_t> Installed();
  void Step();
  void Update();
  void End();
  void Tell(const std::string& text);
  void CheckFailed(const std::string& why);

  UpdateWatchWorld world_;
  Phase phase_ = Phase::Idle;
  int minutesLeft_ = kNoCountdown;
  uint64_t available_ = 0;
  uint64_t installed_ = 0;
  uint64_t lastFound_ = 0;  // the build last told of, so each one is told once
  // A build whose update failed is not tried again by itself: a retry each check would restart
  // the server every half hour for nothing. The manual update remains.
  uint64_t failed_ = 0;
  std::string lastFailure_;    // told once until a check gets through
  uint64_t refused_ = 0;       // the build whose update could not begin, told once until it does
  uint32_t lastExitCode_ = 0;  // SteamCMD's last code other than 0 is told once until it changes
  // Counts the countdowns, so a wait or an answer from one that ended does nothing.
  uint32_t round_ = 0;
};

}  // namespace tidemoor
