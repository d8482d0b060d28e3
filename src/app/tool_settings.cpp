#include "app/tool_settings.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "common/product.h"
#include "platform/text.h"
#include "server/loaded_world.h"

namespace tidemoor {
namespace {

using C = MainControl;
using D = SettingDefault;

constexpr char kWindowTitleKey[] = "Window_Title";

// Keys 2 to 16 in the order they are read; Window_Title (key 1) is read before them into the
// program's WindowTitle.
constexpr std::array<ToolSettingsKey, 15> kKeys = {{
    {"Hide_ServerConsole", kRunControlSection, true, C::HideConsoleBox, D::Fixed, "1"},
    {"Auto_CheckServer", kRunControlSection, true, C::AutoUpdateBox, D::Fixed, "1"},
    {"Crash_Autorun", kRunControlSection, true, C::CrashRestartBox, D::Fixed, "1"},
    {"Timeer_Autorestart", kRunControlSection, true, C::IntervalRestartBox, D::Fixed, "1"},
    {"Timeer_Autorestart_Min", kRunControlSection, false, C::IntervalRestartMinutes, D::Fixed,
     "120"},
    {"Use_4To_optimize", kRunControlSection, true, C::UseOptimizeFlagsBox, D::Fixed, "0"},
    {"Timeer_Autobackup_Saved", kRunControlSection, true, C::AutoBackupBox, D::Fixed, "1"},
    {"Timeer_Autobackup_Saved_Min", kRunControlSection, false, C::AutoBackupMinutes, D::Fixed,
     "10"},
    {"Port_Game", kLaunchSection, false, C::GamePortEdit, D::Fixed, "8211"},
    {"Port_SteamList", kLaunchSection, false, C::QueryPortEdit, D::Fixed, "27015"},
    {"Max_Player", kLaunchSection, false, C::MaxPlayersEdit, D::Fixed, "88"},
    {"Admin_Password", kLaunchSection, false, C::AdminPasswordEdit, D::AdminPassword, ""},
    {"Server_Name", kLaunchSection, false, C::ServerNameEdit, D::ServerName, ""},
    {"Open_community", kLaunchSection, true, C::CommunityBox, D::Fixed, "1"},
    {"Connect_Password", kLaunchSection, false, C::JoinPasswordEdit, D::Fixed, ""},
}};

// The keys of 扩展设置, read after the others and written after Window_Title, so a file from
// before they existed keeps its order and gets them at its end (their defaults while missing).
constexpr std::array<ToolSettingsKey, 4> kExtendedKeys = {{
    {"Safe_Stop", kExtendedSection, true, C::SafeStopBox, D::Fixed, "1"},
    {"RestAPI_Port", kExtendedSection, false, C::RestApiPortEdit, D::Fixed, "8212"},
    {"Restart_Notice", kExtendedSection, true, C::RestartNoticeBox, D::Fixed, "1"},
    {"Hang_Restart", kExtendedSection, true, C::HangRestartBox, D::Fixed, "1"},
}};

void WriteKeys(ProfileStore& file, const MainControls& controls,
               std::span<const ToolSettingsKey> keys) {
  for (const ToolSettingsKey& entry : keys) {
    if (entry.isFlag) {
      file.Write(entry.section, entry.key, controls.IsTicked(entry.control) ? "1" : "0");
    } else {
      file.Write(entry.section, entry.key, controls.Text(entry.control));
    }
  }
}

}  // namespace

std::string DefaultWindowTitle() {
  return std::string("Tidemoor (Ver ") + kToolVersion + ")  |  To: Velmora信息 " + kMakerWebAddress;
}

std::string DefaultServerName(std::string_view eightLetters) {
  return std::string("Velmora服务器 - ") + kMakerWebAddress + " - " + std::string(eightLetters);
}

std::string ReplaceServerNameBrackets(std::string_view name) {
  return ReplaceAll(ReplaceAll(std::string(name), "[", "【"), "]", "】");
}

std::string LoadToolSettings(ProfileStore& file, MainControls& controls,
                             const RandomLettersFunction& randomLetters) {
  std::string title = file.Read(kMainSection, kWindowTitleKey, DefaultWindowTitle());
  std::vector<ToolSettingsKey> keys(kKeys.begin(), kKeys.end());
  keys.insert(keys.end(), kExtendedKeys.begin(), kExtendedKeys.end());
  for (const ToolSettingsKey& entry : keys) {
    // The random defaults are drawn only when the key is missing, so a saved password is never
    // replaced; an empty saved value is a value, not a missing key.
    std::string fallback = entry.fixedDefault;
    if (entry.defaultKind == D::AdminPassword) fallback = randomLetters(12);
    if (entry.defaultKind == D::ServerName) fallback = DefaultServerName(randomLetters(8));
    const std::string value = file.Read(entry.section, entry.key, fallback);
    if (entry.isFlag) {
      controls.SetTicked(entry.control, value == "1");
    } else {
      controls.SetText(entry.control, value);
    }
  }
  controls.SetTitle(title);
  return title;
}

BackupRetention LoadBackupRetention(ProfileStore& file) {
  return {RetentionCount(file.Read(kExtendedSection, kBackupKeepKey, "0")),
          RetentionCount(file.Read(kExtendedSection, kBackupKeepDaysKey, "0"))};
}

bool LoadRestApiByTool(ProfileStore& file) {
  return file.Read(kExtendedSection, kRestApiByToolKey, "0") == "1";
}

void SaveRestApiByTool(ProfileStore& file, bool byTool) {
  file.Write(kExtendedSection, kRestApiByToolKey, byTool ? "1" : "0");
}

void SaveToolSettings(ProfileStore& file, MainControls& controls, std::string_view windowTitle,
                      const BackupRetention& retention) {
  const std::string name = controls.Text(C::ServerNameEdit);
  const std::string mended = ReplaceServerNameBrackets(name);
  if (mended != name) controls.SetText(C::ServerNameEdit, mended);

  WriteKeys(file, controls, kKeys);
  file.Write(kMainSection, kWindowTitleKey, windowTitle);
  WriteKeys(file, controls, kExtendedKeys);
  file.Write(kExtendedSection, kBackupKeepKey, std::to_string(retention.keepPoints));
  file.Write(kExtendedSection, kBackupKeepDaysKey, std::to_string(retention.keepDays));
}

std::vector<std::string> LoadKeptWorldOptions(ProfileStore& file) {
  return ParseKeptWorlds(file.Read(kExtendedSection, kWorldOptionKeptKey, ""));
}

void SaveKeptWorldOptions(ProfileStore& file, const std::vector<std::string>& worlds) {
  file.Write(kExtendedSection, kWorldOptionKeptKey, KeptWorldsText(worlds));
}

}  // namespace tidemoor
