#pragma once
// PalWorldSettings.ini on disk, below the server directory of Program().Paths. The file is UTF-8
// and its bytes go in and out unconverted, so no character a user typed is lost.

#include <windows.h>

#include "worldsettings/world_settings_text.h"

namespace tidemoor {

// Creates the configuration directory and gives a missing or nearly empty file (10 bytes or
// fewer) the template. False when a file is there but cannot be read (locked, no rights): it is
// then left alone, since writing the template would destroy the user's settings.
bool EnsureWorldSettingsFile();

// Reads the file's values into the settings. False when the file exists but cannot be read; the
// settings are then untouched.
bool LoadWorldSettings(WorldSettings& settings);

// Replaces the file with the settings in one step and tells the user, owned by the given window,
// whether that worked. On failure the old file stays as it was.
bool SaveWorldSettings(const WorldSettings& settings, HWND owner);

// The error shown instead of opening or revealing a file that cannot be read.
void ShowWorldSettingsUnreadable(HWND owner);

}  // namespace tidemoor
