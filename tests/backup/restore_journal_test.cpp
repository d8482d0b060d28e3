#include "backup/restore_journal.h"

#include <gtest/gtest.h>

#include <functional>

#include "backup/fake_backup_disk.h"

namespace tidemoor {
namespace {

using Outcome = RestoreRepair::Outcome;

constexpr char kTool[] = "D:\\Host";
constexpr char kJournal[] = "D:\\Host\\PaLWorld_Data\\Restore.journal";
constexpr char kLive[] = "D:\\Host\\PaLWorld_Data\\Pal\\Saved";
constexpr char kAside[] = "D:\\Host\\PaLWorld_Data\\Pal\\Saved_BeforeRevert";

// What a tool killed at each step of a restore leaves, and what the next start makes of it.
TEST(RestoreJournal, AnInterruptedRestoreEndsWithOneWholeSaveInPlace) {
  const std::string original = "original world";
  const std::string restored = "restored world";
  const auto live = [](const std::string& relative) {
    return std::string(kLive) + "\\SaveGames\\0\\" + relative;
  };
  const auto aside = [](const std::string& relative) {
    return std::string(kAside) + "\\SaveGames\\0\\" + relative;
  };
  const struct {
    const char* why;
    RestoreStep step;
    std::string setAside;
    std::function<void(testing::FakeBackupDisk&)> leftBehind;
    Outcome outcome;
    std::string liveWorld;  // empty: no live save
    bool journalStays;
  } cases[] = {
      {"killed while copying: the half copy goes, the save comes back", RestoreStep::Copy, kAside,
       [&](auto& disk) {
         disk.AddFile(aside("Level.sav"), original);
         disk.AddFile(live("Players\\1.sav"), "half");
       },
       Outcome::PutBack, original, false},
      {"killed after the move, before the copy", RestoreStep::Copy, kAside,
       [&](auto& disk) { disk.AddFile(aside("Level.sav"), original); }, Outcome::PutBack, original,
       false},
      {"killed before the move: nothing to do", RestoreStep::Copy, kAside,
       [&](auto& disk) { disk.AddFile(live("Level.sav"), original); }, Outcome::PutBack, original,
       false},
      {"no save before the restore: the half copy goes", RestoreStep::Copy, "",
       [&](auto& disk) { disk.AddFile(live("Level.sav"), "half"); }, Outcome::PutBack, "", false},
      {"killed while deleting the old save: the restore stands", RestoreStep::Discard, kAside,
       [&](auto& disk) {
         disk.AddFile(live("Level.sav"), restored);
         disk.AddFile(aside("Players\\1.sav"), "left of the old save");
       },
       Outcome::Finished, restored, false},
      {"the half copy is held open: everything stays, the note too", RestoreStep::Copy, kAside,
       [&](auto& disk) {
         disk.AddFile(aside("Level.sav"), original);
         disk.AddFile(live("Level.sav"), "half");
         disk.heldOpen.insert(live("Level.sav"));
       },
       Outcome::Stranded, "half", true},
  };
  for (const auto& c : cases) {
    testing::FakeBackupDisk disk;
    disk.EnsureDirectory("D:\\Host\\PaLWorld_Data\\Pal");
    disk.AddFile(kJournal, JournalText({"1705986309", kLive, c.setAside, c.step}, kTool));
    c.leftBehind(disk);

    const RestoreRepair repair = RepairInterruptedRestore(disk, kTool, kLive);
    EXPECT_EQ(repair.outcome, c.outcome) << c.why;
    EXPECT_EQ(disk.Bytes(live("Level.sav")), c.liveWorld) << c.why;
    EXPECT_EQ(disk.Exists(kLive), !c.liveWorld.empty()) << c.why;
    EXPECT_EQ(disk.Exists(kAside), c.outcome == Outcome::Stranded) << c.why;
    EXPECT_EQ(disk.Exists(kJournal), c.journalStays) << c.why;
    EXPECT_TRUE(repair.logLine.starts_with("上次还原备份点 1705986309 被中断: ")) << c.why;
    if (c.outcome == Outcome::Stranded) {
      EXPECT_NE(repair.message.find(kAside), std::string::npos) << c.why;
      EXPECT_NE(repair.message.find(std::string(kLive) + " "), std::string::npos) << c.why;
    } else {
      EXPECT_EQ(repair.message, "") << c.why;
    }
  }
}

TEST(RestoreJournal, ANoteThatCannotBeReadSaysWhereToLookAndGoes) {
  testing::FakeBackupDisk disk;
  EXPECT_EQ(RepairInterruptedRestore(disk, kTool, kLive).outcome, Outcome::None);
  disk.AddFile(kJournal, "Point=17059");
  const RestoreRepair repair = RepairInterruptedRestore(disk, kTool, kLive);
  EXPECT_EQ(repair.outcome, Outcome::Stranded);
  EXPECT_NE(repair.message.find("Saved_BeforeRevert"), std::string::npos);
  EXPECT_FALSE(disk.Exists(kJournal));
  EXPECT_EQ(disk.Bytes(std::string(kJournal) + ".refused"), "Point=17059") << "kept, never deleted";
}

// The note is written relative to the tool folder. A repair acts only on this tool's save and the
// folder a restore set it aside in; a note naming anything else (by accident, by hand, or left by
// the folder this one was copied from) is kept aside under another name and nothing is touched.
TEST(RestoreJournal, ANoteNamingAnyOtherFolderIsKeptAsideAndNeverActedOn) {
  const std::string documents = "C:\\Users\\Ann\\Documents";
  const std::string point = "D:\\Host\\PaLWorld_Saved_Backups\\1705986309\\Saved";
  const std::string oldTool = "E:\\OldHost\\PaLWorld_Data\\Pal\\Saved";
  const auto note = [](const std::string& save, const std::string& aside, const char* step) {
    return "Point=1705986309\r\nSave=" + save + "\r\nSetAside=" + aside + "\r\nStep=" + step +
           "\r\n";
  };
  const struct {
    const char* why;
    std::string text;
    std::string untouched;  // a folder that must keep its file; empty when the repair may act
  } cases[] = {
      {"the user's documents as the save", note(documents, "", "Copy"), documents},
      {"a backup point as the save", note(point, kAside, "Copy"), point},
      {"a backup point as what was set aside", note(kLive, point, "Discard"), point},
      {"the save of the folder this one was copied from", note(oldTool, "", "Copy"), oldTool},
      {"an empty save", note("", "", "Copy"), kLive},
      {"out of the tool folder by ..", note("PaLWorld_Data\\Pal\\..\\..\\..\\Users", "", "Copy"),
       kLive},
      {"a sibling that is not a set-aside save",
       note(kLive, std::string(kLive) + "_Other", "Discard"), std::string(kLive) + "_Other"},
      {"written relative to this tool folder", note("PaLWorld_Data\\Pal\\Saved", "", "Copy"), ""},
      {"an earlier version's absolute paths, in other letter case",
       note("d:\\host\\palworld_data\\pal\\saved", "", "Copy"), ""},
  };
  for (const auto& c : cases) {
    testing::FakeBackupDisk disk;
    for (const std::string& folder :
         {documents, point, oldTool, std::string(kLive), std::string(kLive) + "_Other"}) {
      disk.AddFile(folder + "\\Level.sav", "keep");
    }
    disk.AddFile(std::string(kJournal) + ".refused", "an earlier refused note");
    disk.AddFile(kJournal, c.text);

    const RestoreRepair repair = RepairInterruptedRestore(disk, kTool, kLive);
    EXPECT_FALSE(disk.Exists(kJournal)) << c.why;
    EXPECT_EQ(disk.Bytes(std::string(kJournal) + ".refused"), "an earlier refused note") << c.why;
    if (c.untouched.empty()) {
      EXPECT_EQ(repair.outcome, Outcome::PutBack) << c.why;
      EXPECT_FALSE(disk.Exists(kLive)) << c.why << ": the cut-off copy goes";
      continue;
    }
    EXPECT_EQ(repair.outcome, Outcome::Refused) << c.why;
    EXPECT_EQ(disk.Bytes(c.untouched + "\\Level.sav"), "keep") << c.why;
    EXPECT_EQ(disk.Bytes(std::string(kJournal) + ".refused.2"), c.text) << c.why;
    EXPECT_NE(repair.message.find(std::string(kJournal) + ".refused.2"), std::string::npos)
        << c.why;
    EXPECT_NE(repair.logLine.find("未做任何处理"), std::string::npos) << c.why;
  }
}

TEST(RestoreJournal, TheFoldersAreWrittenRelativeToTheToolFolder) {
  const RestoreJournal journal{"1705986309", kLive, std::string(kAside) + "2", RestoreStep::Copy};
  const std::string text = JournalText(journal, kTool);
  EXPECT_EQ(text,
            "Point=1705986309\r\nSave=PaLWorld_Data\\Pal\\Saved\r\n"
            "SetAside=PaLWorld_Data\\Pal\\Saved_BeforeRevert2\r\nStep=Copy\r\n");
  EXPECT_EQ(ParseJournal(text, kTool), journal);
  EXPECT_TRUE(JournalNamesThisSave(journal, kLive));
}

}  // namespace
}  // namespace tidemoor
