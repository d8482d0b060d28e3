#pragma once
// Putting Valve's SteamCMD next to the update scripts: from the copy the tool carries when it was
// built with one, otherwise from Valve's official archive.

#include <optional>
#include <string>
#include <string_view>

#include "common/server_paths.h"
#include "install/update_flow.h"

namespace tidemoor {

// Writes DataDir\Steamcmd.exe when it does not exist; an existing file is never touched, whatever
// it holds. The file appears only complete, so an interrupted write or download never leaves a
// broken one behind that would then never be replaced.
SteamCmdState DeploySteamCmd(const ServerPaths& paths, std::string_view archiveAddress);

// steamcmd.exe unpacked from the archive, checked against its recorded size and checksum.
std::optional<std::string> UnpackSteamCmd(std::string_view archive);

}  // namespace tidemoor
