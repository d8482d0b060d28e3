#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {

void OpenWorldSettingsWindow() {}
void RevealWorldSettingsFile() {}

}  // namespace tidemoor
