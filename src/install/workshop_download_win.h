#pragma once
// SteamCMD fetching one Workshop item of the game, without a window. Blocks the calling thread (a
// worker's) until SteamCMD ends, at most for the limit; it is ended at the limit.

#include <chrono>
#include <string>
#include <string_view>

#include "common/server_paths.h"

namespace tidemoor {

inline constexpr auto kWorkshopDownloadLimit = std::chrono::minutes(15);

struct FetchedWorkshopItem {
  bool ok = false;
  std::string folder;  // where the item lies, once it came
  std::string reason;  // why it did not
};

FetchedWorkshopItem DownloadWorkshopItem(const ServerPaths& paths, std::string_view itemId,
                                         std::chrono::milliseconds limit = kWorkshopDownloadLimit);

}  // namespace tidemoor
