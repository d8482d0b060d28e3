#include "app/main_window_routing_win.h"

#include <shellapi.h>

#include "app/application_win.h"
#include "backup/auto_backup.h"
#include "common/product.h"
#include "install/update_win.h"
#include "net/connect_address_win.h"
#include "platform/codepage_win.h"
#include "platform/run_command_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr char kStartDuringRestoreMessage[] = " 正在还原存档 - 请在还原完成后再启动服务端 ";

}  // namespace

void MainWindowRouting::OnShown() {
  tool_.FinishStartUp();
}

void MainWindowRouting::OnClicked(MainControl control) {
  ReadToolSetting(tool_.mainWindow_, control, tool_.settings_);
  tool_.FinishStartUp();
  switch (control) {
    case C::StartButton:
      // A server started now would find half a restored save.
      if (tool_.backupHost_->Activity().Task() == BackupTask::Restore &&
          tool_.server_->State() == ServerState::Stopped) {
        tool_.prompt_.Ask(kStartDuringRestoreMessage, " Info", PromptStyle::Information);
        break;
      }
      tool_.server_->Toggle();
      break;
    case C::HideConsoleBox:
      tool_.server_->SetConsoleHidden(tool_.settings_.hideConsole);
      break;
    case C::RunAtLogonBox:
      tool_.ChangeLogonEntry();
      break;
    default:
      break;
  }
}

void MainWindowRouting::OnEdited(MainControl edit) {
  ReadToolSetting(tool_.mainWindow_, edit, tool_.settings_);
  if (edit == C::UpdateCheckMinutes && tool_.startUpFinished_) tool_.ArmUpdateCheck();
}

void MainWindowRouting::OnLabelPressed(MainControl label, bool rightButton) {
  tool_.FinishStartUp();
  if (rightButton) {
    if (label == C::WorldSettingsLabel) RevealWorldSettingsFile(tool_.paths_, tool_.prompt_);
    return;
  }
  switch (label) {
    case C::ManualUpdateLabel:
      PerformManualUpdate(tool_.paths_, tool_.updateActions_, tool_.prompt_);
      break;
    case C::BackupManagerLabel:
      tool_.OpenBackupManager();
      break;
    case C::AdvertLabel:
      ::ShellExecuteW(tool_.mainWindow_.Handle(), L"open", Widen(kShopPageAddress).c_str(), L"",
                      L"", SW_SHOW);
      break;
    case C::CopyAddressLabel:
      CopyConnectAddress(tool_.settings_.gamePort, tool_.mainWindow_.Handle(), tool_.prompt_,
                         kPrimaryIpEchoAddress, kFallbackIpEchoAddress, tool_.carrierGradeNat_,
                         *tool_.addressLookup_);
      break;
    case C::ServerFolderLabel:
      RevealInExplorer(ServerExecutable(tool_.paths_));
      break;
    case C::WorldSettingsLabel:
      // Settings edited there would not reach a world that carries its own.
      tool_.loadedWorld_->BeforeWorldSettings([this] {
        tool_.worldSettingsWindow_.Open(
            tool_.mainWindow_.Handle(), tool_.paths_, tool_.prompt_,
            ServerRestartOffer{[this] { return tool_.server_->State() == ServerState::Running; },
                          [this] { tool_.server_->Restart(); }});
      });
      break;
    case C::EventLogLabel:
      tool_.OpenEventLog();
      break;
    case C::DoctorLabel:
      tool_.OpenConnectionDoctor();
      break;
    case C::AlertsLabel:
      tool_.OpenAlertsWindow();
      break;
    case C::PlayersLabel:
      tool_.playersWindow_.Open(PlayersWindowSetup{tool_.mainWindow_.Handle(), &tool_.playersApi_,
                                                   &tool_.prompt_, &*tool_.eventLog_,
                                                   [this] { return tool_.PlayersAccess(); }});
      break;
    default:
      break;
  }
}

void MainWindowRouting::OnTimer(MainControl timer) {
  if (timer == C::MonitorTimer) tool_.server_->OnMonitorTick();
  if (timer == C::AutoBackupTimer) OnAutoBackupTick();
  if (timer == C::UpdateCheckTimer) tool_.updateWatch_->Check();
  if (timer == C::LiveStatusTimer) {
    const bool running = tool_.server_->State() == ServerState::Running;
    tool_.liveStatus_.Tick(running, tool_.server_->Endpoint());
    tool_.playerWatch_.Tick(running, tool_.server_->Endpoint());
    tool_.ShowLogonEntry();
  }
  if (timer == C::MemoryTimer) {
    tool_.memoryWatch_->Tick(tool_.server_->State() == ServerState::Running,
                             tool_.server_->Endpoint(), tool_.settings_.memoryRestartGb);
  }
}

void MainWindowRouting::OnAutoBackupTick() {
  const ServerState state = tool_.server_->State();
  // A point taken while the server starts or stops would copy a save in the middle of changing.
  const AutoBackupDecision decision = DecideAutoBackupTick(
      tool_.settings_.autoBackup, state == ServerState::Running, tool_.settings_.autoBackupMinutes);
  if (decision.makePoint) {
    MakeAutomaticBackupPoint(*tool_.backupHost_, tool_.prompt_, tool_.Places(),
                             tool_.settings_.retention, tool_.autoBackupRecord_);
  } else {
    tool_.mainWindow_.SetTimerInterval(C::AutoBackupTimer, decision.rearmPeriod);
  }
}

bool MainWindowRouting::OnCloseRequested() {
  return tool_.OnCloseRequested();
}

void MainWindowRouting::OnClosing() {
  tool_.SaveSettings();
  tool_.closing_ = true;
  tool_.CancelPendingSteps();
}

void MainWindowRouting::OnResumedFromSleep() {
  tool_.server_->OnResumedFromSleep();
}

}  // namespace tidemoor
