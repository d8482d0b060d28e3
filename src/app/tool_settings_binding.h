#pragma once
// The settings value and the parts that use it: the main window shows it and hands back what the
// user changes, and the server's start and watch get its launch options and automation choices
// as values.

#include <functional>

#include "app/main_controls.h"
#include "app/tool_settings.h"
#include "server/server_command_line.h"
#include "server/server_world.h"

namespace tidemoor {

// Fills every control that shows a setting, and the window's title.
void ShowToolSettings(const ToolSettings& settings, MainControls& controls);

// Takes what one control now holds into the value, after the user changed it; false for a
// control that shows no setting. One control at a time, so filling the controls one by one never
// reads back the ones not filled yet.
bool ReadToolSetting(const MainControls& controls, MainControl changed, ToolSettings& settings);

LaunchOptions LaunchOptionsOf(const ToolSettings& settings);
AutomationOptions AutomationOf(const ToolSettings& settings);

class ToolServerSettings : public ServerSettings {
 public:
  // save writes the settings file from the value.
  ToolServerSettings(const ToolSettings& settings, std::function<void()> save)
      : settings_(settings), save_(std::move(save)) {}
  LaunchOptions ReadLaunchOptions() override { return LaunchOptionsOf(settings_); }
  AutomationOptions ReadAutomation() override { return AutomationOf(settings_); }
  void Save() override { save_(); }

 private:
  const ToolSettings& settings_;
  std::function<void()> save_;
};

}  // namespace tidemoor
