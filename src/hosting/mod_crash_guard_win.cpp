#include "hosting/mod_crash_guard_win.h"

#include "mods/mod_crash_memory.h"
#include "mods/mods_on_disk_win.h"
#include "mods/mod_paths.h"
#include "platform/text.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

constexpr char kModCrashTitle[] = " Quiz";
constexpr char kGoBackFailedTitle[] = " Error";

// The mods the server loads with the file as it is now: none when mods are switched off.
std::optional<std::vector<std::string>> LoadedMods(const ServerPaths& paths) {
  const std::optional<ModSettings> settings = ReadModsOnDisk(paths, {}).settings;
  if (!settings) return std::nullopt;
  return settings->enabled ? settings->activeMods : std::vector<std::string>{};
}

std::optional<std::vector<std::string>> LastGoodMods(const ServerPaths& paths) {
  const WholeFile file = ReadWholeFile(LastGoodModsFile(paths));
  if (file.state != FileState::Read) return std::nullopt;
  return ReadLastGoodMods(file.bytes);
}

}  // namespace

std::string ModCrashQuestion(const std::vector<std::string>& switchedOn,
                             std::string_view crashReason) {
  std::string text = " 服务端在模组变更后崩溃 - 是否停用新启用的模组 (" +
                     JoinTexts(switchedOn, ", ") + ") 并重新启动? ";
  if (!crashReason.empty()) text += "\r\n " + std::string(crashReason) + " ";
  return text;
}

void ModCrashGuard::OnLaunched() {
  previous_ = std::move(current_);
  current_ = LoadedMods(wiring_.paths);
  if (!current_) return;
  if (!previous_ || !SameModLists(*previous_, *current_)) {
    changedAt_ = wiring_.clock.MonotonicMilliseconds();
  }
  proving_.After(kModsProvenAfter, [this] { Prove(); });
}

void ModCrashGuard::Prove() {
  if (!current_) return;
  const Outcome kept =
      ReplaceWholeFile(LastGoodModsFile(wiring_.paths), LastGoodModsText(*current_));
  if (!kept) {
    wiring_.log.Record(WithCause("无法记下运行正常的模组列表", kept.Error()));
  }
}

void ModCrashGuard::OnCrashed(std::string_view text) {
  proving_.Cancel();
  if (!current_ || asking_) return;
  const std::chrono::seconds ranFor{(wiring_.clock.MonotonicMilliseconds() - changedAt_) / 1000};
  const ModCrashVerdict verdict =
      JudgeCrashAfterModChange(LastGoodMods(wiring_.paths), *current_, ranFor, true);
  // Only mods switched on can be switched off again; a crash after mods went away is no mod's.
  if (!verdict.ask || verdict.switchedOn.empty()) return;
  wiring_.log.Record("服务端在模组变更后崩溃 - 变更后新启用的模组: " +
                     JoinTexts(verdict.switchedOn, ", "));
  const size_t reasonAt = text.find("崩溃原因: ");
  asking_ = true;
  wiring_.prompt.AskInTurn(
      ModCrashQuestion(verdict.switchedOn,
                       reasonAt == std::string_view::npos ? "" : text.substr(reasonAt)),
      kModCrashTitle, PromptStyle::WarningQuestion, [this](PromptAnswer answer) {
        asking_ = false;
        if (answer == PromptAnswer::Yes) GoBack();
      });
}

// The remembered mods go back into the server's settings; the server starts with them.
void ModCrashGuard::GoBack() {
  const std::optional<std::vector<std::string>> lastGood = LastGoodMods(wiring_.paths);
  const std::string file = ModSettingsFile(wiring_.paths);
  const WholeFile now = ReadWholeFile(file);
  std::optional<ModSettings> settings =
      now.state == FileState::Read ? ReadModSettings(now.bytes) : std::nullopt;
  std::optional<std::string> bytes;
  if (lastGood && settings) {
    settings->activeMods = *lastGood;
    bytes = WriteModSettings(std::string_view(now.bytes), *settings);
  }
  const Outcome written = bytes ? ReplaceWholeFile(file, *bytes) : Outcome{};
  if (!bytes || !written) {
    const std::string failure =
        bytes ? WithCause("无法恢复模组列表: 写入 " + file + " 失败", written.Error())
              : "无法恢复模组列表: " + file + " 无法读取";
    wiring_.log.Record(failure);
    wiring_.prompt.TellInTurn(" " + failure + " ", kGoBackFailedTitle, PromptStyle::Error);
    return;
  }
  wiring_.log.Record("已恢复上次运行正常的模组列表: " +
                     (lastGood->empty() ? std::string("无") : JoinTexts(*lastGood, ", ")));
  if (wiring_.server.State() == ServerState::Running) {
    wiring_.server.Restart();
  } else if (wiring_.server.State() == ServerState::Stopped) {
    wiring_.server.Toggle();
  }
}

void ModCrashGuard::Cancel() {
  proving_.Cancel();
}

}  // namespace tidemoor
