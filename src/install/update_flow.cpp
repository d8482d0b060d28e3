#include "install/update_flow.h"

#include "install/update_scripts.h"

namespace tidemoor {

void PerformManualUpdate(MainControls& controls, const ServerPaths& paths, UpdateActions& actions) {
  if (!actions.Confirm(kManualUpdateQuestion, " Quiz")) return;
  if (!actions.StopServer()) return;
  controls.SetText(MainControl::StatusLine, std::string("游戏服务端版本 (") + kStatusWaiting + ")");
  if (actions.DeploySteamCmd() == SteamCmdState::DownloadFailed) {
    // Without SteamCMD the script's console would only show a cryptic command error.
    actions.ShowError(kSteamCmdDownloadFailed, " Error");
    return;
  }
  const std::string script = ManualUpdateScriptFile(paths);
  actions.WriteScript(script, ManualUpdateScript());
  actions.OpenScript(script, paths.DataDir);
}

void PerformAutoUpdate(const MainControls& controls, const ServerPaths& paths,
                       UpdateActions& actions) {
  if (!controls.IsTicked(MainControl::AutoUpdateBox)) return;
  // Without SteamCMD the start goes on with the server that is installed.
  if (actions.DeploySteamCmd() == SteamCmdState::DownloadFailed) return;
  const std::string script = AutoUpdateScriptFile(paths);
  actions.WriteScript(script, AutoUpdateScript());
  actions.RunToEnd(QuotedCommandLine(script));
}

}  // namespace tidemoor
