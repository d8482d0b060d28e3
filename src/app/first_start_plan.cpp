#include "app/first_start_plan.h"

#include <utility>

namespace tidemoor {

StepResult StepDone() {
  return {};
}

StepResult StepFailed(std::string why) {
  return {StepResult::Kind::Failed, std::move(why)};
}

StepResult StepSkipped(std::string why) {
  return {StepResult::Kind::Skipped, std::move(why)};
}

std::string_view ResultWord(StepResult::Kind kind) {
  switch (kind) {
    case StepResult::Kind::Done:
      return "完成";
    case StepResult::Kind::Failed:
      return "失败";
    case StepResult::Kind::Skipped:
      break;
  }
  return "跳过";
}

std::string ResultText(const StepResult& result) {
  std::string text(ResultWord(result.kind));
  if (result.kind != StepResult::Kind::Done) text += ": " + result.why;
  return text;
}

std::optional<std::string> SkipReason(GuideStep step, const GuideFacts& facts) {
  if (step == GuideStep::Start) {
    if (facts.serverRunning) return "服务端已在运行";
    if (facts.serverInstalled) return std::nullopt;
    if (facts.install && facts.install->kind == StepResult::Kind::Failed) {
      return "服务端未安装 (安装失败)";
    }
    return "服务端未安装";
  }
  if (!facts.ticked[static_cast<size_t>(step)]) return "未勾选";
  // SteamCMD cannot replace the files of a server that runs.
  if (step == GuideStep::Install && facts.serverRunning) return "服务端正在运行";
  return std::nullopt;
}

std::string AboutGb(uint64_t bytes) {
  return "约 " + std::to_string((bytes + kGiB - 1) / kGiB) + " GB";
}

std::string InstallCaption(std::optional<uint64_t> serverBytes) {
  if (!serverBytes) return "安装游戏服务端";
  return "安装游戏服务端 (" + AboutGb(*serverBytes) + ")";
}

std::optional<std::string> FreeSpaceShortfall(std::optional<uint64_t> serverBytes,
                                              std::optional<uint64_t> freeBytes) {
  const uint64_t needed = serverBytes.value_or(kServerSizeWhenUnknown) + kFreeSpaceMargin;
  if (!freeBytes || *freeBytes >= needed) return std::nullopt;
  return "磁盘空间不足 - 服务端需要" + AboutGb(needed);
}

}  // namespace tidemoor
