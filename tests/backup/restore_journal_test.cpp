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
    disk.AddFile(kJournal, JournalText({"1705986309", kLive, c.setAside, c.step}));
    c.leftBehind(disk);

    const RestoreRepair repair = RepairInterruptedRestore(disk, kJournal);
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
  EXPECT_EQ(RepairInterruptedRestore(disk, kJournal).outcome, Outcome::None);
  disk.AddFile(kJournal, "Point=17059");
  const RestoreRepair repair = RepairInterruptedRestore(disk, kJournal);
  EXPECT_EQ(repair.outcome, Outcome::Stranded);
  EXPECT_NE(repair.message.find("Saved_BeforeRevert"), std::string::npos);
  EXPECT_FALSE(disk.Exists(kJournal));
}

}  // namespace
}  // namespace tidemoor
