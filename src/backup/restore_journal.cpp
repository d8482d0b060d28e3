#include "backup/restore_journal.h"

#include <algorithm>
#include <array>

#include "common/server_paths.h"
#include "platform/text.h"

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

bool IsAbsolute(std::string_view path) {
  return path.starts_with('\\') || (path.size() >= 2 && path[1] == ':');
}

// Windows compares folder names without case.
bool IsBelow(std::string_view path, std::string_view directory) {
  return path.size() > directory.size() + 1 && path[directory.size()] == '\\' &&
         EqualsIgnoringCase(path.substr(0, directory.size()), directory);
}

std::string RelativeToTool(const std::string& path, std::string_view toolDirectory) {
  return IsBelow(path, toolDirectory) ? path.substr(toolDirectory.size() + 1) : path;
}

std::string BelowTool(const std::string& stored, std::string_view toolDirectory) {
  if (stored.empty() || IsAbsolute(stored)) return stored;
  return std::string(toolDirectory) + "\\" + stored;
}

// "<save>_BeforeRevert", or that with a number after it.
bool IsSetAsideOf(std::string_view path, std::string_view saveDataDir) {
  const std::string base = std::string(saveDataDir) + kSetAsideSuffix;
  if (path.size() < base.size() || !EqualsIgnoringCase(path.substr(0, base.size()), base)) {
    return false;
  }
  const std::string_view number = path.substr(base.size());
  return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A note that is not acted on is never deleted either: the user may need what it says.
struct KeptNote {
  std::string name;
  Outcome renamed;
};

KeptNote KeepNoteAside(BackupFiles& files, const std::string& journalFile) {
  KeptNote kept{journalFile + ".refused", {}};
  for (int n = 2; files.Exists(kept.name); ++n) {
    kept.name = journalFile + ".refused." + std::to_string(n);
  }
  kept.renamed = files.Rename(journalFile, kept.name);
  return kept;
}

std::string KeptLogText(const KeptNote& kept) {
  return kept.renamed ? ", 记录已改名为 " + kept.name
                      : WithCause(", 记录未能改名", kept.renamed.Error());
}

RestoreRepair Refused(BackupFiles& files, const std::string& journalFile,
                      const RestoreJournal& journal) {
  const KeptNote kept = KeepNoteAside(files, journalFile);
  return {RestoreRepair::Outcome::Refused,
          "上次还原存档的记录 " + journalFile +
              " 所指的文件夹不是本工具的存档 (Save=" + journal.save +
              ", SetAside=" + journal.setAside + "), 未做任何处理" + KeptLogText(kept),
          " 上次还原存档的记录所指的文件夹不是本工具的存档 - 未做任何处理 \r\n 记录保留为 " +
              (kept.renamed ? kept.name : journalFile) + " "};
}

}  // namespace

std::string RestoreJournalFile(std::string_view toolDirectory) {
  return MakeServerPaths(toolDirectory).DataDir + kRestoreJournalName;
}

std::string JournalText(const RestoreJournal& journal, std::string_view toolDirectory) {
  return std::string(kPointKey) + "=" + journal.point + "\r\n" + kSaveKey + "=" +
         RelativeToTool(journal.save, toolDirectory) + "\r\n" + kSetAsideKey + "=" +
         RelativeToTool(journal.setAside, toolDirectory) + "\r\n" + kStepKey + "=" +
         std::string(StepText(journal.step)) + "\r\n";
}

std::optional<RestoreJournal> ParseJournal(std::string_view text, std::string_view toolDirectory) {
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
  if (*values[3] != "Copy" && *values[3] != "Discard") return std::nullopt;
  return RestoreJournal{*values[0], BelowTool(*values[1], toolDirectory),
                        BelowTool(*values[2], toolDirectory),
                        *values[3] == "Discard" ? RestoreStep::Discard : RestoreStep::Copy};
}

bool JournalNamesThisSave(const RestoreJournal& journal, std::string_view saveDataDir) {
  return !journal.save.empty() && EqualsIgnoringCase(journal.save, saveDataDir) &&
         (journal.setAside.empty() || IsSetAsideOf(journal.setAside, saveDataDir));
}

RestoreRepair RepairInterruptedRestore(BackupFiles& files, std::string_view toolDirectory,
                                       std::string_view saveDataDir) {
  using Outcome = RestoreRepair::Outcome;
  const std::string journalFile = RestoreJournalFile(toolDirectory);
  const std::optional<std::string> text = files.ReadTextFile(journalFile);
  if (!text) return {};
  std::optional<RestoreJournal> journal = ParseJournal(*text, toolDirectory);
  if (!journal) {
    const KeptNote kept = KeepNoteAside(files, journalFile);
    return {Outcome::Stranded,
            "上次还原存档未完成, 其记录 " + journalFile + " 无法读取" + KeptLogText(kept),
            " 上次还原存档未完成, 其记录无法读取 \r\n 请检查服务端的 Pal\\Saved 文件夹及其旁边以 "
            "Saved_BeforeRevert 开头的文件夹 (原存档) "};
  }
  if (!JournalNamesThisSave(*journal, saveDataDir)) return Refused(files, journalFile, *journal);
  // Spelled as the tool spells its own save, whatever letter case the note has.
  journal->save = saveDataDir;
  if (!journal->setAside.empty()) {
    journal->setAside = std::string(saveDataDir) + journal->setAside.substr(saveDataDir.size());
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
