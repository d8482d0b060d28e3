#pragma once
// Switching a mod on or off in the list the server loads. A mod switched on brings the mods it
// depends on with it, however deep; a mod others need is switched off only after the host has
// been told which.

#include <string>
#include <string_view>
#include <vector>

#include "mods/mod_info.h"

namespace tidemoor {

struct TickResult {
  std::vector<std::string> activeMods;  // the new list; the old one when nothing was ticked
  bool ticked = false;
  // One line for the host: "同时启用了依赖: A, B", "缺少依赖: X - 无法启用", or empty.
  std::string message;
};

// The list with the mod and every installed dependency it needs, directly or through others,
// switched on: dependencies first, after what was already on. When any of them is not installed,
// nothing is switched on and the message names the missing ones.
TickResult TickMod(const std::vector<ModInfo>& installed, const std::vector<std::string>& active,
                   std::string_view packageName);

// The active mods that need the mod, directly or through others, by their shown names: the
// window asks before switching it off when there are any.
std::vector<std::string> ActiveModsNeeding(const std::vector<ModInfo>& installed,
                                           const std::vector<std::string>& active,
                                           std::string_view packageName);

// The list without the mod (every line naming it).
std::vector<std::string> UntickMod(const std::vector<std::string>& active,
                                   std::string_view packageName);

}  // namespace tidemoor
