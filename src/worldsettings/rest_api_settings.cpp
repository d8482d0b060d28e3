#include "worldsettings/rest_api_settings.h"

#include <algorithm>

#include "platform/text.h"
#include "worldsettings/world_settings_text.h"

namespace tidemoor {
namespace {

constexpr char kEnabledKey[] = "RESTAPIEnabled";
constexpr size_t kShortestFinePassword = 8;

bool IsPasswordKey(std::string_view key) {
  return key == "ServerPassword" || key == "AdminPassword";
}

size_t CharacterCount(std::string_view utf8) {
  return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

StartSettingsPlan PlanStartSettings(const StartSettingsChoice& choice, std::string_view fileText) {
  StartSettingsPlan plan{{{"ServerName", QuotedForFile(choice.serverName)},
                          {"ServerPassword", QuotedForFile(choice.joinPassword)},
                          {"AdminPassword", QuotedForFile(choice.adminPassword)}},
                         choice.apiOnByTool};
  const bool apiOn = RestApiEnabledIn(fileText);
  if (choice.safeStop && !choice.adminPassword.empty()) {
    plan.pairs.push_back({kEnabledKey, "True"});
    plan.pairs.push_back({"RESTAPIPort", std::to_string(choice.restApiPort)});
    plan.apiOnByTool = choice.apiOnByTool || !apiOn;
  } else if (choice.apiOnByTool) {
    if (apiOn) plan.pairs.push_back({kEnabledKey, "False"});
    plan.apiOnByTool = false;
  }
  return plan;
}

std::string PairsForEventLog(const std::vector<OptionPair>& pairs) {
  std::vector<std::string> named;
  for (const OptionPair& pair : pairs) {
    named.push_back(IsPasswordKey(pair.Key) ? pair.Key : pair.Key + "=" + pair.Value);
  }
  return JoinTexts(named, ", ");
}

AdminPasswordStrength JudgeAdminPassword(std::string_view password) {
  if (password.empty()) return AdminPasswordStrength::Empty;
  const bool digitsOnly =
      std::all_of(password.begin(), password.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (digitsOnly || CharacterCount(password) < kShortestFinePassword) {
    return AdminPasswordStrength::Weak;
  }
  return AdminPasswordStrength::Strong;
}

bool RestApiEnabledIn(std::string_view fileText) {
  bool enabled = false;
  for (const OptionPair& pair : ReadOptionList(fileText)) {
    if (EqualsIgnoringCase(pair.Key, kEnabledKey)) {
      enabled = EqualsIgnoringCase(TrimBlanks(pair.Value), "True");
    }
  }
  return enabled;
}

}  // namespace tidemoor
