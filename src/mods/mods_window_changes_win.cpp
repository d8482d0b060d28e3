// What the mod manager changes on the disk besides bringing mods in: the settings file, a mod's
// folder deleted, a mod's deployment taken back, and the folder opened in Explorer.

#include "mods/mod_changes.h"
#include "mods/mod_folders_win.h"
#include "mods/mod_import.h"
#include "mods/mod_paths.h"
#include "mods/mods_window_win.h"
#include "platform/directories_win.h"
#include "platform/job_pool_win.h"
#include "platform/recycle_bin_win.h"
#include "platform/run_command_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr char kNoBackupNoSave[] = " 未能创建模组变更前的备份 - 未保存 ";
constexpr char kNoBackupNoDelete[] = " 未能创建模组变更前的备份 - 未删除 ";
constexpr char kRefusedEncoding[] =
    " Mods\\PalModSettings.ini 的编码无法识别 (只能修改 UTF-8 或 UTF-16 的文件) - 未保存 ";

std::string Boxed(std::string_view sentence) {
  return std::string(" ").append(sentence).append(" ");
}

// What deleting a mod came to: its folder, then its line in the settings file.
struct Deletion {
  Outcome recycled;
  ModSettingsWrite settings{ModSettingsWrite::Result::Unchanged, {}};
};

struct Redeployment {
  bool deployed = false;
  Outcome recycled;
};

}  // namespace

void ModsWindow::WithBackupIfDue(bool changesWhatLoads, std::function<void()> change,
                                 std::string refusal) {
  if (backupMade_ || !changesWhatLoads || !setup_.backupBeforeChange) {
    change();
    return;
  }
  saving_ = true;
  EnableButtons();
  const int opening = opening_;
  setup_.backupBeforeChange(
      [this, opening, change = std::move(change), refusal = std::move(refusal)](bool made) {
        saving_ = false;
        EnableButtons();
        if (opening != opening_ || !window_) return;
        if (!made) {
          Tell(refusal, PromptStyle::Error);
          return;
        }
        backupMade_ = true;
        change();
      });
}

void ModsWindow::Save() {
  if (!read_) {
    Tell(disk_.settingsState == FileState::Unreadable
             ? Boxed(WithCause("无法读取 Mods\\PalModSettings.ini", disk_.settingsError) +
                     " - 未保存")
             : kRefusedEncoding,
         PromptStyle::Error);
    return;
  }
  const ModSettings settings = edited_;
  WithBackupIfDue(
      ChangesWhatLoads(atOpen_, settings), [this, settings] { WriteSettings(settings); },
      kNoBackupNoSave);
}

void ModsWindow::WriteSettings(ModSettings settings) {
  saving_ = true;
  EnableButtons();
  files_->Run<ModSettingsWrite>(
      [paths = setup_.paths, settings] {
        return EditModSettingsFile(paths, [&settings](const ModSettings&) { return settings; });
      },
      [this, settings](ModSettingsWrite write) {
        saving_ = false;
        EnableButtons();
        switch (write.result) {
          case ModSettingsWrite::Result::Written:
            Record(SavedModSettingsLine(settings));
            ShowStatus("模组设置已保存");
            if (setup_.serverRunning && setup_.serverRunning() &&
                setup_.prompt->Confirm(" 是否立即安全重启服务端以应用模组更改? ", kModsWindowTitle,
                                       PromptStyle::Question) &&
                setup_.restartServer) {
              setup_.restartServer();
            }
            break;
          case ModSettingsWrite::Result::Unchanged:
            ShowStatus("模组设置已保存 (文件中已是这些设置)");
            break;
          case ModSettingsWrite::Result::EncodingRefused:
            Tell(kRefusedEncoding, PromptStyle::Error);
            break;
          case ModSettingsWrite::Result::Failed:
            Tell(Boxed(WithCause("无法保存 Mods\\PalModSettings.ini", write.error)),
                 PromptStyle::Error);
            break;
        }
      });
}

void ModsWindow::DeleteSelected() {
  const int row = SelectedRow();
  if (row < 0 || Busy()) return;
  const ModRow mod = rows_[row];
  if (!setup_.prompt->Confirm(" 是否删除模组 " + ShownText(mod.name) +
                                  "? \r\n 文件夹 Mods\\Workshop\\" + mod.folderName +
                                  " 将移到回收站 ",
                              kModsWindowTitle, PromptStyle::WarningQuestion)) {
    return;
  }
  const std::vector<InstalledMod> mods = disk_.mods;
  const bool changesWhatLoads =
      disk_.settings &&
      ChangesWhatLoads(*disk_.settings,
                       SettingsWithoutFolder(mods, *disk_.settings, mod.folderName));
  WithBackupIfDue(
      changesWhatLoads, [this, mod, mods] { DeleteFolder(mod, mods); }, kNoBackupNoDelete);
}

