#pragma once
// Installed mods for the tests, their Info.json written the way the Workshop's tools write them.

#include <optional>
#include <string>
#include <vector>

#include "mods/installed_mods.h"
#include "mods/mod_settings_file.h"
#include "platform/text.h"

namespace tidemoor::testing {

// Info.json of a package with its dependencies and its rules, each rule a type and whether it is
// for servers.
inline std::string InfoJson(const std::string& package, const std::vector<std::string>& needs = {},
                            const std::vector<std::pair<std::string, bool>>& rules = {{"Lua",
                                                                                       true}},
                            const std::string& name = "") {
  std::string json = R"({"ModName":")" + name + R"(","PackageName":")" + package +
                     R"(","Version":"1.0","Author":"Tamsin","Dependencies":)";
  json += needs.empty() ? "null" : "[\"" + JoinTexts(needs, "\",\"") + "\"]";
  json += R"(,"InstallRule":[)";
  for (size_t i = 0; i < rules.size(); ++i) {
    json += (i ? "," : "") + std::string(R"({"Type":")") + rules[i].first + R"(","IsServer":)" +
            (rules[i].second ? "true" : "false") + R"(,"Targets":["x"]})";
  }
  return json + "]}";
}

inline InstalledMod Local(const std::string& folder, std::optional<std::string> infoJson) {
  return {folder, std::move(infoJson), ModSource::LocalImport, "", std::nullopt};
}

inline InstalledMod Workshop(const std::string& id, std::optional<std::string> infoJson,
                             std::optional<uint64_t> importedAt) {
  return {id, std::move(infoJson), ModSource::Workshop, id, importedAt};
}

// Mods switched on or off, with the list PalModSettings.ini holds.
template <typename... Name>
ModSettings On(Name... names) {
  return {true, {names...}};
}
template <typename... Name>
ModSettings Off(Name... names) {
  return {false, {names...}};
}

}  // namespace tidemoor::testing
