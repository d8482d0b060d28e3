#pragma once
// What the server's start and watch read from the main window's controls, as values.

#include "app/main_controls.h"
#include "server/server_command_line.h"
#include "server/server_world.h"

namespace tidemoor {

LaunchOptions ReadLaunchOptions(const MainControls& controls);
AutomationOptions ReadAutomation(const MainControls& controls);

}  // namespace tidemoor
