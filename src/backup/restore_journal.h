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
// The live save is set aside beside itself under its name with this after it (and 2, 3... when
// that name is taken).
inline constexpr char kSetAsideSuffix[] = "_BeforeRevert";

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

// A few key=value lines, one a line. The two folders are written relative to the tool directory,
// so a tool folder copied or moved while a note is pending never acts on the folder it came from.
std::string JournalText(const RestoreJournal& journal, std::string_view toolDirectory);
// None when a key is missing or a value cannot be read. A relative folder is taken below the tool
// directory; an absolute one (as earlier versions wrote them) is taken as it is.
std::optional<RestoreJournal> ParseJournal(std::string_view text, std::string_view toolDirectory);

// Whether the note names nothing but this tool's save (saveDataDir) and a folder beside it that a
// restore sets the save aside in. Anything else (another folder of the user's, a backup point, the
// save of the folder this one was copied from) must never be deleted or moved by a repair.
bool JournalNamesThisSave(const RestoreJournal& journal, std::string_view saveDataDir);

struct RestoreRepair {
  enum class Outcome {
    None,      // no restore was interrupted
    PutBack,   // the set-aside save is the live save again
    Finished,  // the restore had copied everything; what was left of the old save went
    Stranded,  // the save could not be put back, or the note could not be read: the message says
               // where everything is
    Refused,   // the note names other folders than this tool's save: nothing was touched
  };
  Outcome outcome = Outcome::None;
  std::string logLine;  // for the event log
  std::string message;  // for the user; empty when there is nothing to tell
};

// Carries an interrupted restore through, as the note says it stood. The note stays only when the
// save could not be put back, so the next start tries again. A note that cannot be read or names
// anything but this tool's save is acted on in no way: it is kept beside under another name
// (Restore.journal.refused, never deleted), for the user to look at.
RestoreRepair RepairInterruptedRestore(BackupFiles& files, std::string_view toolDirectory,
                                       std::string_view saveDataDir);

}  // namespace tidemoor
