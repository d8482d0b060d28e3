#include "server/loaded_world_check.h"

namespace tidemoor {
namespace {

constexpr char kQuestionTitle[] = " Quiz";
constexpr char kErrorTitle[] = " Error";

}  // namespace

bool LoadedWorldCheck::BeforeStart() {
  return Check(true);
}

void LoadedWorldCheck::BeforeWorldSettings() {
  Check(false);
}

// The backup point lets the windows' messages through, so the world settings label or the start
// button may come here again meanwhile. The check under way already has the user's answer; a
// start now would launch the server on the save the point is copying.
bool LoadedWorldCheck::Check(bool beforeStart) {
  if (checking_) return false;
  checking_ = true;
  const bool goOn = Ask(beforeStart);
  checking_ = false;
  return goOn;
}

bool LoadedWorldCheck::Ask(bool beforeStart) {
  const LoadedWorldFacts facts = wiring_.worlds.LookAtLoadedWorld();
  switch (DecideWorldQuestion(facts, kept_, beforeStart)) {
    case WorldQuestion::None:
      return true;
    case WorldQuestion::StartWithMissingWorld:
      if (!wiring_.prompt.Confirm(MissingWorldQuestion(facts.worldId, facts.existingWorlds),
                                  kQuestionTitle, PromptStyle::WarningQuestion)) {
        return false;
      }
      wiring_.log.Record("开服设置指定的存档 " + facts.worldId +
                         " 不存在, 仍然启动 (服务端将新建世界)");
      return true;
    case WorldQuestion::DisableWorldOption:
      return AskAboutWorldOption(facts.worldId);
  }
  return true;
}

bool LoadedWorldCheck::AskAboutWorldOption(const std::string& worldId) {
  if (wiring_.prompt.Confirm(kWorldOptionQuestion, kQuestionTitle, PromptStyle::Question)) {
    return DisableWorldOption(worldId);
  }
  kept_.push_back(worldId);
  wiring_.rememberKept(kept_);
  wiring_.log.Record("存档 " + worldId + " 的 WorldOption.sav 按用户选择保留, 不再询问");
  return true;
}

// The point comes first, so the world as it was can always be had back whole.
bool LoadedWorldCheck::DisableWorldOption(const std::string& worldId) {
  switch (wiring_.makeBackupPoint()) {
    case BackupPointResult::Made:
      break;
    case BackupPointResult::Failed:
      wiring_.prompt.Ask(kWorldOptionPointFailedMessage, kErrorTitle, PromptStyle::Error);
      return true;
    case BackupPointResult::ToolClosing:
      return false;
  }
  SavedWorlds& worlds = wiring_.worlds;
  // The point took a while with the windows going on; the file may have been moved meanwhile.
  if (!worlds.WorldHolds(worldId, kWorldOptionFileName)) return true;
  const std::string target =
      FreeDisabledName([&](const std::string& name) { return worlds.WorldHolds(worldId, name); });
  if (!worlds.RenameInWorld(worldId, kWorldOptionFileName, target)) {
    wiring_.log.Record("存档 " + worldId + " 的 WorldOption.sav 改名失败, 文件保持原样");
    wiring_.prompt.Ask(kWorldOptionRenameFailedMessage, kErrorTitle, PromptStyle::Error);
    return true;
  }
  wiring_.log.Record("存档 " + worldId + " 的 WorldOption.sav 已改名为 " + target +
                     " (改名前已创建备份点)");
  return true;
}

}  // namespace tidemoor
