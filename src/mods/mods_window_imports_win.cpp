// How the mod manager brings mods in: from the host's Steam, from a folder or an archive, from the
// Workshop through SteamCMD, and again from Steam when Steam holds a newer copy.

#include <algorithm>

#include "mods/mod_import.h"
#include "mods/mods_window_win.h"
#include "mods/steam_library.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr UINT kProgressMilliseconds = 200;

std::string ImportedLine(const ImportResult& result) {
  const ModImport& mod = result.mod;
  std::string line =
      "已导入模组 " + ShownText(mod.shownName) + ": Mods\\Workshop\\" + mod.folderName +
      (mod.origin ? " (创意工坊 " + mod.origin->workshopItemId + ")" : " (本地导入)") + ", 来自 " +
      mod.from;
  if (result.replaced) line += ", 旧版本已移到回收站";
  if (!result.originFailure.empty()) line += ", 未能记下来源 (" + result.originFailure + ")";
  return line;
}

}  // namespace

void ModsWindow::ImportFromSteam() {
  if (Busy()) return;
  reading_ = true;
  EnableButtons();
  ShowStatus("正在查找 Steam 中的创意工坊模组...");
  files_->Run<std::vector<SteamWorkshopItem>>(
      [steamPath = SteamPathInRegistry()] { return SteamWorkshopItems(steamPath); },
      [this](std::vector<SteamWorkshopItem> items) {
        reading_ = false;
        EnableButtons();
        if (!window_) return;
        ShowStatus("");
        if (items.empty()) {
          Tell(" 未找到 Steam 客户端或其中没有帕鲁创意工坊模组 ", PromptStyle::Information);
          return;
        }
        steamWindow_.Open(SteamImportSetup{window_, setup_.prompt, &*importer_,
                                           [this](std::vector<SteamWorkshopItem> chosen) {
                                             ImportWorkshopItems(std::move(chosen));
                                           }},
                          std::move(items));
      });
}

// A folder of the item's id already there is replaced only once the host has said so.
void ModsWindow::ImportWorkshopItems(std::vector<SteamWorkshopItem> items) {
  if (Busy()) return;
  std::vector<ModImport> mods;
  for (const SteamWorkshopItem& item : items) {
    ModImport mod = ImportOfWorkshopItem(item);
    if (FolderInstalled(mod.folderName)) {
      if (!setup_.prompt->Confirm(ReplaceFromSteamQuestion(mod.shownName), kModsWindowTitle,
                                  PromptStyle::Question)) {
        continue;
      }
      mod.replace = true;
    }
    mods.push_back(std::move(mod));
  }
  StartImport(std::move(mods));
}

void ModsWindow::ImportFromFiles() {
  if (Busy()) return;
  const std::optional<std::string> path = setup_.pickImport(window_);
  if (!path || !window_ || Busy()) return;
  reading_ = true;
  EnableButtons();
  ShowStatus("正在读取 " + *path + "...");
  importer_->Prepare(*path, [this](PreparedImport prepared) {
    reading_ = false;
    EnableButtons();
    if (!window_) return;  // closed meanwhile: the host has gone, and nothing changes
    ShowStatus("");
    if (!prepared.refusal.empty()) {
      Tell(prepared.refusal, PromptStyle::Error);
      return;
    }
    ModImport mod = std::move(prepared.mod);
    if (FolderInstalled(mod.folderName)) {
      if (!setup_.prompt->Confirm(ReplaceFromFilesQuestion(mod.shownName), kModsWindowTitle,
                                  PromptStyle::Question)) {
        return;
      }
      mod.replace = true;
    }
    StartImport({std::move(mod)});
  });
}

