#include "app/main_layout.h"

#include <iterator>
#include <vector>

#include "common/product.h"
#include "server/server_world.h"

namespace tidemoor {
namespace {

using K = ControlKind;
using C = MainControl;
using A = MainActions;

constexpr int Id(MainControl control) {
  return static_cast<int>(control);
}

// Places are given relative to the group box that holds each control; the container that holds
// the group boxes is the client area itself, so a control's place is its group's plus its own.
constexpr int kRunX = 8, kRunY = 8;
constexpr int kAutoX = 8, kAutoY = 128;
constexpr int kLaunchX = 8, kLaunchY = 192;
constexpr int kShortX = 8, kShortY = 332;
// Below the advert, which keeps its place. Its second row holds the labels that open the tool's
// windows (room for eight), and its last the live status line, the whole width.
constexpr int kSafeX = 8, kSafeY = 446;
constexpr int kWindowLabelsY = kSafeY + 54;
constexpr int WindowLabelX(int index) {
  return kSafeX + 16 + index * 78;
}
// Labels above the edit boxes have a place but no size of their own; they take the width of the
// box below them and one line of text.
constexpr int kCaptionHeight = 18;

const MainControlRow kRows[] = {
    {{Id(C::RunControlGroup), K::GroupBox, "服务端运行控制", kRunX, kRunY, 664, 112}},
    {{Id(C::StartButton), K::Button, kStartCaption, kRunX + 16, kRunY + 26, 150, 30},
     &A::StartOrStopServer},
    {{Id(C::UseOptimizeFlagsBox), K::CheckBox, "官方优化参数 (可能负优化)", kRunX + 182, kRunY + 26,
      176, 30}},
    {{Id(C::HideConsoleBox), K::CheckBox, "隐藏原版控制台", kRunX + 376, kRunY + 26, 118, 30},
     &A::ApplyConsoleHidden},
    {{Id(C::AutoUpdateBox), K::CheckBox, "自动更新服务端", kRunX + 512, kRunY + 26, 118, 30}},
    {{Id(C::Separator), K::Separator, "", kRunX + 16, kRunY + 68, 632, 1}},
    {{Id(C::StatusLine), K::Label, "等待服务端启动", kRunX + 16, kRunY + 74, 632, 20}},
    {{Id(C::InstallProgressBar), K::ProgressBar, "", kRunX + 16, kRunY + 94, 632, 12}},

    {{Id(C::AutomationGroup), K::GroupBox, "自动化管理", kAutoX, kAutoY, 664, 56}},
    {{Id(C::CrashRestartBox), K::CheckBox, "崩溃自动重启", kAutoX + 22, kAutoY + 18, 104, 30}},
    // The minutes keep their height and vertical place from here; across, the window moves them
    // into the blanks (kMinuteBlanks) of their check box's caption as the box draws it, which
    // these places only approximate.
    {{Id(C::IntervalRestartBox), K::CheckBox, "自动间隔　　　　分钟重启", kAutoX + 142, kAutoY + 18,
      178, 30}},
    {{Id(C::IntervalRestartMinutes), K::Edit, "", kAutoX + 230, kAutoY + 22, 32, 20}},
    {{Id(C::AutoBackupBox), K::CheckBox, "自动间隔　　　　分钟备份游戏存档", kAutoX + 336,
      kAutoY + 18, 226, 30}},
    {{Id(C::AutoBackupMinutes), K::Edit, "", kAutoX + 424, kAutoY + 22, 32, 20}},
    {{Id(C::BackupManagerLabel), K::ClickableLabel, "(管理存档备份)", kAutoX + 569, kAutoY + 18, 86,
      30},
     &A::OpenBackupManager},

    {{Id(C::LaunchGroup), K::GroupBox, "服务器启动参数", kLaunchX, kLaunchY, 664, 132}},
    {{Id(C::GamePortLabel), K::Label, "开服游戏端口", kLaunchX + 16, kLaunchY + 22, 112,
      kCaptionHeight}},
    {{Id(C::GamePortEdit), K::Edit, "", kLaunchX + 16, kLaunchY + 40, 112, 24}},
    {{Id(C::QueryPortLabel), K::Label, "列表查询端口", kLaunchX + 136, kLaunchY + 22, 112,
      kCaptionHeight}},
    {{Id(C::QueryPortEdit), K::Edit, "", kLaunchX + 136, kLaunchY + 40, 112, 24}},
    {{Id(C::MaxPlayersLabel), K::Label, "最大游戏人数", kLaunchX + 256, kLaunchY + 22, 112,
      kCaptionHeight}},
    {{Id(C::MaxPlayersEdit), K::Edit, "", kLaunchX + 256, kLaunchY + 40, 112, 24}},
    {{Id(C::AdminPasswordLabel), K::Label, "管理员密码", kLaunchX + 376, kLaunchY + 22, 270,
      kCaptionHeight}},
    {{Id(C::AdminPasswordEdit), K::Edit, "", kLaunchX + 376, kLaunchY + 40, 270, 24}},
    {{Id(C::ServerNameLabel), K::Label, "服务器名字", kLaunchX + 16, kLaunchY + 71, 200,
      kCaptionHeight}},
    {{Id(C::ServerNameEdit), K::Edit, "", kLaunchX + 16, kLaunchY + 89, 351, 24}},
    {{Id(C::CommunityBox), K::CheckBox, "社区列表中公开服务器", kLaunchX + 223, kLaunchY + 72, 144,
      16}},
    {{Id(C::JoinPasswordLabel), K::Label, "服务器进服密码", kLaunchX + 376, kLaunchY + 71, 270,
      kCaptionHeight}},
    {{Id(C::JoinPasswordEdit), K::Edit, "", kLaunchX + 376, kLaunchY + 89, 270, 24}},

    {{Id(C::ShortcutGroup), K::GroupBox, "快捷功能", kShortX, kShortY, 664, 72}},
    {{Id(C::WorldSettingsLabel), K::ClickableLabel, "配置开服设置 (PalWorldSettings.GUI)",
      kShortX + 16, kShortY + 28, 220, 24},
     &A::OpenWorldSettings,
     &A::RevealWorldSettingsFile},
    {{Id(C::ServerFolderLabel), K::ClickableLabel, "游戏服务端主目录", kShortX + 244, kShortY + 28,
      110, 24},
     &A::RevealServerFolder},
    {{Id(C::CopyAddressLabel), K::ClickableLabel, "复制游戏联机地址", kShortX + 362, kShortY + 28,
      110, 24},
     &A::CopyConnectAddress},
    {{Id(C::ManualUpdateLabel), K::ClickableLabel, "更新游戏官方服务端", kShortX + 480,
      kShortY + 28, 124, 24},
     &A::UpdateServerByHand},

    {{Id(C::SafetyGroup), K::GroupBox, "扩展设置 (服务端 REST API)", kSafeX, kSafeY, 664, 168}},
    {{Id(C::SafeStopBox), K::CheckBox, "安全关服 (先存档再关闭)", kSafeX + 16, kSafeY + 18, 176,
      30}},
    {{Id(C::RestartNoticeBox), K::CheckBox, "重启前通知玩家", kSafeX + 204, kSafeY + 18, 118, 30}},
    {{Id(C::HangRestartBox), K::CheckBox, "无响应视为崩溃", kSafeX + 334, kSafeY + 18, 118, 30}},
    {{Id(C::RestApiPortLabel), K::Label, "REST API 端口", kSafeX + 466, kSafeY + 25, 90,
      kCaptionHeight}},
    {{Id(C::RestApiPortEdit), K::Edit, "", kSafeX + 558, kSafeY + 22, 56, 22}},
    {{Id(C::EventLogLabel), K::ClickableLabel, "(事件日志)", WindowLabelX(0), kWindowLabelsY, 70,
      22},
     &A::ShowEventLog},
    {{Id(C::PlayersLabel), K::ClickableLabel, "(在线玩家)", WindowLabelX(1), kWindowLabelsY, 70,
      22},
     &A::OpenPlayers},
    {{Id(C::DoctorLabel), K::ClickableLabel, "(联机诊断)", WindowLabelX(2), kWindowLabelsY, 70, 22},
     &A::OpenConnectionDoctor},
    {{Id(C::AlertsLabel), K::ClickableLabel, "(消息通知)", WindowLabelX(3), kWindowLabelsY, 70, 22},
     &A::OpenAlerts},
    {{Id(C::GuideLabel), K::ClickableLabel, "(开服向导)", WindowLabelX(4), kWindowLabelsY, 70, 22},
     &A::OpenFirstStartGuide},
    {{Id(C::ModsLabel), K::ClickableLabel, "(模组管理)", WindowLabelX(5), kWindowLabelsY, 70, 22},
     &A::OpenMods},
    {{Id(C::MetricsLabel), K::ClickableLabel, "(运行曲线)", WindowLabelX(6), kWindowLabelsY, 70,
      22},
     &A::OpenMetrics},
    {{Id(C::RemoteLabel), K::ClickableLabel, "(远程管理)", WindowLabelX(7), kWindowLabelsY, 70, 22},
     &A::OpenRemote},
    {{Id(C::RunAtLogonBox), K::CheckBox, "随 Windows 启动", kSafeX + 16, kSafeY + 80, 118, 26},
     &A::ChangeLogonEntry},
    {{Id(C::AutoStartBox), K::CheckBox, "启动工具时自动开服", kSafeX + 146, kSafeY + 80, 150, 26}},
    {{Id(C::RunAtLogonHint), K::Label, "", kSafeX + 306, kSafeY + 84, 342, 22, kEndEllipsis}},
    {{Id(C::MapPortsAtStartBox), K::CheckBox, "开服时自动映射端口", kSafeX + 16, kSafeY + 108, 148,
      26}},
    {{Id(C::MemoryLimitLabel), K::Label, "内存上限GB", kSafeX + 176, kSafeY + 113, 64,
      kCaptionHeight}},
    {{Id(C::MemoryLimitEdit), K::Edit, "", kSafeX + 242, kSafeY + 110, 36, 22}},
    {{Id(C::UpdateCheckLabel), K::Label, "检查更新(分钟)", kSafeX + 292, kSafeY + 113, 92,
      kCaptionHeight}},
    {{Id(C::UpdateCheckMinutes), K::Edit, "", kSafeX + 386, kSafeY + 110, 36, 22},
     &A::ChangeUpdateCheckPeriod},
    {{Id(C::KeepAwakeBox), K::CheckBox, "服务端运行时阻止电脑睡眠", kSafeX + 432, kSafeY + 108, 216,
      26}},
    {{Id(C::LiveStatusLine), K::Label, "", kSafeX + 16, kSafeY + 138, 632, 22, kEndEllipsis}},
    // The advert stays the table's last row: its caption is filled in below.
    {{Id(C::AdvertLabel), K::ClickableLabel, "", 8, 410, 664, 28}, &A::OpenShopPage},
};

}  // namespace

std::span<const MainControlRow> MainWindowRows() {
  static const std::vector<MainControlRow> rows = [] {
    std::vector<MainControlRow> made(std::begin(kRows), std::end(kRows));
    made.back().control.caption =
        std::string("全天候流畅联机开服? 点这里租用专业游戏开服云服务器 (") + kMakerWebAddress +
        ")";
    return made;
  }();
  return rows;
}

std::span<const ControlDefinition> MainWindowLayout() {
  static const std::vector<ControlDefinition> layout = [] {
    std::vector<ControlDefinition> definitions;
    for (const MainControlRow& row : MainWindowRows()) definitions.push_back(row.control);
    return definitions;
  }();
  return layout;
}

}  // namespace tidemoor
