#pragma once
// Valve's key-value text (VDF), as SteamCMD prints an app's info and as it keeps the manifest of
// an installed app, read just far enough to find a build id. SteamCMD's own lines around the
// printed block, comments and odd spacing are expected; anything unreadable yields no build id.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tidemoor {

struct VdfBlock {
  // Key and text value, or key and nested block; keys keep their order and may repeat.
  struct Entry {
    std::string key;
    std::string value;
    std::vector<Entry> block;
    bool isBlock = false;
  };
  std::vector<Entry> entries;
};

// The entries of a VDF text; nullopt when it is not one (unbalanced braces, a key without a
// value, nesting deeper than any real file).
std::optional<VdfBlock> ReadVdf(std::string_view text);

// The text value at the end of the path of keys (compared without case, as Steam does).
std::optional<std::string> VdfValue(const VdfBlock& root,
                                    const std::vector<std::string_view>& path);

// A value that is a whole number and nothing else, as build ids and sizes are.
std::optional<uint64_t> VdfNumber(const std::optional<std::string>& text);

// The public branch's build id in SteamCMD's +app_info_print output for the app.
std::optional<uint64_t> PublicBuildId(std::string_view steamCmdOutput, std::string_view appId);

// The build id in steamapps\appmanifest_<app>.acf.
std::optional<uint64_t> InstalledBuildId(std::string_view manifest);

}  // namespace tidemoor
