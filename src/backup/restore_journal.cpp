#include "backup/restore_journal.h"

#include <array>

#include "common/server_paths.h"

namespace tidemoor {
namespace {

constexpr char kPointKey[] = "Point";
constexpr char kSaveKey[] = "Save";
constexpr char kSetAsideKey[] = "SetAside";
constexpr char kStepKey[] = "Step";

std::string_view StepText(RestoreStep step) {
  return step == RestoreStep::Discard ? "Discard" : "Copy";
}

std::string StrandedMessage(const RestoreJournal& journal) {
  return " 上次还原存档未完成, 且无法自动恢复原存档 \r\n 原存档: " + journal.setAside +
         " \r\n 未完成的还原: " + journal.save +
         " \r\n 请关闭占用这些文件夹的程序后重新打开本工具, 或手动将原存档改名放回 ";
}

}  // namespace

std::string RestoreJournalFile(std::string_view toolDirectory) {
  return MakeServerPaths(toolDirectory).DataDir + kRestoreJournalName;
}

std::string JournalText(const RestoreJournal& journal) {
  return std::string(kPointKey) + "=" + journal.point + "\r\n" + kSaveKey + "=" + journal.save +
         "\r\n" + kSetAsideKey + "=" + journal.setAside + "\r\n" + kStepKey + "=" +
         std::string(StepText(journal.step)) + "\r\n";
}

std::optional<RestoreJournal> ParseJournal(std::string_view text) {
  std::array<std::optional<std::string>, 4> values;
  constexpr std::array<std::string_view, 4> keys = {kPointKey, kSaveKey, kSetAsideKey, kStepKey};
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const size_t equals = line.find('=');
    for (size_t k = 0; k < keys.size() && equals != std::string_view::npos; ++k) {
      if (line.substr(0, equals) == keys[k]) values[k] = std::string(line.substr(equals + 1));
    }
  }
  for (const auto& value : values) {
    if (!value) return std::nullopt;
  }
  if (values[1]->empty() || (*values[3] != "Copy" && *values[3] != "Discard")) return std::nullopt;
  return RestoreJournal{*values[0], *values[1], *values[2],
                        *values[3] == "Discard" ? RestoreStep::Discard : RestoreStep::Copy};
}

RestoreRepair RepairInterruptedRestore(BackupFiles& files, const std::string& journalFile) {
  using Outcome = RestoreRepair::Outcome;
  const std::optional<std::string> text = files.ReadTextFile(journalFile);
  if (!text) return {};
  const std::optional<RestoreJournal> journal = ParseJournal(*text);
  if (!journal) {
    files.DeleteOneFile(journalFile);
    return {Outcome::Stranded, "上次还原存档未完成, 其记录 " + journalFile + " 无法读取",
            " 上次还原存档未完成, 其记录无法读取 \r\n 请检查服务端的 Pal\\Saved 文件夹及其旁边以 "
            "Saved_BeforeRevert 开头的文件夹 (原存档) "};
  }
  const std::string about = "上次还原备份点 " + journal->point + " 被中断: ";
  const bool setAsideThere = !journal->setAside.empty() && files.Exists(journal->setAside);
  RestoreRepair repair;
  if (journal->step == RestoreStep::Discard) {
    // The copy was whole: the save in place is the restored one.
    const bool gone = !setAsideThere || files.DeleteTree(journal->setAside);
    repair = {Outcome::Finished,
              about + "还原已完成" + (gone ? "" : ", 未能删除剩余的原存档 " + journal->setAside),
              ""};
  } else if (journal->setAside.empty() || setAsideThere) {
    // What is in place is a cut-off copy of a point that still exists.
    const bool cleared = !files.Exists(journal->save) || files.DeleteTree(journal->save);
    if (!cleared || (setAsideThere && !files.Rename(journal->setAside, journal->save))) {
      return {Outcome::Stranded,
              about + "未能放回原存档, 原存档在 " + journal->setAside + ", 未完成的还原在 " +
                  journal->save,
              StrandedMessage(*journal)};
    }
    repair = {Outcome::PutBack, about + "已删除未完成的还原并放回原存档", ""};
  } else {
    // Cut off before the save was moved, or after it was put back: it is whole where it is.
    repair = {Outcome::PutBack, about + "原存档未被移动", ""};
  }
  files.DeleteOneFile(journalFile);
  return repair;
}

}  // namespace tidemoor
