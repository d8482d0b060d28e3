#include "mods/mods_before_start_win.h"

#include <windows.h>

#include "mods/mod_paths.h"
#include "mods/mod_start_check.h"
#include "mods/mods_on_disk_win.h"
#include "platform/codepage_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {
namespace {

constexpr char kQuestionTitle[] = " Quiz";
constexpr char kErrorTitle[] = " Error";

bool Exists(const std::string& path) {
  return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

HandInstalledUe4ss FindHandInstalledUe4ss(const ServerPaths& paths) {
  const std::string binaries = ServerBinariesDir(paths);
  return {Exists(binaries + kHandUe4ssLoader), Exists(binaries + kHandUe4ssDll),
          Exists(binaries + kLeftoverUe4ssDll), Exists(binaries + kLeftoverUe4ssMods)};
}

// What the mods about to load would do wrong, each problem logged once per start. A few small
// files, read as the start goes.
ModStartCheck CheckAndLog(const ServerPaths& paths, EventLog& log) {
  const ModsOnDisk disk = ReadModsOnDisk(paths, {});
  if (!disk.settings) {
    log.Record("模组检查: 无法读取 " + ModSettingsFile(paths) + " - 未检查模组");
    return {};
  }
  const ModStartCheck check =
      CheckModsBeforeStart(disk.mods, *disk.settings, FindHandInstalledUe4ss(paths));
  for (const std::string& problem : check.problems) log.Record("模组检查: " + problem);
  return check;
}

}  // namespace

std::string ModProblemsQuestion(const std::vector<std::string>& problems) {
  std::string text = " 启用的模组有以下问题: \r\n";
  for (const std::string& problem : problems) text += " " + problem + "\r\n";
  return text + " 是否仍然开服? ";
}

void ModsBeforeStart::BeforeStart(const std::function<void(bool goOn)>& done) {
  const ModStartCheck check = CheckAndLog(paths_, log_);
  if (check.askToDisableHandUe4ss) {
    if (prompt_.Confirm(kTwoUe4ssQuestion, kQuestionTitle, PromptStyle::WarningQuestion)) {
      DisableHandUe4ss();
    } else {
      log_.Record("模组检查: 手动安装的 UE4SS 保持启用");
    }
  }
  done(check.problems.empty() || prompt_.Confirm(ModProblemsQuestion(check.problems),
                                                 kQuestionTitle, PromptStyle::WarningQuestion));
}

void ModsBeforeStart::NoteUnasked() {
  if (CheckAndLog(paths_, log_).askToDisableHandUe4ss) {
    log_.Record(
        "模组检查: 手动安装的 UE4SS 与创意工坊 UE4SS 同时存在 - 无人值守的启动不询问, "
        "服务端可能在启动时崩溃");
  }
}

// Renamed, never deleted, and never onto a name already taken.
void ModsBeforeStart::DisableHandUe4ss() {
  const std::string binaries = ServerBinariesDir(paths_);
  const std::string disabled =
      DisabledLoaderName([&binaries](const std::string& name) { return Exists(binaries + name); });
  const std::string from = binaries + kHandUe4ssLoader;
  if (!::MoveFileExW(Widen(from).c_str(), Widen(binaries + disabled).c_str(), 0)) {
    const std::string failure =
        WithCause("无法停用手动安装的 UE4SS: 改名 " + from + " 失败", LastSystemError());
    log_.Record("模组检查: " + failure);
    prompt_.Ask(" " + failure + " ", kErrorTitle, PromptStyle::Error);
    return;
  }
  log_.Record("模组检查: 已停用手动安装的 UE4SS (" + std::string(kHandUe4ssLoader) + " 改名为 " +
              disabled + ")");
}

}  // namespace tidemoor