void ModsWindow::DeleteFolder(const ModRow& mod, const std::vector<InstalledMod>& mods) {
  changing_ = true;
  EnableButtons();
  const std::string shown = "Mods\\Workshop\\" + mod.folderName;
  files_->Run<Deletion>(
      [paths = setup_.paths, mods, folder = mod.folderName] {
        Deletion deletion;
        deletion.recycled = MoveToRecycleBin(WorkshopModsDir(paths) + folder);
        if (!deletion.recycled) return deletion;
        EditModOrigins(paths, [&folder](ModOrigins& origins) { ForgetModOrigin(origins, folder); });
        deletion.settings = EditModSettingsFile(paths, [&](const ModSettings& now) {
          return SettingsWithoutFolder(mods, now, folder);
        });
        return deletion;
      },
      [this, mod, mods, shown](Deletion deletion) {
        changing_ = false;
        EnableButtons();
        if (!deletion.recycled) {
          Tell(Boxed(WithCause("无法把 " + shown + " 移到回收站", deletion.recycled.Error()) +
                     " - 未删除"),
               PromptStyle::Error);
          return;
        }
        std::string line = "已删除模组 " + ShownText(mod.name) + ": " + shown + " 已移到回收站";
        switch (deletion.settings.result) {
          case ModSettingsWrite::Result::Written:
            line += ", 已从启用的模组中移除 " + mod.packageName;
            break;
          case ModSettingsWrite::Result::Unchanged:
            break;
          case ModSettingsWrite::Result::EncodingRefused:
          case ModSettingsWrite::Result::Failed:
            line +=
                WithCause(", 但未能从 Mods\\PalModSettings.ini 中移除", deletion.settings.error);
            Tell(Boxed(line), PromptStyle::Warning);
            break;
        }
        Record(line);
        ShowStatus(line);
        edited_ = SettingsWithoutFolder(mods, edited_, mod.folderName);
        if (window_) Refresh();
      });
}

void ModsWindow::RedeploySelected() {
  const int row = SelectedRow();
  if (row < 0 || Busy() || rows_[row].packageName.empty()) return;
  const ModRow mod = rows_[row];
  const std::string managed = "Mods\\ManagedMods\\" + mod.packageName;
  if (!setup_.prompt->Confirm(" 是否重新部署模组 " + ShownText(mod.name) + "? \r\n " + managed +
                                  " 将移到回收站, 服务端会在下次开服时重新部署该模组 ",
                              kModsWindowTitle, PromptStyle::Question)) {
    return;
  }
  changing_ = true;
  EnableButtons();
  files_->Run<Redeployment>(
      [path = ManagedModDir(setup_.paths, mod.packageName)] {
        Redeployment redeployment;
        redeployment.deployed = FolderExists(path);
        if (redeployment.deployed) redeployment.recycled = MoveToRecycleBin(path);
        return redeployment;
      },
      [this, mod, managed](Redeployment redeployment) {
        changing_ = false;
        EnableButtons();
        if (!redeployment.deployed) {
          Tell(" 模组 " + ShownText(mod.name) + " 尚未部署 (" + managed +
                   " 不存在) - 服务端会在开服时部署它 ",
               PromptStyle::Information);
        } else if (!redeployment.recycled) {
          Tell(Boxed(WithCause("无法把 " + managed + " 移到回收站", redeployment.recycled.Error())),
               PromptStyle::Error);
        } else {
          const std::string line = "已重新部署模组 " + ShownText(mod.name) + ": " + managed +
                                   " 已移到回收站, 服务端将在下次开服时重新部署";
          Record(line);
          ShowStatus(line);
        }
      });
}

void ModsWindow::OpenModsFolder() {
  std::string folder = WorkshopModsDir(setup_.paths);
  folder.pop_back();
  files_->Run<Outcome>(
      [folder] { return EnsureDirectory(folder); },
      [this, folder](Outcome made) {
        if (!made) {
          Tell(Boxed(WithCause("无法创建 " + folder, made.Error())), PromptStyle::Error);
        } else if (setup_.openFolder) {
          setup_.openFolder(folder);
        } else {
          RunOnPool([folder] { RunCommandLine("explorer.exe \"" + folder + "\""); });
        }
      });
}

}  // namespace tidemoor
