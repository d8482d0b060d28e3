#include "app/tool_settings.h"

#include <array>

#include "common/product.h"
#include "platform/text.h"
#include "server/loaded_world.h"

namespace tidemoor {
namespace {

using C = MainControl;
using D = SettingDefault;
using S = ToolSettings;

// A key of the file shown by a check box: "1" ticks it, anything else does not.
template <bool S::*member>
constexpr ToolSettingsKey Flag(const char* section, const char* key, const char* fallback,
                               std::optional<MainControl> control, bool inEverySave = true) {
  return {section,
          key,
          D::Fixed,
          fallback,
          [](S& settings, std::string_view text) { settings.*member = text == "1"; },
          [](const S& settings) { return std::string(settings.*member ? "1" : "0"); },
          control,
          true,
          inEverySave};
}

// A key kept as the text the user typed.
template <std::string S::*member>
constexpr ToolSettingsKey Text(const char* section, const char* key, D defaultKind,
                               const char* fallback, std::optional<MainControl> control) {
  return {section,
          key,
          defaultKind,
          fallback,
          [](S& settings, std::string_view text) { settings.*member = std::string(text); },
          [](const S& settings) { return settings.*member; },
          control,
          false,
          true};
}

// A count of the backup retention; a value that is not a count keeps every point.
template <int BackupRetention::*member>
constexpr ToolSettingsKey Count(const char* key) {
  return {
      kExtendedSection,
      key,
      D::Fixed,
      "0",
      [](S& settings, std::string_view text) { settings.retention.*member = RetentionCount(text); },
      [](const S& settings) { return std::to_string(settings.retention.*member); },
      std::nullopt,
      false,
      true};
}

// A webhook address or its secret, kept as typed and shown by the alerts window.
template <int slot, std::string WebhookAddress::*member>
constexpr ToolSettingsKey Webhook(const char* key) {
  return {kExtendedSection,
          key,
          D::Fixed,
          "",
          [](S& settings, std::string_view text) {
            settings.alerts.addresses[slot].*member = std::string(text);
          },
          [](const S& settings) { return settings.alerts.addresses[slot].*member; },
          std::nullopt,
          false,
          true};
}

// A choice of the control from a chat app, shown and changed by the 远程管理 window.
template <std::string RemoteSettings::*member>
constexpr ToolSettingsKey Remote(const char* key, const char* fallback) {
  return {kExtendedSection,
          key,
          D::Fixed,
          fallback,
          [](S& settings, std::string_view text) { settings.remote.*member = std::string(text); },
          [](const S& settings) { return settings.remote.*member; },
          std::nullopt,
          false,
          true};
}

constexpr ToolSettingsKey NotifyEvents() {
  return {
      kExtendedSection,
      "Notify_Events",
      D::Fixed,
      kDefaultNotifyEvents,
      [](S& settings, std::string_view text) { settings.alerts.notifyEvents = std::string(text); },
      [](const S& settings) { return settings.alerts.notifyEvents; },
      std::nullopt,
      false,
      true};
}

constexpr ToolSettingsKey KeptWorlds() {
  return {kExtendedSection,
          kWorldOptionKeptKey,
          D::Fixed,
          "",
          [](S& settings, std::string_view text) { settings.keptWorlds = ParseKeptWorlds(text); },
          [](const S& settings) { return KeptWorldsText(settings.keptWorlds); },
          std::nullopt,
          false,
          false};
}

// Save order. The 15 keys of the first two sections come first, then Window_Title; 扩展设置 was
// added later, so a file from before it keeps its order and gets the section at its end.
const std::array<ToolSettingsKey, 44> kKeys = {{
    Flag<&S::hideConsole>(kRunControlSection, "Hide_ServerConsole", "1", C::HideConsoleBox),
    Flag<&S::autoUpdate>(kRunControlSection, "Auto_CheckServer", "1", C::AutoUpdateBox),
    Flag<&S::crashRestart>(kRunControlSection, "Crash_Autorun", "1", C::CrashRestartBox),
    Flag<&S::intervalRestart>(kRunControlSection, "Timeer_Autorestart", "1", C::IntervalRestartBox),
    Text<&S::intervalMinutes>(kRunControlSection, "Timeer_Autorestart_Min", D::Fixed, "120",
                              C::IntervalRestartMinutes),
    Flag<&S::optimizeFlags>(kRunControlSection, "Use_4To_optimize", "0", C::UseOptimizeFlagsBox),
    Flag<&S::autoBackup>(kRunControlSection, "Timeer_Autobackup_Saved", "1", C::AutoBackupBox),
    Text<&S::autoBackupMinutes>(kRunControlSection, "Timeer_Autobackup_Saved_Min", D::Fixed, "10",
                                C::AutoBackupMinutes),
    Text<&S::gamePort>(kLaunchSection, "Port_Game", D::Fixed, "8211", C::GamePortEdit),
    Text<&S::queryPort>(kLaunchSection, "Port_SteamList", D::Fixed, "27015", C::QueryPortEdit),
    Text<&S::maxPlayers>(kLaunchSection, "Max_Player", D::Fixed, "88", C::MaxPlayersEdit),
    Text<&S::adminPassword>(kLaunchSection, "Admin_Password", D::AdminPassword, "",
                            C::AdminPasswordEdit),
    Text<&S::serverName>(kLaunchSection, "Server_Name", D::ServerName, "", C::ServerNameEdit),
    Flag<&S::communityListing>(kLaunchSection, "Open_community", "1", C::CommunityBox),
    Text<&S::joinPassword>(kLaunchSection, "Connect_Password", D::Fixed, "", C::JoinPasswordEdit),
    // The title is the window's, not a control's.
    Text<&S::windowTitle>(kMainSection, "Window_Title", D::WindowTitle, "", std::nullopt),
    Flag<&S::safeStop>(kExtendedSection, "Safe_Stop", "1", C::SafeStopBox),
    Text<&S::restApiPort>(kExtendedSection, "RestAPI_Port", D::Fixed, "8212", C::RestApiPortEdit),
    Flag<&S::restartNotice>(kExtendedSection, "Restart_Notice", "1", C::RestartNoticeBox),
    Flag<&S::hangRestart>(kExtendedSection, "Hang_Restart", "1", C::HangRestartBox),
    Count<&BackupRetention::keepPoints>(kBackupKeepKey),
    Count<&BackupRetention::keepDays>(kBackupKeepDaysKey),
    Text<&S::memoryRestartGb>(kExtendedSection, "Memory_Restart_GB", D::Fixed, "0",
                              C::MemoryLimitEdit),
    // Off unless asked for: the router is changed only for a host who wants it.
    Flag<&S::mapPortsAtStart>(kExtendedSection, "UPnP_Map", "0", C::MapPortsAtStartBox),
    Flag<&S::runAtLogon>(kExtendedSection, kRunAtLogonKey, "0", C::RunAtLogonBox),
    Flag<&S::autoStart>(kExtendedSection, "Auto_Start", "0", C::AutoStartBox),
    Webhook<0, &WebhookAddress::url>("Webhook_URL_1"),
    Webhook<1, &WebhookAddress::url>("Webhook_URL_2"),
    Webhook<2, &WebhookAddress::url>("Webhook_URL_3"),
    Webhook<0, &WebhookAddress::secret>("Webhook_Secret_1"),
    Webhook<1, &WebhookAddress::secret>("Webhook_Secret_2"),
    Webhook<2, &WebhookAddress::secret>("Webhook_Secret_3"),
    NotifyEvents(),
    Text<&S::updateCheckMinutes>(kExtendedSection, "Update_Check_Min", D::Fixed, "30",
                                 C::UpdateCheckMinutes),
    // On unless the host says otherwise: a server on a sleeping PC is gone for every player.
    Flag<&S::keepAwake>(kExtendedSection, "Keep_Awake", "1", C::KeepAwakeBox),
    Flag<&S::whitelist>(kExtendedSection, "Whitelist", "0", std::nullopt),
    Flag<&S::gameDataApi>(kExtendedSection, "GameData_Api", "0", std::nullopt),
    {kExtendedSection, "Remote_Kook", D::Fixed, "0",
     [](S& settings, std::string_view text) { settings.remote.kook = text == "1"; },
     [](const S& settings) { return std::string(settings.remote.kook ? "1" : "0"); }, std::nullopt,
     true, true},
    Remote<&RemoteSettings::kookToken>("Kook_Token", ""),
    Remote<&RemoteSettings::kookChannels>("Kook_Channels", ""),
    Remote<&RemoteSettings::admins>("Remote_Admins", ""),
    Remote<&RemoteSettings::kookApi>("Kook_Api", kKookApiAddress),
    KeptWorlds(),
    // A doubtful value must never make a later start switch off an API the host turned on.
    Flag<&S::restApiByTool>(kExtendedSection, kRestApiByToolKey, "0", std::nullopt, false),
}};

std::string Fallback(const ToolSettingsKey& entry, const RandomLettersFunction& randomLetters) {
  switch (entry.defaultKind) {
    case D::Fixed:
      break;
    case D::WindowTitle:
      return DefaultWindowTitle();
    case D::AdminPassword:
      return randomLetters(12);
    case D::ServerName:
      return DefaultServerName(randomLetters(8));
  }
  return entry.fixedDefault;
}

}  // namespace

std::span<const ToolSettingsKey> ToolSettingsKeys() {
  return kKeys;
}

std::string DefaultWindowTitle() {
  return std::string("Tidemoor (Ver ") + kToolVersion + ")  |  To: Velmora信息 " + kMakerWebAddress;
}

std::string DefaultServerName(std::string_view eightLetters) {
  return std::string("Velmora服务器 - ") + kMakerWebAddress + " - " + std::string(eightLetters);
}

std::string ReplaceServerNameBrackets(std::string_view name) {
  return ReplaceAll(ReplaceAll(std::string(name), "[", "【"), "]", "】");
}

ToolSettings LoadToolSettings(ProfileStore& file, const RandomLettersFunction& randomLetters) {
  ToolSettings settings;
  for (const ToolSettingsKey& entry : kKeys) {
    entry.parse(settings, file.Read(entry.section, entry.key, Fallback(entry, randomLetters)));
  }
  return settings;
}

void SaveToolSettings(ProfileStore& file, ToolSettings& settings) {
  settings.serverName = ReplaceServerNameBrackets(settings.serverName);
  for (const ToolSettingsKey& entry : kKeys) {
    if (entry.inEverySave) file.Write(entry.section, entry.key, entry.print(settings));
  }
}

void SaveToolSetting(ProfileStore& file, const ToolSettings& settings, std::string_view key) {
  for (const ToolSettingsKey& entry : kKeys) {
    if (entry.key == key) file.Write(entry.section, entry.key, entry.print(settings));
  }
}

}  // namespace tidemoor
