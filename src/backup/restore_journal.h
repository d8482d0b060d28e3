#pragma once
// A restore moves the live save aside, copies a point in its place and then deletes what it set
// aside. A tool killed or a machine losing power in between would leave a half-copied save where
// the server looks for its world. The restore therefore notes in a small file what it is doing
// before it moves anything, and removes the note after its last step; at the next start a note
// left behind is carried through to a whole save before anything else runs.

#include <optional>
#include <string>
#include <string_view>

#include "backup/backup_files.h"

namespace tidemoor {

inline constexpr char kRestoreJournalName[] = "Restore.journal";

// The note's place: PaLWorld_Data below the tool directory.
std::string RestoreJournalFile(std::string_view toolDirectory);

enum class RestoreStep {
  Copy,     // the live save may be set aside and the point's copy is being made
  Discard,  // the copy is whole; what was set aside is being deleted
};

struct RestoreJournal {
  std::string point;     // the point being restored
  std::string save;      // the live save (Pal\Saved)
  std::string setAside;  // where the live save was moved; empty when there was none
  RestoreStep step = RestoreStep::Copy;

  bool operator==(const RestoreJournal&) const = default;
};

// A few key=value lines, one a line.
std::string JournalText(const RestoreJournal& journal);
// None when a key is missing or a value cannot be read.
std::optional<RestoreJournal> ParseJournal(std::string_view text);

struct RestoreRepair {
  enum class Outcome {
    None,      // no restore was interrupted
    PutBack,   // the set-aside save is the live save again
    Finished,  // the restore had copied everything; what was left of the old save went
    Stranded,  // the save could not be put back: the message says where everything is
  };
  Outcome outcome = Outcome::None;
  std::string logLine;  // for the event log
  std::string message;  // for the user; empty when there is nothing to tell
};

// Carries an interrupted restore through, as the note says it stood. The note stays only when the
// save could not be put back, so the next start tries again.
RestoreRepair RepairInterruptedRestore(BackupFiles& files, const std::string& journalFile);

}  // namespace tidemoor
