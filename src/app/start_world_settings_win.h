#pragma once
// What a start writes into PalWorldSettings.ini before the launch (the main window's name and
// passwords, the REST API for the safe stop), what it tells the event log about the file, and
// the warnings about a missing or weak admin password, once per run each.

#include <string_view>

#include "app/tool_settings.h"
#include "common/server_paths.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/server_world.h"

namespace tidemoor {

class StartWorldSettingsWriter {
 public:
  // settings: the tool's, whose REST API flag the write keeps up to date (and saves when it
  // changes).
  StartWorldSettingsWriter(const ServerPaths& paths, Prompt& prompt, ToolSettings& settings)
      : paths_(paths), prompt_(prompt), settings_(settings) {}

  void Write(const StartWorldSettings& wanted, EventLog& eventLog);

 private:
  void WarnOfAdminPassword(const StartWorldSettings& wanted, EventLog& eventLog);

  const ServerPaths& paths_;
  Prompt& prompt_;
  ToolSettings& settings_;
  // Each warning about the admin password is shown once per run, not at every start.
  bool toldEmptyAdminPassword_ = false;
  bool toldWeakAdminPassword_ = false;
};

}  // namespace tidemoor
