#pragma once
// The build ids in SteamCMD's printed app info and in the manifest of an installed app. SteamCMD's
// own lines around the printed block are expected; anything unreadable yields no build id.

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/vdf_text.h"

namespace tidemoor {

// The public branch's build id in SteamCMD's +app_info_print output for the app.
std::optional<uint64_t> PublicBuildId(std::string_view steamCmdOutput, std::string_view appId);

// The build id in steamapps\appmanifest_<app>.acf.
std::optional<uint64_t> InstalledBuildId(std::string_view manifest);

}  // namespace tidemoor
