#pragma once
// PalWorldSettings.ini on disk, below the server directory. The file is UTF-8 and its bytes go in
// and out unconverted, so no character a user typed is lost.

#include "common/server_paths.h"
#include "platform/prompt.h"
#include "worldsettings/world_settings_text.h"

namespace tidemoor {

// Creates the configuration directory and gives a missing or nearly empty file (10 bytes or
// fewer) the template. False when a file is there but cannot be read (locked, no rights): it is
// then left alone, since writing the template would destroy the user's settings.
bool EnsureWorldSettingsFile(const ServerPaths& paths);

// Reads the file's values into the settings. False when the file exists but cannot be read; the
// settings are then untouched.
bool LoadWorldSettings(const ServerPaths& paths, WorldSettings& settings);

// Adds the options of the server's own DefaultPalWorldSettings.ini (in the server directory; only
// ever read) that the settings do not hold yet. A server without the file adds nothing.
void ApplyServerDefaults(const ServerPaths& paths, WorldSettings& settings);

// Replaces the file with the settings in one step and tells the user whether that worked. On
// failure the old file stays as it was.
bool SaveWorldSettings(const ServerPaths& paths, const WorldSettings& settings, Prompt& prompt);

// What became of the file when the REST API was turned on before a start.
enum class RestApiFileResult { Unchanged, Written, Unreadable, WriteFailed };

// Makes the file turn the REST API on (see WithRestApiEnabled), replacing it in one step; a
// missing or nearly empty file starts from the template. A file that cannot be read is left alone.
RestApiFileResult EnableRestApiInWorldSettings(const ServerPaths& paths, int port,
                                               std::string_view adminPassword);

// Whether the file as it is now turns the REST API on; a missing or unreadable file does not.
bool RestApiOnInWorldSettings(const ServerPaths& paths);

// The error shown instead of opening or revealing a file that cannot be read.
void ShowWorldSettingsUnreadable(Prompt& prompt);

}  // namespace tidemoor
