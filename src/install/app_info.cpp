#include "install/app_info.h"

#include <string>

namespace tidemoor {

// SteamCMD prints its progress lines first, then the block: "2394010" on a line of its own and the
// braces after it. Everything before that line is skipped, and what follows the block is not read.
std::optional<uint64_t> PublicBuildId(std::string_view steamCmdOutput, std::string_view appId) {
  std::string opening(1, '"');
  opening.append(appId).push_back('"');
  for (size_t at = steamCmdOutput.find(opening); at != std::string_view::npos;
       at = steamCmdOutput.find(opening, at + 1)) {
    const size_t brace = steamCmdOutput.find_first_not_of(" \t\r\n", at + opening.size());
    if (brace == std::string_view::npos || steamCmdOutput[brace] != '{') continue;
    const std::optional<VdfBlock> block = ReadFirstVdfEntry(steamCmdOutput.substr(at));
    if (!block) return std::nullopt;
    return VdfNumber(VdfValue(*block, {appId, "depots", "branches", "public", "buildid"}));
  }
  return std::nullopt;
}

std::optional<uint64_t> InstalledBuildId(std::string_view manifest) {
  const std::optional<VdfBlock> block = ReadVdf(manifest);
  if (!block) return std::nullopt;
  return VdfNumber(VdfValue(*block, {"AppState", "buildid"}));
}

}  // namespace tidemoor
