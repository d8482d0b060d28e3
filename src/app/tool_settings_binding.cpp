#include "app/tool_settings_binding.h"

namespace tidemoor {

void ShowToolSettings(const ToolSettings& settings, MainControls& controls) {
  for (const ToolSettingsKey& entry : ToolSettingsKeys()) {
    if (!entry.control) continue;
    const std::string text = entry.print(settings);
    if (entry.isFlag) {
      controls.SetTicked(*entry.control, text == "1");
    } else {
      controls.SetText(*entry.control, text);
    }
  }
  controls.SetTitle(settings.windowTitle);
}

bool ReadToolSetting(const MainControls& controls, MainControl changed, ToolSettings& settings) {
  for (const ToolSettingsKey& entry : ToolSettingsKeys()) {
    if (entry.control != changed) continue;
    if (entry.isFlag) {
      entry.parse(settings, controls.IsTicked(changed) ? "1" : "0");
    } else {
      entry.parse(settings, controls.Text(changed));
    }
    return true;
  }
  return false;
}

LaunchOptions LaunchOptionsOf(const ToolSettings& settings) {
  LaunchOptions options;
  options.gamePort = settings.gamePort;
  options.queryPort = settings.queryPort;
  options.maxPlayers = settings.maxPlayers;
  options.serverName = settings.serverName;
  options.joinPassword = settings.joinPassword;
  options.adminPassword = settings.adminPassword;
  options.communityListing = settings.communityListing;
  options.performanceSwitches = settings.optimizeFlags;
  options.gameDataApi = settings.gameDataApi;
  return options;
}

AutomationOptions AutomationOf(const ToolSettings& settings) {
  AutomationOptions automation;
  automation.autoUpdate = settings.autoUpdate;
  automation.hideConsole = settings.hideConsole;
  automation.crashRestart = settings.crashRestart;
  automation.intervalRestart = settings.intervalRestart;
  automation.intervalMinutes = settings.intervalMinutes;
  automation.autoBackup = settings.autoBackup;
  automation.autoBackupMinutes = settings.autoBackupMinutes;
  automation.safeStop = settings.safeStop;
  automation.restApiPort = settings.restApiPort;
  automation.restartNotice = settings.restartNotice;
  automation.hangRestart = settings.hangRestart;
  return automation;
}

}  // namespace tidemoor
