#include "mods/mod_info.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/text.h"

namespace tidemoor {
namespace {

using Json = nlohmann::json;

constexpr std::string_view kWorkshopUe4ss = "UE4SSExperimentalPW";

const Json* Field(const Json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end() || it->is_null()) return nullptr;
  return &*it;
}

// Text, or a number written without quotes; anything else reads as nothing.
std::string Text(const Json* value) {
  if (!value) return {};
  if (value->is_string()) return value->get<std::string>();
  if (value->is_number()) return value->dump();
  return {};
}

std::string TrimmedText(const Json* value) {
  return std::string(TrimBlanks(Text(value)));
}

// true, or "true", "1" or a number other than 0.
bool Flag(const Json* value) {
  if (!value) return false;
  if (value->is_boolean()) return value->get<bool>();
  if (value->is_number()) return value->get<double>() != 0;
  const std::string text = TrimmedText(value);
  return EqualsIgnoringCase(text, "true") || text == "1";
}

// An array of texts; a single text stands for a list of one. Blank items are dropped.
std::vector<std::string> Texts(const Json* value) {
  std::vector<std::string> texts;
  const auto add = [&](const Json& item) {
    if (std::string one = TrimmedText(&item); !one.empty()) texts.push_back(std::move(one));
  };
  if (value && value->is_array()) {
    for (const Json& item : *value) add(item);
  } else if (value) {
    add(*value);
  }
  return texts;
}

std::vector<ModInstallRule> Rules(const Json* value) {
  std::vector<ModInstallRule> rules;
  if (!value || !value->is_array()) return rules;
  for (const Json& item : *value) {
    if (!item.is_object()) continue;
    ModInstallRule rule;
    rule.type = TrimmedText(Field(item, "Type"));
    if (rule.type.empty()) continue;
    rule.isServer = Flag(Field(item, "IsServer"));
    rule.targets = Texts(Field(item, "Targets"));
    rules.push_back(std::move(rule));
  }
  return rules;
}

bool HasServerRule(const ModInfo& mod, std::string_view type) {
  return std::any_of(
      mod.installRules.begin(), mod.installRules.end(),
      [&](const ModInstallRule& r) { return r.isServer && EqualsIgnoringCase(r.type, type); });
}

}  // namespace

std::optional<ModInfo> ReadModInfo(std::string_view infoJson) {
  if (infoJson.size() > kLargestInfoJson) return std::nullopt;
  const Json parsed = Json::parse(infoJson, nullptr, false, true);
  if (parsed.is_discarded() || !parsed.is_object()) return std::nullopt;
  ModInfo mod;
  mod.packageName = TrimmedText(Field(parsed, "PackageName"));
  if (mod.packageName.empty()) return std::nullopt;
  mod.modName = TrimmedText(Field(parsed, "ModName"));
  mod.thumbnail = TrimmedText(Field(parsed, "Thumbnail"));
  mod.version = TrimmedText(Field(parsed, "Version"));
  mod.debugMode = Flag(Field(parsed, "DebugMode"));
  mod.minRevision = TrimmedText(Field(parsed, "MinRevision"));
  mod.author = TrimmedText(Field(parsed, "Author"));
  mod.dependencies = Texts(Field(parsed, "Dependencies"));
  mod.tags = Texts(Field(parsed, "Tags"));
  mod.installRules = Rules(Field(parsed, "InstallRule"));
  return mod;
}

std::string ShownModName(const ModInfo& mod) {
  return mod.modName.empty() ? mod.packageName : mod.modName;
}

std::vector<std::string> ServerRuleTypes(const ModInfo& mod) {
  std::vector<std::string> types;
  for (const ModInstallRule& rule : mod.installRules) {
    if (!rule.isServer) continue;
    const bool known = std::any_of(types.begin(), types.end(), [&](const std::string& type) {
      return EqualsIgnoringCase(type, rule.type);
    });
    if (!known) types.push_back(rule.type);
  }
  return types;
}

bool IsClientOnly(const ModInfo& mod) {
  return !mod.installRules.empty() && ServerRuleTypes(mod).empty();
}

bool CarriesUe4ss(const ModInfo& mod) {
  return HasServerRule(mod, "UE4SS") ||
         std::any_of(mod.dependencies.begin(), mod.dependencies.end(),
                     [](const std::string& d) { return SamePackage(d, kWorkshopUe4ss); });
}

bool CarriesPalSchema(const ModInfo& mod) {
  return HasServerRule(mod, "PalSchema");
}

bool IsValidPackageName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  });
}

bool SamePackage(std::string_view a, std::string_view b) {
  return EqualsIgnoringCase(a, b);
}

}  // namespace tidemoor
