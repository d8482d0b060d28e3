#include "install/server_size.h"

#include <string>

#include "common/vdf_text.h"

namespace tidemoor {
namespace {

// The app's block in SteamCMD's output: from its "<app id>" line to the brace that closes it, so
// the progress lines around it are never read as VDF.
std::string_view AppBlock(std::string_view output, std::string_view appId) {
  const std::string opening = "\"" + std::string(appId) + "\"";
  for (size_t at = output.find(opening); at != std::string_view::npos;
       at = output.find(opening, at + 1)) {
    size_t brace = output.find_first_not_of(" \t\r\n", at + opening.size());
    if (brace == std::string_view::npos || output[brace] != '{') continue;
    int depth = 0;
    bool quoted = false;
    for (size_t i = brace; i < output.size(); ++i) {
      const char c = output[i];
      if (quoted) {
        if (c == '\\') ++i;
        if (c == '"') quoted = false;
      } else if (c == '"') {
        quoted = true;
      } else if (c == '{') {
        ++depth;
      } else if (c == '}' && --depth == 0) {
        return output.substr(at, i + 1 - at);
      }
    }
    return {};
  }
  return {};
}

}  // namespace

std::optional<uint64_t> ServerInstallBytes(std::string_view steamCmdOutput,
                                           std::string_view appId) {
  const std::optional<VdfBlock> root = ReadVdf(AppBlock(steamCmdOutput, appId));
  if (!root || root->entries.empty()) return std::nullopt;
  std::optional<uint64_t> total;
  for (const VdfBlock::Entry& app : root->entries) {
    for (const VdfBlock::Entry& depots : app.block) {
      if (!depots.isBlock || depots.key != "depots") continue;
      for (const VdfBlock::Entry& depot : depots.block) {
        if (!depot.isBlock) continue;
        const VdfBlock one{depot.block};
        const std::optional<std::string> systems = VdfValue(one, {"config", "oslist"});
        if (systems && !systems->empty() && systems->find("windows") == std::string::npos) {
          continue;
        }
        const std::optional<uint64_t> size =
            VdfNumber(VdfValue(one, {"manifests", "public", "size"}));
        if (size) total = total.value_or(0) + *size;
      }
    }
  }
  return total;
}

}  // namespace tidemoor
