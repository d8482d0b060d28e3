#include "mods/mod_import_win.h"

#include <windows.h>

#include "mods/mod_folders_win.h"
#include "mods/mod_import.h"
#include "mods/mod_info.h"
#include "mods/mod_paths.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/system_error_win.h"
#include "platform/text.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

PreparedImport Refused(std::string refusal) {
  return {std::move(refusal), {}};
}

std::string Unreadable(const std::string& path, const SystemError& error) {
  return std::string(" ").append(WithCause("无法读取 " + path, error)).append(" - 已取消导入 ");
}

PreparedImport Targeted(std::optional<std::string_view> infoJson, ModImport mod) {
  const ImportTarget target = ImportTargetOf(infoJson);
  if (!target.refusal.empty()) return Refused(target.refusal);
  mod.folderName = target.folderName;
  mod.shownName = target.shownName;
  return {{}, std::move(mod)};
}

PreparedImport PrepareFolder(const std::string& path) {
  const FolderContent content = FolderContentOf(path);
  if (content.failure)
    return Refused(std::string(" ").append(*content.failure).append(" - 已取消导入 "));
  const ModRoot root = FindModRoot(content.files);
  if (root.refusal != ImportRefusal::None) return Refused(ImportRefusalText(root.refusal, {}));
  ModImport mod;
  mod.from = path;
  mod.sourceFolder = root.folder.empty() ? path : path + "\\" + root.folder;
  const WholeFile info = ReadWholeFile(mod.sourceFolder + "\\Info.json", kLargestInfoJson);
  return Targeted(
      info.state == FileState::Read ? std::optional<std::string_view>(info.bytes) : std::nullopt,
      std::move(mod));
}

PreparedImport PrepareArchive(const std::string& path) {
  WholeFile file = ReadWholeFile(path, kLargestModArchive);
  if (file.state != FileState::Read) {
    if (file.error.code == ERROR_FILE_TOO_LARGE) {
      return Refused(ImportRefusalText(ImportRefusal::TooLarge, {}));
    }
    return Refused(Unreadable(path, file.error));
  }
  auto archive = std::make_shared<PlannedArchive>();
  archive->bytes = std::move(file.bytes);
  archive->plan = PlanArchiveImport(ListZip(archive->bytes));
  if (archive->plan.refusal != ImportRefusal::None) {
    return Refused(ImportRefusalText(archive->plan.refusal, archive->plan.offendingEntry));
  }
  const std::optional<std::string> info = UnpackZipEntry(archive->plan.infoJson);
  ModImport mod;
  mod.from = path;
  mod.archive = archive;
  return Targeted(info ? std::optional<std::string_view>(*info) : std::nullopt, std::move(mod));
}

PreparedImport PrepareImport(std::string path) {
  while (path.size() > 3 && path.ends_with('\\')) path.pop_back();
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Refused(Unreadable(path, LastSystemError()));
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PrepareFolder(path);
  if (path.size() > 4 &&
      EqualsIgnoringCase(std::string_view(path).substr(path.size() - 4), ".zip")) {
    return PrepareArchive(path);
  }
  return Refused(" 只能导入文件夹或 .zip 压缩包 - 已取消导入 ");
}

// Puts the mod together beside the server, then moves it into place; whatever fails leaves
// Mods\Workshop as it was.
ImportResult ImportOne(const ServerPaths& paths, const ModImport& mod, ImportProgress& progress) {
  ImportResult result{mod};
  const std::string staging = ModImportStagingDir(paths) + mod.folderName;
  const std::string target = WorkshopModsDir(paths) + mod.folderName;
  const FilesDone advance = [&progress](int done, int total) {
    progress.total = total;
    progress.done = done;
  };
  RemoveOwnFolder(staging);
  FolderFailure failure;
  if (Outcome made = EnsureDirectory(staging); !made) {
    failure = WithCause("无法创建 " + staging, made.Error());
  } else if (mod.archive) {
    failure = UnpackArchive(mod.archive->plan, staging, advance);
  } else {
    const FolderContent content = FolderContentOf(mod.sourceFolder);
    failure = content.failure ? content.failure
                              : CopyFolderContent(mod.sourceFolder, content, staging, advance);
  }
  if (!failure) {
    if (Outcome made = EnsureDirectory(WorkshopModsDir(paths)); !made) {
      failure = WithCause("无法创建 " + WorkshopModsDir(paths), made.Error());
    }
  }
  const bool existed = FolderExists(target);
  if (!failure) failure = PutInPlace(staging, target, mod.replace);
  RemoveOwnFolder(staging);
  ::RemoveDirectoryW(Widen(ModImportStagingDir(paths)).c_str());  // once no other import is there
  if (failure) {
    result.failure = *failure;
    return result;
  }
  result.replaced = existed;
  const Outcome noted = EditModOrigins(paths, [&mod](ModOrigins& origins) {
    if (mod.origin) {
      NoteModOrigin(origins, *mod.origin);
    } else {
      ForgetModOrigin(origins, mod.folderName);
    }
  });
  if (!noted) result.originFailure = CauseText(noted.Error());
  return result;
}

}  // namespace

ModImport ImportOfWorkshopItem(const SteamWorkshopItem& item) {
  ModImport mod;
  mod.shownName = WorkshopItemNamesOf(item.id, item.infoJson).shownName;
  mod.folderName = item.id;
  mod.from = item.folder;
  mod.sourceFolder = item.folder;
  mod.origin = ModOrigin{item.id, item.id, item.timeUpdated};
  return mod;
}

ModImporter::ModImporter(ServerPaths paths) : paths_(std::move(paths)) {}

void ModImporter::Prepare(std::string path, std::function<void(PreparedImport)> done) {
  worker_.Run<PreparedImport>([path = std::move(path)] { return PrepareImport(path); },
                              std::move(done));
}

void ModImporter::Import(std::vector<ModImport> mods,
                         std::function<void(std::vector<ImportResult>)> done) {
  importing_ = true;
  names_.clear();
  for (const ModImport& mod : mods) names_.push_back(mod.shownName);
  progress_ = std::make_shared<ImportProgress>();
  worker_.Run<std::vector<ImportResult>>(
      [paths = paths_, mods = std::move(mods), progress = progress_] {
        std::vector<ImportResult> results;
        for (const ModImport& mod : mods) {
          progress->total = 0;
          progress->done = 0;
          results.push_back(ImportOne(paths, mod, *progress));
          ++progress->mod;
        }
        return results;
      },
      [this, done = std::move(done)](std::vector<ImportResult> results) {
        importing_ = false;
        done(std::move(results));
      });
}

std::string ModImporter::ProgressText() const {
  if (!importing_ || names_.empty()) return {};
  const int mod = std::min<int>(progress_->mod.load(), static_cast<int>(names_.size()) - 1);
  std::string text = "正在导入 " + EscapeControlCharacters(names_[mod], 60);
  if (names_.size() > 1) {
    text += " (" + std::to_string(mod + 1) + "/" + std::to_string(names_.size()) + ")";
  }
  const int total = progress_->total.load();
  if (total > 0) {
    text += ": 已复制 " + std::to_string(progress_->done.load()) + "/" + std::to_string(total) +
            " 个文件";
  }
  return text;
}

}  // namespace tidemoor
