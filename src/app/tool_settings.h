#pragma once
// The tool settings file PaLWorld_Tools.ini: the main window's launch options, automation choices
// and title. The controls hold the live values; the file is their mirror, read once at start-up
// and written at each press of the start/stop button and when the main window goes away.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_controls.h"
#include "backup/retention.h"
#include "platform/profile_store.h"

namespace tidemoor {

inline constexpr char kMainSection[] = "主程序设置";
inline constexpr char kRunControlSection[] = "服务端运行控制";
inline constexpr char kLaunchSection[] = "服务器启动参数";
inline constexpr char kExtendedSection[] = "扩展设置";
inline constexpr char kBackupKeepKey[] = "Backup_Keep";
inline constexpr char kBackupKeepDaysKey[] = "Backup_Keep_Days";
inline constexpr char kRestApiByToolKey[] = "RestAPI_ByTool";
inline constexpr char kWorldOptionKeptKey[] = "WorldOption_Kept";

enum class SettingDefault { Fixed, AdminPassword, ServerName };

// One key of the file that mirrors a control. A flag is ticked only by the exact value "1".
struct ToolSettingsKey {
  const char* key;
  const char* section;
  bool isFlag;
  MainControl control;
  SettingDefault defaultKind;
  const char* fixedDefault;
};

std::string DefaultWindowTitle();
std::string DefaultServerName(std::string_view eightLetters);

// ASCII brackets in the server name become full-width ones before every save.
std::string ReplaceServerNameBrackets(std::string_view name);

using RandomLettersFunction = std::function<std::string(int count)>;

// Reads every key (default when missing) into its control and sets the window title; returns
// the title, which the program keeps as WindowTitle.
std::string LoadToolSettings(ProfileStore& file, MainControls& controls,
                             const RandomLettersFunction& randomLetters);

// How many automatic backup points are kept (the backup manager shows and changes it); a missing
// or unreadable value keeps every point.
BackupRetention LoadBackupRetention(ProfileStore& file);

// Whether the tool itself switched the REST API on in PalWorldSettings.ini (the host had not), so
// that unticking the safe stop switches it off again; a missing or unreadable value says no.
bool LoadRestApiByTool(ProfileStore& file);

// Written after every other key of 扩展设置, at each save and whenever it changes at a start.
void SaveRestApiByTool(ProfileStore& file, bool byTool);

// Mends the server name's brackets in its edit box, then writes the keys in save order: the
// 16 described keys, then the extended ones (the server's, then the backup retention).
void SaveToolSettings(ProfileStore& file, MainControls& controls, std::string_view windowTitle,
                      const BackupRetention& retention);

// The worlds whose WorldOption.sav the user chose to keep, so they are not asked about again;
// written after every other key of 扩展设置, and at once when the user answers.
std::vector<std::string> LoadKeptWorldOptions(ProfileStore& file);
void SaveKeptWorldOptions(ProfileStore& file, const std::vector<std::string>& worlds);

}  // namespace tidemoor
