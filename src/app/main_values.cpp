#include "app/main_values.h"

namespace tidemoor {

using C = MainControl;

LaunchOptions ReadLaunchOptions(const MainControls& controls) {
  LaunchOptions options;
  options.gamePort = controls.Text(C::GamePortEdit);
  options.queryPort = controls.Text(C::QueryPortEdit);
  options.maxPlayers = controls.Text(C::MaxPlayersEdit);
  options.serverName = controls.Text(C::ServerNameEdit);
  options.joinPassword = controls.Text(C::JoinPasswordEdit);
  options.adminPassword = controls.Text(C::AdminPasswordEdit);
  options.communityListing = controls.IsTicked(C::CommunityBox);
  options.performanceSwitches = controls.IsTicked(C::UseOptimizeFlagsBox);
  return options;
}

AutomationOptions ReadAutomation(const MainControls& controls) {
  AutomationOptions automation;
  automation.autoUpdate = controls.IsTicked(C::AutoUpdateBox);
  automation.hideConsole = controls.IsTicked(C::HideConsoleBox);
  automation.crashRestart = controls.IsTicked(C::CrashRestartBox);
  automation.intervalRestart = controls.IsTicked(C::IntervalRestartBox);
  automation.intervalMinutes = controls.Text(C::IntervalRestartMinutes);
  automation.autoBackup = controls.IsTicked(C::AutoBackupBox);
  automation.autoBackupMinutes = controls.Text(C::AutoBackupMinutes);
  automation.safeStop = controls.IsTicked(C::SafeStopBox);
  automation.restApiPort = controls.Text(C::RestApiPortEdit);
  automation.restartNotice = controls.IsTicked(C::RestartNoticeBox);
  automation.hangRestart = controls.IsTicked(C::HangRestartBox);
  return automation;
}

}  // namespace tidemoor