void ModsWindow::DownloadFromWorkshop() {
  if (Busy() || !setup_.downloadWorkshopItem) return;
  const std::optional<std::string> typed = setup_.askWorkshopItem(window_);
  if (!typed || !window_ || Busy()) return;
  const std::optional<std::string> id = WorkshopItemId(*typed);
  if (!id) {
    Tell(" 无法识别的创意工坊 ID - 请输入数字 ID 或模组在 steamcommunity.com 上的网址 ",
         PromptStyle::Warning);
    return;
  }
  downloading_ = true;
  EnableButtons();
  ShowStatus("正在通过 SteamCMD 下载创意工坊模组 " + *id + "...");
  setup_.downloadWorkshopItem(*id, [this, id = *id](WorkshopDownload download) {
    downloading_ = false;
    EnableButtons();
    if (!window_) return;
    ShowStatus("");
    if (!download.ok) {
      Tell(" 创意工坊下载失败 (" + download.reason +
               ") - 可在 Steam 中订阅该模组后用「从 Steam 导入」 ",
           PromptStyle::Error);
      return;
    }
    reading_ = true;
    EnableButtons();
    files_->Run<SteamWorkshopItem>(
        [id, folder = download.folder] { return DownloadedWorkshopItem(id, folder); },
        [this](SteamWorkshopItem item) {
          reading_ = false;
          EnableButtons();
          if (window_) ImportWorkshopItems({std::move(item)});
        });
  });
}

// Steam's newer copy replaces the folder the row shows, without a question: the host asked for it.
void ModsWindow::UpdateSelected() {
  const int row = SelectedRow();
  if (row < 0 || Busy() || row >= static_cast<int>(disk_.mods.size())) return;
  const InstalledMod installed = disk_.mods[row];
  if (installed.workshopItemId.empty()) return;
  reading_ = true;
  EnableButtons();
  files_->Run<std::vector<SteamWorkshopItem>>(
      [steamPath = SteamPathInRegistry()] { return SteamWorkshopItems(steamPath); },
      [this, installed](std::vector<SteamWorkshopItem> items) {
        reading_ = false;
        EnableButtons();
        if (!window_) return;
        const auto item =
            std::find_if(items.begin(), items.end(), [&](const SteamWorkshopItem& candidate) {
              return candidate.id == installed.workshopItemId;
            });
        if (item == items.end()) {
          Tell(" Steam 中没有创意工坊模组 " + installed.workshopItemId + " - 无法更新 ",
               PromptStyle::Warning);
          return;
        }
        ModImport mod = ImportOfWorkshopItem(*item);
        mod.folderName = installed.folderName;
        mod.origin->folderName = installed.folderName;
        mod.replace = true;
        StartImport({std::move(mod)});
      });
}

void ModsWindow::StartImport(std::vector<ModImport> mods) {
  if (mods.empty()) return;
  importer_->Import(std::move(mods),
                    [this](std::vector<ImportResult> results) { ImportEnded(results); });
  FollowImport();
  steamWindow_.FollowImport();
}

void ModsWindow::ImportEnded(const std::vector<ImportResult>& results) {
  int imported = 0;
  std::vector<std::string> failures;
  for (const ImportResult& result : results) {
    if (result.failure.empty()) {
      ++imported;
      Record(ImportedLine(result));
    } else {
      Record("导入模组失败: " + ShownText(result.mod.shownName) + " (" + result.failure + ")");
      failures.push_back(ShownText(result.mod.shownName) + ": " + result.failure);
    }
  }
  std::string outcome = "已导入 " + std::to_string(imported) + " 个模组";
  if (!failures.empty()) outcome += ", " + std::to_string(failures.size()) + " 个失败";
  FollowImport();
  ShowStatus(outcome);
  steamWindow_.FollowImport(outcome);
  if (!failures.empty())
    Tell(" 导入失败:\r\n " + JoinTexts(failures, "\r\n ") + " ", PromptStyle::Error);
  if (window_) Refresh();
}

bool ModsWindow::FolderInstalled(std::string_view folderName) const {
  return std::any_of(disk_.mods.begin(), disk_.mods.end(), [&](const InstalledMod& mod) {
    return EqualsIgnoringCase(mod.folderName, folderName);
  });
}

// While an import runs its progress shows under the list, every fifth of a second.
void ModsWindow::FollowImport() {
  if (!window_) return;
  const auto timer = static_cast<UINT_PTR>(ModsControl::ProgressTimer);
  if (importer_->Busy()) {
    ::SetTimer(window_, timer, kProgressMilliseconds, nullptr);
  } else {
    ::KillTimer(window_, timer);
  }
  ShowImportProgress(&*importer_, Control(ModsControl::Progress), Control(ModsControl::StatusLine));
  EnableButtons();
}

}  // namespace tidemoor
