#pragma once
// PalWorldSettings.ini on disk, below the server directory. The file is read as UTF-8 or UTF-16
// (see settings_file_encoding.h) and written back in the encoding it came in; a save replaces
// only its option list line, so no character a user typed and nothing around the list is lost.

#include "common/server_paths.h"
#include "platform/prompt.h"
#include "platform/system_error.h"
#include "worldsettings/rest_api_settings.h"
#include "worldsettings/world_settings_text.h"

namespace tidemoor {

// Creates the configuration directory and gives a missing or nearly empty file (10 bytes or
// fewer) the template. False when a file is there but cannot be read (locked, no rights): it is
// then left alone, since writing the template would destroy the user's settings.
bool EnsureWorldSettingsFile(const ServerPaths& paths);

// Reads the file's values into the settings. False when the file exists but cannot be read or is
// in no encoding the tool understands; the settings are then untouched.
bool LoadWorldSettings(const ServerPaths& paths, WorldSettings& settings);

// Adds the options of the server's own DefaultPalWorldSettings.ini (in the server directory; only
// ever read) that the settings do not hold yet. A server without the file adds nothing.
void ApplyServerDefaults(const ServerPaths& paths, WorldSettings& settings);

// Replaces the file's option list with the settings' in one step and tells the user whether that
// worked. On failure, and for a file in an encoding the tool does not understand, the old file
// stays as it was.
bool SaveWorldSettings(const ServerPaths& paths, const WorldSettings& settings, Prompt& prompt);

// What became of the file when a start wrote its pairs.
enum class WorldSettingsWrite { Unchanged, Written, Unreadable, Undecodable, WriteFailed };

struct StartSettingsWrite {
  WorldSettingsWrite result = WorldSettingsWrite::Unchanged;
  StartSettingsPlan plan;  // what was (or would have been) written
  SystemError error;       // why, when the file was Unreadable or WriteFailed
};

// Writes the start's pairs (see PlanStartSettings) into the file, replacing it in one step; a
// missing or nearly empty file starts from the template. A file that cannot be read or decoded is
// left alone.
StartSettingsWrite WriteStartSettings(const ServerPaths& paths, const StartSettingsChoice& choice);

// Whether the file as it is now turns the REST API on; a missing or unreadable file does not.
bool RestApiOnInWorldSettings(const ServerPaths& paths);

// The error shown instead of opening or revealing a file that cannot be read.
void ShowWorldSettingsUnreadable(Prompt& prompt);

}  // namespace tidemoor
