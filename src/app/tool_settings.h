#pragma once
// The tool settings file PaLWorld_Tools.ini as one value. The value is the truth while the tool
// runs: it is read once before any window exists, the main window shows and edits it, and the
// file is written from it at each press of the start/stop button and as the main window goes.
// Every key is one row of one table, which loading, saving and the main window walk.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_controls.h"
#include "backup/retention.h"
#include "net/alert_settings.h"
#include "platform/profile_store.h"
#include "remote/remote_settings.h"

namespace tidemoor {

inline constexpr char kMainSection[] = "主程序设置";
inline constexpr char kRunControlSection[] = "服务端运行控制";
inline constexpr char kLaunchSection[] = "服务器启动参数";
inline constexpr char kExtendedSection[] = "扩展设置";
inline constexpr char kBackupKeepKey[] = "Backup_Keep";
inline constexpr char kBackupKeepDaysKey[] = "Backup_Keep_Days";
inline constexpr char kRestApiByToolKey[] = "RestAPI_ByTool";
inline constexpr char kWorldOptionKeptKey[] = "WorldOption_Kept";
inline constexpr char kRunAtLogonKey[] = "Run_At_Logon";

// Numbers are kept as typed: what a start makes of them (and what it refuses) is the server's
// business, and the file gives back exactly what the user typed. The defaults are the table's: an
// empty file loads them.
struct ToolSettings {
  std::string windowTitle;
  // 服务端运行控制
  bool hideConsole = false;
  bool autoUpdate = false;
  bool crashRestart = false;
  bool intervalRestart = false;
  std::string intervalMinutes;
  bool optimizeFlags = false;
  bool autoBackup = false;
  std::string autoBackupMinutes;
  // 服务器启动参数
  std::string gamePort;
  std::string queryPort;
  std::string maxPlayers;
  std::string adminPassword;
  std::string serverName;
  bool communityListing = false;
  std::string joinPassword;
  // 扩展设置
  bool safeStop = false;
  std::string restApiPort;
  bool restartNotice = false;
  bool hangRestart = false;
  bool mapPortsAtStart = false;         // 开服时自动映射端口
  std::string memoryRestartGb;          // as typed; 0, empty or not a number: no memory restart
  AlertSettings alerts;                 // shown and changed by the alerts window
  std::string updateCheckMinutes;       // between two looks for a newer server build; 0 = never
  BackupRetention retention;            // shown and changed by the backup manager
  std::vector<std::string> keptWorlds;  // worlds whose WorldOption.sav the user chose to keep
  // Whether the tool itself switched the REST API on in PalWorldSettings.ini (the host had not),
  // so that unticking the safe stop switches it off again.
  bool restApiByTool = false;
  // Whether the user's sign-in starts the tool: read from the registry at start-up, not from the
  // file, which only mirrors it.
  bool runAtLogon = false;
  // Start the server as the tool starts, unless one is already running.
  bool autoStart = false;
  bool keepAwake = false;  // 服务端运行时阻止电脑睡眠
  bool whitelist = false;  // 只允许白名单中的玩家, shown and changed by the players window
  bool gameDataApi = false;  // 启用游戏数据接口, shown and changed by the players window
  RemoteSettings remote;     // shown and changed by the 远程管理 window
};

enum class SettingDefault { Fixed, WindowTitle, AdminPassword, ServerName };

// One key of the file. A flag is ticked only by the exact value "1".
struct ToolSettingsKey {
  const char* section;
  const char* key;
  SettingDefault defaultKind;
  const char* fixedDefault;
  void (*parse)(ToolSettings& settings, std::string_view text);
  std::string (*print)(const ToolSettings& settings);
  // The main window's control that shows the key; none for those shown elsewhere or not at all.
  std::optional<MainControl> control;
  bool isFlag;
  // False for the keys written on their own: the kept worlds right after every save and as soon
  // as the user answers, the REST API flag only when a start changes it (so a file that never
  // had it stays as it was).
  bool inEverySave;
};

// Every key in the order a save writes them.
std::span<const ToolSettingsKey> ToolSettingsKeys();

std::string DefaultWindowTitle();
std::string DefaultServerName(std::string_view eightLetters);

// ASCII brackets in the server name become full-width ones before every save.
std::string ReplaceServerNameBrackets(std::string_view name);

using RandomLettersFunction = std::function<std::string(int count)>;

// Every key, its default when missing. The random defaults (admin password, server name) are
// drawn only for a missing key: an empty saved value is a value.
ToolSettings LoadToolSettings(ProfileStore& file, const RandomLettersFunction& randomLetters);

// Mends the server name's brackets in the value, then writes every key of every save in order.
void SaveToolSettings(ProfileStore& file, ToolSettings& settings);

// Writes one key from the value; key names a row of the table.
void SaveToolSetting(ProfileStore& file, const ToolSettings& settings, std::string_view key);

}  // namespace tidemoor
