#include "install/update_flow.h"

#include <utility>

#include "install/update_scripts.h"

namespace tidemoor {

std::string SteamCmdEndText(const ScriptEnd& end) {
  if (!end.started) return WithCause("更新脚本无法运行", end.failure);
  if (end.exitCode == kConsoleClosedExitCode) {
    return "更新脚本的窗口在结束前被关闭, SteamCMD 的退出代码未知";
  }
  std::string text = "SteamCMD 运行结束, 退出代码 " + std::to_string(end.exitCode);
  if (!end.lastError.empty()) text.append(" (").append(end.lastError).append(")");
  return text;
}

void PerformManualUpdate(const ServerPaths& paths, UpdateActions& actions, Prompt& prompt) {
  if (!prompt.Confirm(kManualUpdateQuestion, " Quiz", PromptStyle::Question)) return;
  actions.StopServer([paths, &actions, &prompt](bool stopped) {
    if (!stopped) return;
    actions.ShowStatusLine("游戏服务端版本 (等待服务端启动)");
    actions.DeploySteamCmd([paths, &actions, &prompt](SteamCmdState state) {
      if (state == SteamCmdState::DownloadFailed) {
        // Without SteamCMD the script's console would only show a cryptic command error.
        prompt.Ask(kSteamCmdDownloadFailed, " Error", PromptStyle::Error);
        return;
      }
      const std::string script = ManualUpdateScriptFile(paths);
      // An old script would run what it held before, a missing one would not run at all.
      if (Outcome written = actions.WriteScript(script, ManualUpdateScript()); !written) {
        prompt.Ask(" " + WithCause("更新失败 - 无法写入 " + script, written.Error()) + " ",
                   " Error", PromptStyle::Error);
        return;
      }
      actions.OpenScript(script, paths.DataDir, [&actions](const ScriptEnd& end) {
        actions.Record("手动更新服务端: " + SteamCmdEndText(end));
      });
    });
  });
}

void PerformAutoUpdate(bool wanted, const ServerPaths& paths, UpdateActions& actions,
                       InstallProgressFunction progress, std::function<void()> done) {
  if (!wanted) {
    done();
    return;
  }
  // Whatever went wrong, the start goes on with the server that is installed.
  PerformUnattendedUpdate(
      paths, actions, std::move(progress),
      [&actions, done = std::move(done)](const std::string& failure) {
        if (!failure.empty()) {
          actions.Record("启动前自动更新服务端失败: " + failure + " - 以已安装的服务端启动");
        }
        done();
      });
}

void PerformUnattendedUpdate(const ServerPaths& paths, UpdateActions& actions,
                             InstallProgressFunction progress,
                             std::function<void(std::string failure)> done) {
  actions.DeploySteamCmd([paths, &actions, progress = std::move(progress),
                          done = std::move(done)](SteamCmdState state) mutable {
    if (state == SteamCmdState::DownloadFailed) {
      done("下载 SteamCMD 失败 - 请检查网络连接");
      return;
    }
    const std::string script = AutoUpdateScriptFile(paths);
    if (Outcome written = actions.WriteScript(script, AutoUpdateScript()); !written) {
      done(WithCause("无法写入 " + script, written.Error()));
      return;
    }
    actions.RunToEnd(QuotedCommandLine(script), std::move(progress),
                     [&actions, script, done = std::move(done)](const ScriptEnd& end) {
                       actions.Record("自动更新服务端: " + SteamCmdEndText(end));
                       if (!end.started) {
                         done(WithCause("无法运行 " + script, end.failure));
                       } else if (end.exitCode != 0) {
                         done(SteamCmdEndText(end));
                       } else {
                         done({});
                       }
                     });
  });
}

}  // namespace tidemoor
