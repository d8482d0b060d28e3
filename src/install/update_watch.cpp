#include "install/update_watch.h"

#include <utility>

#include "install/app_info.h"

namespace tidemoor {

void UpdateWatch::Check() {
  if (phase_ != Phase::Idle || !world_.serverRunning()) return;
  phase_ = Phase::Asking;
  world_.askPublicBuild([this, round = round_](const AppInfoAnswer& answer) {
    if (round == round_) OnAnswer(answer);
  });
}

void UpdateWatch::Tell(const std::string& text) {
  world_.log.Record(text);
  if (world_.alert) world_.alert(text);
}

// An offline PC would otherwise add the same line every half hour.
void UpdateWatch::CheckFailed(const std::string& why) {
  if (why == lastFailure_) return;
  lastFailure_ = why;
  world_.log.Record("检查服务端更新失败: " + why);
}

void UpdateWatch::End() {
  phase_ = Phase::Idle;
  ++round_;
}

std::optional<uint64_t> UpdateWatch::Installed() {
  const std::optional<std::string> manifest = world_.readManifest();
  return manifest ? InstalledBuildId(*manifest) : std::nullopt;
}

void UpdateWatch::OnAnswer(const AppInfoAnswer& answer) {
  phase_ = Phase::Idle;
  // SteamCMD may end with an error code and still print the app's info; a code every half hour
  // would bury the log, so each one is told when it first comes.
  if (answer.failure.empty() && answer.exitCode != lastExitCode_) {
    lastExitCode_ = answer.exitCode;
    if (answer.exitCode != 0) {
      world_.log.Record("SteamCMD 查询服务端版本结束, 退出代码 " + std::to_string(answer.exitCode));
    }
  }
  if (!answer.failure.empty()) {
    CheckFailed(answer.failure);
    return;
  }
  const std::optional<uint64_t> available = PublicBuildId(answer.output, kServerAppId);
  if (!available) {
    CheckFailed("SteamCMD 的回答中没有公开版本号");
    return;
  }
  const std::optional<uint64_t> installed = Installed();
  // Without the manifest nothing says which build runs; updating blindly every half hour would
  // restart the server for nothing.
  if (!installed) {
    CheckFailed("无法读取已安装版本 (steamapps\\appmanifest_" + std::string(kServerAppId) +
                ".acf)");
    return;
  }
  lastFailure_.clear();
  if (*available <= *installed || *available == failed_) return;
  available_ = *available;
  installed_ = *installed;
  if (lastFound_ != available_) {
    lastFound_ = available_;
    Tell("发现服务端新版本: 已安装 " + std::to_string(installed_) + ", 最新 " +
         std::to_string(available_));
  }
  phase_ = Phase::CountingDown;
  minutesLeft_ = kNoCountdown;
  Step();
}

void UpdateWatch::Step() {
  world_.askPlayers([this, round = round_](PlayersOnline players) {
    if (round != round_) return;
    if (!world_.serverRunning()) {
      End();
      return;
    }
    const UpdateStep step = NextUpdateStep(minutesLeft_, players);
    if (step.updateNow) {
      Update();
      return;
    }
    const std::string notice = UpdateNotice(step.noticeMinutes);
    world_.log.Record("向玩家公告: " + notice);
    world_.announce(notice);
    minutesLeft_ = step.minutesLeft;
    world_.after(std::chrono::minutes(step.waitMinutes), [this, round] {
      if (round == round_) Step();
    });
  });
}

void UpdateWatch::Update() {
  phase_ = Phase::Updating;
  // Once said, a refusal is not said again at every check while it lasts.
  if (refused_ != available_) {
    world_.log.Record("自动更新服务端: 版本 " + std::to_string(installed_) + " -> " +
                      std::to_string(available_));
  }
  const bool begun = world_.updateServer([this](const std::string& failure) {
    End();
    const std::optional<uint64_t> now = Installed();
    // The manifest says whether the build came, whatever SteamCMD's exit code said.
    if (now && *now >= available_) {
      Tell("服务端已更新到版本 " + std::to_string(*now));
      return;
    }
    // The old files are still in place: the server starts again as it was.
    const std::string why = !failure.empty() ? failure
                            : now ? "SteamCMD 结束后已安装版本仍为 " + std::to_string(*now)
                                  : "SteamCMD 结束后无法读取已安装版本";
    failed_ = available_;
    Tell("服务端更新失败, 以原版本启动 (此版本不再自动更新, 可手动更新): " + why);
  });
  if (!begun) {
    // The server could not be stopped now (a start or a stop of its own is under way): the watch
    // goes on, and a later check tries again.
    End();
    if (refused_ == available_) return;
    refused_ = available_;
    world_.log.Record("自动更新服务端未能开始: 服务端正在启动或关闭, 下次检查时再试");
    return;
  }
  refused_ = 0;
}

}  // namespace tidemoor
