#pragma once
// What a mod says about itself in the Info.json at its root, as the server's mod loader reads it.
// Mods are made by hand and by many tools: any field may be missing or null, numbers may be
// written as text and text as numbers, and fields this tool does not know are ignored.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

// How the server deploys part of a mod at its start. A dedicated server follows only the rules
// marked for servers.
struct ModInstallRule {
  std::string type;  // UE4SS, Lua, PalSchema, LogicMods or Paks, as the file spells it
  bool isServer = false;
  std::vector<std::string> targets;
};

struct ModInfo {
  std::string modName;
  std::string packageName;  // the name the server's settings and folders know the mod by
  std::string thumbnail;
  std::string version;
  bool debugMode = false;
  std::string minRevision;
  std::string author;
  std::vector<std::string> dependencies;  // package names
  std::vector<std::string> tags;
  std::vector<ModInstallRule> installRules;
};

// The mod that Info.json describes; nothing for text that is not a JSON object or names no
// package.
// Real Info.json files are a few hundred bytes; a larger text is no mod's description.
inline constexpr size_t kLargestInfoJson = 1u << 20;

std::optional<ModInfo> ReadModInfo(std::string_view infoJson);

// The mod's name as the window shows it: its own name, or its package name when it has none.
std::string ShownModName(const ModInfo& mod);

// The rule types a dedicated server deploys, each once, in the order the file gives them.
std::vector<std::string> ServerRuleTypes(const ModInfo& mod);

// A mod with rules, none of them for servers: the server never loads it.
bool IsClientOnly(const ModInfo& mod);

// Whether the server deploys UE4SS with the mod: a UE4SS rule for servers, or the Workshop's
// UE4SS as a dependency.
bool CarriesUe4ss(const ModInfo& mod);
bool CarriesPalSchema(const ModInfo& mod);

// ASCII letters and digits, at least one: a package name becomes a folder name, so nothing else
// may pass (no separator, dot, blank or drive).
bool IsValidPackageName(std::string_view name);

// Package names are compared as the server compares them, without regard to ASCII case.
bool SamePackage(std::string_view a, std::string_view b);

}  // namespace tidemoor
