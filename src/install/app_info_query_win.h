#pragma once
// SteamCMD asked for the server app's current public info, without a window: the cached app info
// is removed first, so the answer is Steam's and not what an earlier run kept. Blocks the calling
// thread (a worker's) until SteamCMD ends, at most for the limit; it is ended at the limit.

#include <chrono>

#include "common/server_paths.h"
#include "install/update_watch.h"

namespace tidemoor {

inline constexpr auto kAppInfoQueryLimit = std::chrono::minutes(2);

AppInfoAnswer QueryAppInfo(const ServerPaths& paths, std::chrono::milliseconds limit);

// steamapps\appmanifest_2394010.acf beside SteamCMD: its record of the installed server.
std::string ServerManifestFile(const ServerPaths& paths);

}  // namespace tidemoor
