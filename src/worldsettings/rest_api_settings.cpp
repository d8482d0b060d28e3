#include "worldsettings/rest_api_settings.h"

#include "platform/text.h"
#include "worldsettings/world_settings_text.h"

namespace tidemoor {

std::optional<std::string> WithRestApiEnabled(std::string_view fileText, int port,
                                              std::string_view adminPassword) {
  WorldSettings settings;
  ApplyWorldSettingsText(fileText, settings);
  const OptionPair wanted[] = {{"RESTAPIEnabled", "True"},
                               {"RESTAPIPort", std::to_string(port)},
                               {"AdminPassword", QuotedForFile(adminPassword)}};
  bool changed = false;
  for (const OptionPair& pair : wanted) {
    OptionPair* held = nullptr;
    for (OptionPair& other : settings.OtherPairs) {
      if (EqualsIgnoringCase(other.Key, pair.Key)) held = &other;
    }
    if (!held) {
      settings.OtherPairs.push_back(pair);
      changed = true;
    } else if (held->Value != pair.Value) {
      held->Value = pair.Value;
      changed = true;
    }
  }
  if (!changed) return std::nullopt;
  return WorldSettingsFileText(settings);
}

bool RestApiEnabledIn(std::string_view fileText) {
  WorldSettings settings;
  ApplyWorldSettingsText(fileText, settings);
  bool enabled = false;
  for (const OptionPair& pair : settings.OtherPairs) {
    if (EqualsIgnoringCase(pair.Key, "RESTAPIEnabled")) {
      enabled = EqualsIgnoringCase(TrimBlanks(pair.Value), "True");
    }
  }
  return enabled;
}

}  // namespace tidemoor
