#pragma once
// How much the server takes on disk, as SteamCMD's app info tells it: the public manifests' sizes
// of the app's Windows depots.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tidemoor {

// The sum of depots\<id>\manifests\public\size over the depots for Windows (or for every system)
// in SteamCMD's +app_info_print output for the app; nullopt when no depot tells its size.
std::optional<uint64_t> ServerInstallBytes(std::string_view steamCmdOutput, std::string_view appId);

}  // namespace tidemoor
