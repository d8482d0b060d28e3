#include "server/server_control_win.h"

namespace tidemoor {

void ToggleServer() {}
void StopServer() {}
void OnMonitorTick() {}
void SetServerConsoleHidden(bool) {}

}  // namespace tidemoor
