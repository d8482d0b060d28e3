#include "app/tool_settings.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <utility>
#include <vector>

#include "app/tool_settings_binding.h"
#include "support/fake_main_controls.h"

namespace tidemoor {
namespace {

using C = MainControl;
using testing::FakeMainControls;

// An INI file in memory that remembers the order of writes.
class FakeProfile : public ProfileStore {
 public:
  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback) override {
    auto it = values.find({std::string(section), std::string(key)});
    return it == values.end() ? std::string(fallback) : it->second;
  }
  void Write(std::string_view section, std::string_view key, std::string_view value) override {
    values[{std::string(section), std::string(key)}] = std::string(value);
    writes.emplace_back(std::string(key), std::string(value));
  }
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::pair<std::string, std::string>> writes;
};

std::string Letters(int count) {
  return std::string(static_cast<size_t>(count), 'q');
}

// The file as the main window knew it before the settings became one value: loading shows the
// value in the controls, saving takes the controls' values (with the title and retention) into
// the value, writes it and shows the mended server name.
std::string LoadToolSettings(FakeProfile& file, FakeMainControls& controls,
                             const RandomLettersFunction& randomLetters) {
  const ToolSettings settings = LoadToolSettings(file, randomLetters);
  ShowToolSettings(settings, controls);
  return settings.windowTitle;
}

void SaveToolSettings(FakeProfile& file, FakeMainControls& controls, std::string_view title,
                      const BackupRetention& retention) {
  ToolSettings settings;
  for (const auto& [control, text] : controls.texts) ReadToolSetting(controls, control, settings);
  for (const auto& [control, ticked] : controls.ticked) {
    ReadToolSetting(controls, control, settings);
  }
  settings.windowTitle = std::string(title);
  settings.retention = retention;
  SaveToolSettings(file, settings);
  ShowToolSettings(settings, controls);
}

BackupRetention LoadBackupRetention(FakeProfile& file) {
  return LoadToolSettings(file, &Letters).retention;
}

bool LoadRestApiByTool(FakeProfile& file) {
  return LoadToolSettings(file, &Letters).restApiByTool;
}

void SaveRestApiByTool(FakeProfile& file, bool byTool) {
  ToolSettings settings;
  settings.restApiByTool = byTool;
  SaveToolSetting(file, settings, kRestApiByToolKey);
}

TEST(ToolSettings, MissingFileGivesEveryDefault) {
  FakeProfile file;
  FakeMainControls controls;
  const std::string title = LoadToolSettings(file, controls, &Letters);

  EXPECT_EQ(title, "Tidemoor (Ver 1.0.0.3)  |  To: Velmora信息 velmora.example");
  EXPECT_EQ(controls.title, title);
  for (C box : {C::HideConsoleBox, C::AutoUpdateBox, C::CrashRestartBox, C::IntervalRestartBox,
                C::AutoBackupBox, C::CommunityBox}) {
    EXPECT_TRUE(controls.IsTicked(box)) << static_cast<int>(box);
  }
  EXPECT_FALSE(controls.IsTicked(C::UseOptimizeFlagsBox));
  EXPECT_FALSE(controls.IsTicked(C::MapPortsAtStartBox));
  EXPECT_EQ(controls.Text(C::IntervalRestartMinutes), "120");
  EXPECT_EQ(controls.Text(C::AutoBackupMinutes), "10");
  EXPECT_EQ(controls.Text(C::GamePortEdit), "8211");
  EXPECT_EQ(controls.Text(C::QueryPortEdit), "27015");
  EXPECT_EQ(controls.Text(C::MaxPlayersEdit), "88");
  EXPECT_EQ(controls.Text(C::AdminPasswordEdit), "qqqqqqqqqqqq");
  EXPECT_EQ(controls.Text(C::ServerNameEdit), "Velmora服务器 - velmora.example - qqqqqqqq");
  EXPECT_EQ(controls.Text(C::JoinPasswordEdit), "");
  for (C box : {C::SafeStopBox, C::RestartNoticeBox, C::HangRestartBox, C::KeepAwakeBox}) {
    EXPECT_TRUE(controls.IsTicked(box)) << static_cast<int>(box);
  }
  EXPECT_EQ(controls.Text(C::RestApiPortEdit), "8212");
  EXPECT_FALSE(controls.IsTicked(C::RunAtLogonBox));
  EXPECT_FALSE(controls.IsTicked(C::AutoStartBox));
  EXPECT_TRUE(file.writes.empty()) << "loading never writes";
}

TEST(ToolSettings, SavedValuesWinAndOnlyOneTicks) {
  FakeProfile file;
  file.values[{kRunControlSection, "Hide_ServerConsole"}] = "yes";
  file.values[{kRunControlSection, "Crash_Autorun"}] = " 1";
  file.values[{kRunControlSection, "Use_4To_optimize"}] = "1";
  file.values[{kLaunchSection, "Admin_Password"}] = "";
  file.values[{kRunControlSection, "Timeer_Autorestart_Min"}] = "abc";
  FakeMainControls controls;
  LoadToolSettings(file, controls, &Letters);

  EXPECT_FALSE(controls.IsTicked(C::HideConsoleBox));
  EXPECT_FALSE(controls.IsTicked(C::CrashRestartBox));
  EXPECT_TRUE(controls.IsTicked(C::UseOptimizeFlagsBox));
  EXPECT_EQ(controls.Text(C::AdminPasswordEdit), "") << "an empty saved password is kept";

  SaveToolSettings(file, controls, "T", {});
  EXPECT_EQ(
      file.values[(std::pair<std::string, std::string>{kRunControlSection, "Hide_ServerConsole"})],
      "0");
  EXPECT_EQ(file.values[(
                std::pair<std::string, std::string>{kRunControlSection, "Timeer_Autorestart_Min"})],
            "abc");
}

TEST(ToolSettings, SaveWritesEveryKeyInOrder) {
  FakeProfile file;
  FakeMainControls controls;
  LoadToolSettings(file, controls, &Letters);
  SaveToolSettings(file, controls, "My title", {});

  std::vector<std::string> keys;
  for (const auto& [key, value] : file.writes) keys.push_back(key);
  const std::vector<std::string> expected = {"Hide_ServerConsole",
                                             "Auto_CheckServer",
                                             "Crash_Autorun",
                                             "Timeer_Autorestart",
                                             "Timeer_Autorestart_Min",
                                             "Use_4To_optimize",
                                             "Timeer_Autobackup_Saved",
                                             "Timeer_Autobackup_Saved_Min",
                                             "Port_Game",
                                             "Port_SteamList",
                                             "Max_Player",
                                             "Admin_Password",
                                             "Server_Name",
                                             "Open_community",
                                             "Connect_Password",
                                             "Window_Title",
                                             "Safe_Stop",
                                             "RestAPI_Port",
                                             "Restart_Notice",
                                             "Hang_Restart",
                                             "Backup_Keep",
                                             "Backup_Keep_Days",
                                             "Memory_Restart_GB",
                                             "UPnP_Map",
                                             "Run_At_Logon",
                                             "Auto_Start",
                                             "Webhook_URL_1",
                                             "Webhook_URL_2",
                                             "Webhook_URL_3",
                                             "Webhook_Secret_1",
                                             "Webhook_Secret_2",
                                             "Webhook_Secret_3",
                                             "Notify_Events",
                                             "Update_Check_Min",
                                             "Keep_Awake",
                                             "Whitelist",
                                             "GameData_Api",
                                             "Remote_Kook",
                                             "Kook_Token",
                                             "Kook_Channels",
                                             "Remote_Admins",
                                             "Kook_Api"};
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(file.writes[15].second, "My title");
  EXPECT_EQ(file.writes.front().second, "1");
  EXPECT_EQ(file.writes[5].second, "0");
}

TEST(ToolSettings, ExtendedSettingsAreTheirOwnSectionAndTickOnlyByOne) {
  FakeProfile file;
  file.values[{kExtendedSection, "Safe_Stop"}] = "0";
  file.values[{kExtendedSection, "RestAPI_Port"}] = "8300";
  file.values[{kExtendedSection, "Restart_Notice"}] = "true";
  file.values[{kExtendedSection, "UPnP_Map"}] = "yes";
  file.values[{kRunControlSection, "Hang_Restart"}] = "0";  // the wrong section is not read
  FakeMainControls controls;
  LoadToolSettings(file, controls, &Letters);
  EXPECT_FALSE(controls.IsTicked(C::SafeStopBox));
  EXPECT_EQ(controls.Text(C::RestApiPortEdit), "8300");
  EXPECT_FALSE(controls.IsTicked(C::RestartNoticeBox));
  EXPECT_FALSE(controls.IsTicked(C::MapPortsAtStartBox));
  EXPECT_TRUE(controls.IsTicked(C::HangRestartBox));

  SaveToolSettings(file, controls, "T", {});
  using Key = std::pair<std::string, std::string>;
  EXPECT_EQ(file.values[(Key{kExtendedSection, "Safe_Stop"})], "0");
  EXPECT_EQ(file.values[(Key{kExtendedSection, "RestAPI_Port"})], "8300");
  EXPECT_EQ(file.values[(Key{kExtendedSection, "Restart_Notice"})], "0");
  EXPECT_EQ(file.values[(Key{kExtendedSection, "Hang_Restart"})], "1");
}

TEST(ToolSettings, ServerNameBracketsBecomeFullWidthBeforeSaving) {
  EXPECT_EQ(ReplaceServerNameBrackets("Alpha [EU]"), "Alpha 【EU】");
  EXPECT_EQ(ReplaceServerNameBrackets("[[x]] 中[文]"), "【【x】】 中【文】");

  FakeProfile file;
  FakeMainControls controls;
  controls.SetText(C::ServerNameEdit, "Alpha [EU]");
  SaveToolSettings(file, controls, "", {});
  EXPECT_EQ(controls.Text(C::ServerNameEdit), "Alpha 【EU】");
  EXPECT_EQ(file.values[(std::pair<std::string, std::string>{kLaunchSection, "Server_Name"})],
            "Alpha 【EU】");
}

TEST(ToolSettings, TwoSavesInARowWriteTheSameValues) {
  FakeProfile file;
  FakeMainControls controls;
  LoadToolSettings(file, controls, &Letters);
  SaveToolSettings(file, controls, "T", {});
  const auto first = file.values;
  file.writes.clear();
  SaveToolSettings(file, controls, "T", {});
  EXPECT_EQ(file.values, first);
  EXPECT_EQ(file.writes.size(), 42u);
}

// Retention lives in the extension section. A value that is not a count keeps every point: the
// tool must never delete backups because a setting could not be read.
TEST(ToolSettings, BackupRetentionIsReadAndWrittenInTheExtensionSection) {
  FakeProfile file;
  EXPECT_EQ(LoadBackupRetention(file), (BackupRetention{0, 0}));
  file.values[{"扩展设置", "Backup_Keep"}] = "abc";
  file.values[{"扩展设置", "Backup_Keep_Days"}] = "-3";
  EXPECT_EQ(LoadBackupRetention(file), (BackupRetention{0, 0}));
  file.values[{"扩展设置", "Backup_Keep"}] = " 12";
  file.values[{"扩展设置", "Backup_Keep_Days"}] = "３０";
  EXPECT_EQ(LoadBackupRetention(file), (BackupRetention{12, 30}));

  FakeProfile saved;
  FakeMainControls controls;
  SaveToolSettings(saved, controls, "T", {5, 7});
  EXPECT_EQ(saved.values[(std::pair<std::string, std::string>{"扩展设置", "Backup_Keep"})], "5");
  EXPECT_EQ(saved.values[(std::pair<std::string, std::string>{"扩展设置", "Backup_Keep_Days"})],
            "7");
  EXPECT_EQ(LoadBackupRetention(saved), (BackupRetention{5, 7}));
}

// Only the exact "1" remembers that the tool switched the API on: a doubtful value must never
// make a later start switch off an API the host turned on.
TEST(ToolSettings, RestApiByToolIsRememberedAfterEveryOtherKey) {
  const std::pair<std::string, std::string> key{"扩展设置", "RestAPI_ByTool"};
  for (const auto& [stored, byTool] : std::vector<std::pair<std::string, bool>>{
           {"1", true}, {"0", false}, {"", false}, {" 1", false}, {"true", false}}) {
    FakeProfile file;
    file.values[key] = stored;
    EXPECT_EQ(LoadRestApiByTool(file), byTool) << stored;
  }
  FakeProfile missing;
  EXPECT_FALSE(LoadRestApiByTool(missing));

  FakeProfile saved;
  FakeMainControls controls;
  SaveToolSettings(saved, controls, "T", {});
  SaveRestApiByTool(saved, true);
  EXPECT_EQ(saved.writes.back(), (std::pair<std::string, std::string>{"RestAPI_ByTool", "1"}));
  EXPECT_EQ(saved.writes[saved.writes.size() - 2].first, "Kook_Api");
  SaveRestApiByTool(saved, false);
  EXPECT_EQ(saved.values[key], "0");
}

// Every key the file holds, with a value unlike its default: file -> value -> main window ->
// value -> file must give back every key in its section with the same text, whether the key is
// shown in the main window or not.
TEST(ToolSettings, EveryKeyComesBackUnchangedThroughTheValueAndTheMainWindow) {
  const std::vector<std::array<std::string, 3>> stored = {
      {kRunControlSection, "Hide_ServerConsole", "0"},
      {kRunControlSection, "Auto_CheckServer", "0"},
      {kRunControlSection, "Crash_Autorun", "0"},
      {kRunControlSection, "Timeer_Autorestart", "0"},
      {kRunControlSection, "Timeer_Autorestart_Min", " 45x"},
      {kRunControlSection, "Use_4To_optimize", "1"},
      {kRunControlSection, "Timeer_Autobackup_Saved", "0"},
      {kRunControlSection, "Timeer_Autobackup_Saved_Min", "7"},
      {kLaunchSection, "Port_Game", "9000"},
      {kLaunchSection, "Port_SteamList", "27100"},
      {kLaunchSection, "Max_Player", "12"},
      {kLaunchSection, "Admin_Password", "s3cret 密码"},
      {kLaunchSection, "Server_Name", "Alpha 【EU】 服务器"},
      {kLaunchSection, "Open_community", "0"},
      {kLaunchSection, "Connect_Password", "join"},
      {kMainSection, "Window_Title", "我的服务器"},
      {kExtendedSection, "Safe_Stop", "0"},
      {kExtendedSection, "RestAPI_Port", "8300"},
      {kExtendedSection, "Restart_Notice", "0"},
      {kExtendedSection, "Hang_Restart", "0"},
      {kExtendedSection, "Backup_Keep", "12"},
      {kExtendedSection, "Backup_Keep_Days", "30"},
      {kExtendedSection, "Memory_Restart_GB", "9.5"},
      {kExtendedSection, "UPnP_Map", "1"},
      {kExtendedSection, "Run_At_Logon", "1"},
      {kExtendedSection, "Auto_Start", "1"},
      {kExtendedSection, "Webhook_URL_1", "https://oapi.dingtalk.com/robot/send?access_token=a1"},
      {kExtendedSection, "Webhook_URL_2", "http://127.0.0.1:9000/hook"},
      {kExtendedSection, "Webhook_URL_3", ""},
      {kExtendedSection, "Webhook_Secret_1", "SEC0123 密钥"},
      {kExtendedSection, "Webhook_Secret_2", ""},
      {kExtendedSection, "Webhook_Secret_3", "x"},
      {kExtendedSection, "Notify_Events", "players, crash"},
      {kExtendedSection, "Update_Check_Min", "45"},
      {kExtendedSection, "Keep_Awake", "0"},
      {kExtendedSection, "Whitelist", "1"},
      {kExtendedSection, "GameData_Api", "1"},
      {kExtendedSection, "Remote_Kook", "1"},
      {kExtendedSection, "Kook_Token", "1/MTA4NTI=/abc+def=="},
      {kExtendedSection, "Kook_Channels", "123, 456"},
      {kExtendedSection, "Remote_Admins", "789"},
      {kExtendedSection, "Kook_Api", "http://127.0.0.1:9001/api/v3"},
      {kExtendedSection, "WorldOption_Kept",
       "0123456789ABCDEF0123456789ABCDEF,FEDCBA9876543210FEDCBA9876543210"},
      {kExtendedSection, "RestAPI_ByTool", "1"},
  };
  FakeProfile file;
  for (const auto& [section, key, value] : stored) file.values[{section, key}] = value;

  const ToolSettings loaded = LoadToolSettings(file, &Letters);
  FakeMainControls window;
  ShowToolSettings(loaded, window);
  ToolSettings edited = loaded;
  for (const ToolSettingsKey& entry : ToolSettingsKeys()) {
    if (entry.control) {
      EXPECT_EQ(entry.print(loaded), entry.isFlag ? (window.IsTicked(*entry.control) ? "1" : "0")
                                                  : window.Text(*entry.control))
          << entry.key;
      entry.parse(edited, "");
      EXPECT_TRUE(ReadToolSetting(window, *entry.control, edited)) << entry.key;
    }
  }
  EXPECT_EQ(window.title, "我的服务器");

  FakeProfile saved;
  SaveToolSettings(saved, edited);
  SaveToolSetting(saved, edited, kWorldOptionKeptKey);
  SaveToolSetting(saved, edited, kRestApiByToolKey);
  ASSERT_EQ(saved.writes.size(), stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    const auto& [section, key, value] = stored[i];
    EXPECT_EQ(saved.writes[i], (std::pair<std::string, std::string>{key, value})) << i;
    EXPECT_EQ(saved.values[(std::pair<std::string, std::string>{section, key})], value) << key;
  }
}

}  // namespace
}  // namespace tidemoor
