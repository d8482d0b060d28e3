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
    if (FileValueOf(settings, pair.Key) == pair.Value) continue;
    SetFileValue(settings, pair.Key, pair.Value);
    changed = true;
  }
  if (!changed) return std::nullopt;
  return WorldSettingsFileText(settings);
}

bool RestApiEnabledIn(std::string_view fileText) {
  WorldSettings settings;
  ApplyWorldSettingsText(fileText, settings);
  const std::optional<std::string> enabled = FileValueOf(settings, "RESTAPIEnabled");
  return enabled && EqualsIgnoringCase(TrimBlanks(*enabled), "True");
}

}  // namespace tidemoor
