#include "server/loaded_world_check.h"

#include <utility>

namespace tidemoor {
namespace {

constexpr char kQuestionTitle[] = " Quiz";
constexpr char kErrorTitle[] = " Error";

}  // namespace

void LoadedWorldCheck::BeforeStart(std::function<void(bool goOn)> done) {
  Check(true, std::move(done));
}

void LoadedWorldCheck::BeforeWorldSettings(std::function<void()> done) {
  Check(false, [done = std::move(done)](bool) { done(); });
}

void LoadedWorldCheck::NoteUnasked() {
  const LoadedWorldFacts facts = wiring_.worlds.LookAtLoadedWorld();
  switch (DecideWorldQuestion(facts, kept_, true)) {
    case WorldQuestion::None:
      return;
    case WorldQuestion::StartWithMissingWorld:
      wiring_.log.Record("开服设置指定的存档 " + facts.worldId +
                         " 不存在 - 无人值守的启动不询问, 服务端将新建世界");
      return;
    case WorldQuestion::DisableWorldOption:
      wiring_.log.Record(
          "存档 " + facts.worldId +
          " 带有 WorldOption.sav, 其设置将覆盖 PalWorldSettings.ini - 无人值守的启动不询问, "
          "文件保持原样");
      return;
  }
}

std::string LoadedWorldCheck::LoadedWorldId() {
  return wiring_.worlds.LookAtLoadedWorld().worldId;
}

// While the backup point is made the window goes on, so the world settings label or the start
// button may come here again meanwhile. The check under way already has the user's answer; a
// start now would launch the server on the save the point is copying.
void LoadedWorldCheck::Check(bool beforeStart, Done done) {
  if (checking_) {
    done(false);
    return;
  }
  checking_ = true;
  Ask(beforeStart, [this, done = std::move(done)](bool goOn) {
    checking_ = false;
    done(goOn);
  });
}

void LoadedWorldCheck::Ask(bool beforeStart, Done done) {
  const LoadedWorldFacts facts = wiring_.worlds.LookAtLoadedWorld();
  switch (DecideWorldQuestion(facts, kept_, beforeStart)) {
    case WorldQuestion::None:
      done(true);
      return;
    case WorldQuestion::StartWithMissingWorld:
      if (!wiring_.prompt.Confirm(MissingWorldQuestion(facts.worldId, facts.existingWorlds),
                                  kQuestionTitle, PromptStyle::WarningQuestion)) {
        done(false);
        return;
      }
      wiring_.log.Record("开服设置指定的存档 " + facts.worldId +
                         " 不存在, 仍然启动 (服务端将新建世界)");
      done(true);
      return;
    case WorldQuestion::DisableWorldOption:
      AskAboutWorldOption(facts.worldId, std::move(done));
      return;
  }
  done(true);
}

// The point comes first, so the world as it was can always be had back whole.
void LoadedWorldCheck::AskAboutWorldOption(const std::string& worldId, Done done) {
  if (wiring_.prompt.Confirm(kWorldOptionQuestion, kQuestionTitle, PromptStyle::Question)) {
    wiring_.makeBackupPoint([this, worldId, done = std::move(done)](BackupPointResult point) {
      DisableWorldOption(worldId, point);
      done(true);
    });
    return;
  }
  kept_.push_back(worldId);
  wiring_.rememberKept(kept_);
  wiring_.log.Record("存档 " + worldId + " 的 WorldOption.sav 按用户选择保留, 不再询问");
  done(true);
}

void LoadedWorldCheck::DisableWorldOption(const std::string& worldId, BackupPointResult point) {
  if (point == BackupPointResult::Failed) {
    wiring_.prompt.Ask(kWorldOptionPointFailedMessage, kErrorTitle, PromptStyle::Error);
    return;
  }
  SavedWorlds& worlds = wiring_.worlds;
  // The point took a while with the windows going on; the file may have been moved meanwhile.
  if (!worlds.WorldHolds(worldId, kWorldOptionFileName)) return;
  const std::string target =
      FreeDisabledName([&](const std::string& name) { return worlds.WorldHolds(worldId, name); });
  if (!worlds.RenameInWorld(worldId, kWorldOptionFileName, target)) {
    wiring_.log.Record("存档 " + worldId + " 的 WorldOption.sav 改名失败, 文件保持原样");
    wiring_.prompt.Ask(kWorldOptionRenameFailedMessage, kErrorTitle, PromptStyle::Error);
    return;
  }
  wiring_.log.Record("存档 " + worldId + " 的 WorldOption.sav 已改名为 " + target +
                     " (改名前已创建备份点)");
}

}  // namespace tidemoor
