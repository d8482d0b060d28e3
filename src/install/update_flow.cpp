#include "install/update_flow.h"

#include "install/update_scripts.h"

namespace tidemoor {

void PerformManualUpdate(const ServerPaths& paths, UpdateActions& actions, Prompt& prompt) {
  if (!prompt.Confirm(kManualUpdateQuestion, " Quiz", PromptStyle::Question)) return;
  if (!actions.StopServer()) return;
  actions.ShowStatusLine("游戏服务端版本 (等待服务端启动)");
  if (actions.DeploySteamCmd() == SteamCmdState::DownloadFailed) {
    // Without SteamCMD the script's console would only show a cryptic command error.
    prompt.Ask(kSteamCmdDownloadFailed, " Error", PromptStyle::Error);
    return;
  }
  const std::string script = ManualUpdateScriptFile(paths);
  // An old script would run what it held before, a missing one would not run at all.
  if (Outcome written = actions.WriteScript(script, ManualUpdateScript()); !written) {
    prompt.Ask(" " + WithCause("更新失败 - 无法写入 " + script, written.Error()) + " ", " Error",
               PromptStyle::Error);
    return;
  }
  actions.OpenScript(script, paths.DataDir);
}

void PerformAutoUpdate(bool wanted, const ServerPaths& paths, UpdateActions& actions) {
  if (!wanted) return;
  // Without SteamCMD the start goes on with the server that is installed.
  if (actions.DeploySteamCmd() == SteamCmdState::DownloadFailed) return;
  const std::string script = AutoUpdateScriptFile(paths);
  actions.WriteScript(script, AutoUpdateScript());
  actions.RunToEnd(QuotedCommandLine(script));
}

}  // namespace tidemoor
