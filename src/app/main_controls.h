#pragma once
// The main window's controls as the app sees them: an id per control and the interface through
// which the settings are shown and read back and the server's state is shown. The window
// implements it; tests fake it. The areas never see a control id: they get values.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

// Control ids double as Win32 child-window ids (and timer ids for the server's two timers, which
// the main window shows it by), so the end-to-end driver finds a control with GetDlgItem.
enum class MainControl : int {
  RunControlGroup = 101,   // 分组框1
  StartButton,             // 按钮_启动服务端
  UseOptimizeFlagsBox,     // 选择_使用四核优化参数
  HideConsoleBox,          // 选择_隐藏原版控制台
  AutoUpdateBox,           // 选择_自动更新服务端
  Separator,               // 分割线1
  StatusLine,              // 标签_服务端版本
  AutomationGroup,         // 分组框4
  CrashRestartBox,         // 选择_崩溃自动重启
  IntervalRestartBox,      // 选择_定时间隔重启
  IntervalRestartMinutes,  // 编辑框_定时重启_分钟
  AutoBackupBox,           // 选择_定时保存玩家存档
  AutoBackupMinutes,       // 选择_定时保存玩家存档_分钟
  BackupManagerLabel,      // 标签12
  LaunchGroup,             // 分组框2
  GamePortLabel,           // 标签1
  GamePortEdit,            // 编辑框_开服游戏端口
  QueryPortLabel,          // 标签2
  QueryPortEdit,           // 编辑框_列表查询端口
  MaxPlayersLabel,         // 标签4
  MaxPlayersEdit,          // 编辑框_最大游戏人数
  AdminPasswordLabel,      // 标签5
  AdminPasswordEdit,       // 编辑框_管理员密码
  ServerNameLabel,         // 标签3
  ServerNameEdit,          // 编辑框_服务器列表名字
  CommunityBox,            // 选择_社区公开服务器
  JoinPasswordLabel,       // 标签11
  JoinPasswordEdit,        // 编辑框_服务器进入密码
  ShortcutGroup,           // 分组框3
  WorldSettingsLabel,      // 标签7
  ServerFolderLabel,       // 标签8
  CopyAddressLabel,        // 标签9
  ManualUpdateLabel,       // 标签6
  AdvertLabel,             // 标签10
  MonitorTimer,            // 时钟_检查游戏服务端状态
  AutoBackupTimer,         // 时钟_定时保存玩家存档
  SafetyGroup,             // 扩展设置
  SafeStopBox,
  RestApiPortLabel,
  RestApiPortEdit,
  RestartNoticeBox,
  HangRestartBox,
  EventLogLabel,
  PlayersLabel,
  LiveStatusLine,      // players, FPS and uptime while the server's API answers
  DoctorLabel,         // (联机诊断)
  MapPortsAtStartBox,  // 开服时自动映射端口
  MemoryLimitLabel,
  MemoryLimitEdit,  // the working set, in GB, above which the server is restarted; 0 = never
  RunAtLogonBox,
  AutoStartBox,
  RunAtLogonHint,  // how to switch the sign-in entry on again once Windows has switched it off
  AlertsLabel,     // (消息通知)
  UpdateCheckLabel,
  UpdateCheckMinutes,  // minutes between two looks for a newer server build
  InstallProgressBar,  // under the status line while SteamCMD installs; hidden otherwise
  KeepAwakeBox,        // 服务端运行时阻止电脑睡眠
  GuideLabel,          // (开服向导)
  ModsLabel,           // (模组管理)
  MetricsLabel,        // (运行曲线)
  RemoteLabel,         // (远程管理)
};

class MainControls {
 public:
  virtual ~MainControls() = default;
  virtual std::string Text(MainControl control) const = 0;
  virtual void SetText(MainControl control, std::string_view text) = 0;
  virtual bool IsTicked(MainControl control) const = 0;
  virtual void SetTicked(MainControl control, bool ticked) = 0;
  // Shows the bar at the percentage; nullopt hides it.
  virtual void ShowProgress(MainControl bar, std::optional<int> percent) = 0;
  // Arms a timer with the given period; 0 stops it.
  virtual void SetTimerInterval(MainControl timer, unsigned milliseconds) = 0;
  virtual void SetTitle(std::string_view title) = 0;
};

// The status line before any server has started.
inline constexpr char kStatusWaiting[] = "等待服务端启动";

}  // namespace tidemoor
