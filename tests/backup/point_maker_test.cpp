#include "backup/point_maker.h"

#include <gtest/gtest.h>

#include <set>

#include "backup/fake_backup_disk.h"
#include "backup/retention.h"

namespace tidemoor {
namespace {

constexpr char kTool[] = "D:\\Host";
constexpr char kLive[] = "D:\\Host\\Pal\\Saved";
constexpr char kRoot[] = "D:\\Host\\PaLWorld_Saved_Backups\\";

using testing::FakeBackupDisk;

std::vector<std::string> Paths(const TreeListing& listing) {
  std::vector<std::string> paths;
  for (const TreeEntry& entry : listing.entries) paths.push_back(entry.path);
  return paths;
}

// A save as the server leaves it: the world, a player and one of the game's own snapshots.
void AddSave(FakeBackupDisk& disk) {
  disk.AddFile(std::string(kLive) + "\\Level.sav", "world v1", 100);
  disk.AddFile(std::string(kLive) + "\\Players\\A.sav", "player A v1", 100);
  disk.AddFile(std::string(kLive) + "\\backup\\2024.01.23\\Level.sav", "snapshot", 50);
}

// What the backup root holds, points and unfinished ones, in name order.
std::vector<std::string> PointsOn(FakeBackupDisk& disk) {
  std::vector<DirectoryEntry> entries;
  disk.ListDirectory(std::string(kRoot).substr(0, std::string(kRoot).size() - 1), entries);
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

class PointMaker : public ::testing::Test {
 protected:
  void SetUp() override { AddSave(disk); }
  static std::string Live(const std::string& relative) {
    return std::string(kLive) + "\\" + relative;
  }
  static std::string In(const std::string& point, const std::string& relative) {
    return kRoot + point + "\\Saved\\" + relative;
  }
  PointReport Make(PointKind kind = PointKind::Manual, BackupRetention retention = {},
                   const FileProgress& progress = {}) {
    return MakeBackupPoint(disk, {kTool, kLive, kind, retention}, progress);
  }
  // Each point a second later than the one before.
  PointReport MakeAt(int second, PointKind kind = PointKind::Automatic,
                     BackupRetention retention = {}) {
    disk.clock = {LocalDateTime{2024, 1, 23, 13, 5, second, 0}};
    return Make(kind, retention);
  }
  std::vector<std::string> PointsOnDisk() { return PointsOn(disk); }

  FakeBackupDisk disk;
};

TEST_F(PointMaker, TheWalkListsParentsBeforeTheirContentsInNameOrderAndNeverEntersALink) {
  disk.links.insert(Live("Mods"));
  disk.AddFile(Live("Players\\0.sav"), "player 0");
  const TreeListing listing = WalkTree(disk, kLive);
  ASSERT_TRUE(listing.complete);
  EXPECT_EQ(Paths(listing), (std::vector<std::string>{
                                "Level.sav", "Mods", "Players", "Players\\0.sav", "Players\\A.sav",
                                "backup", "backup\\2024.01.23", "backup\\2024.01.23\\Level.sav"}));
  EXPECT_EQ(listing.entries[1].kind, EntryKind::Link);
  EXPECT_EQ(listing.entries[0].size, 8u);
  EXPECT_EQ(listing.entries[0].lastWrite, 100u);

  EXPECT_TRUE(WalkTree(disk, "D:\\Host\\Nowhere").complete) << "no save yet is an empty save";
  disk.unreadable.insert(Live("Players"));
  const TreeListing cut = WalkTree(disk, kLive);
  EXPECT_FALSE(cut.complete);
  EXPECT_EQ(cut.unreadable, Live("Players"));
}

// Hosts move their worlds to another disk with a link; the point reads through one on the way
// down to a world, never one inside a world, one leading back up or one leading nowhere.
TEST(PointThroughLinks, ReadsThroughLinksOnTheWayToTheWorldOnly) {
  const struct {
    std::string link, target;
    std::vector<std::string> skipped;
  } cases[] = {
      {"", "", {}},
      {"E:\\Saves\\0\\W\\Players", "E:\\P", {"SaveGames\\0\\W\\Players"}},
      {"E:\\Saves\\0\\Loop", "E:\\Saves", {"SaveGames\\0\\Loop"}},
      {"E:\\Saves\\1", "", {"SaveGames\\1"}},
  };
  for (const auto& c : cases) {
    FakeBackupDisk disk;
    disk.AddFile("E:\\Saves\\0\\W\\Level.sav", "world");
    disk.EnsureDirectory("E:\\P");
    disk.EnsureDirectory(kLive);
    disk.links = {kLive + std::string("\\SaveGames"), c.link};
    disk.linkTargets = {{kLive + std::string("\\SaveGames"), "E:\\Saves"}, {c.link, c.target}};
    const PointReport report = MakeBackupPoint(disk, {kTool, kLive, PointKind::Manual, {}}, {});
    ASSERT_EQ(report.outcome, PointOutcome::Made) << c.link;
    EXPECT_EQ(disk.Bytes(kRoot + report.folderName + "\\Saved\\SaveGames\\0\\W\\Level.sav"),
              "world");
    EXPECT_EQ(report.skippedLinks, c.skipped) << c.link;
  }
}

TEST(CopyPlanning, SharesOnlyFilesWhosePathSizeAndTimeAllMatch) {
  const std::vector<TreeEntry> earlier = {
      {"Level.sav", EntryKind::File, 10, 100},    {"Same.sav", EntryKind::File, 7, 100},
      {"Grown.sav", EntryKind::File, 7, 100},     {"Touched.sav", EntryKind::File, 7, 100},
      {"Old\\Gone.sav", EntryKind::File, 3, 1},   {"Dir", EntryKind::Directory},
      {"Dir\\Same.sav", EntryKind::File, 7, 100},
  };
  const std::vector<TreeEntry> live = {
      {"Dir", EntryKind::Directory},
      {"Dir\\Same.sav", EntryKind::File, 7, 100},
      {"Grown.sav", EntryKind::File, 9, 100},
      {"Level.sav", EntryKind::File, 10, 100},
      {"Link", EntryKind::Link},
      {"New.sav", EntryKind::File, 5, 100},
      {"Same.sav", EntryKind::File, 7, 100},
      {"Touched.sav", EntryKind::File, 7, 200},
      {"Moved.sav", EntryKind::File, 3, 1},
  };
  const CopyPlan plan = PlanCopy(live, earlier);
  std::vector<CopyAction> actions;
  for (const PlannedEntry& entry : plan.entries) actions.push_back(entry.action);
  using A = CopyAction;
  EXPECT_EQ(actions, (std::vector<A>{A::MakeDirectory, A::Share, A::Copy, A::Share, A::SkipLink,
                                     A::Copy, A::Share, A::Copy, A::Copy}));
  EXPECT_EQ(plan.files, 7);
  EXPECT_EQ(plan.sharedFiles, 3);
  // Only what cannot be shared takes new room: the estimate the disk check uses.
  EXPECT_EQ(plan.bytesToCopy, 9u + 5u + 7u + 3u);

  const CopyPlan first = PlanCopy(live, {});
  EXPECT_EQ(first.sharedFiles, 0);
  EXPECT_EQ(first.bytesToCopy, 7u + 9u + 10u + 5u + 7u + 7u + 3u);
}

TEST_F(PointMaker, TheSecondPointSharesUnchangedFilesAndCopiesChangedOnes) {
  const PointReport first = MakeAt(1);
  ASSERT_EQ(first.outcome, PointOutcome::Made);
  EXPECT_EQ(first.copiedFiles, 3);
  EXPECT_EQ(first.sharedFiles, 0);
  EXPECT_EQ(first.bytesCopied, 8u + 11u + 8u);

  disk.AddFile(Live("Level.sav"), "world v2", 200);  // rewritten in place by the server
  disk.AddFile(Live("backup\\2024.01.24\\Level.sav"), "new snapshot", 200);
  const PointReport second = MakeAt(2);
  ASSERT_EQ(second.outcome, PointOutcome::Made);
  EXPECT_EQ(second.copiedFiles, 2);
  EXPECT_EQ(second.sharedFiles, 2);
  EXPECT_EQ(second.bytesCopied, 8u + 12u);

  const std::string a = first.folderName, b = second.folderName;
  EXPECT_TRUE(disk.SameFile(In(a, "Players\\A.sav"), In(b, "Players\\A.sav")));
  EXPECT_TRUE(disk.SameFile(In(a, "backup\\2024.01.23\\Level.sav"),
                            In(b, "backup\\2024.01.23\\Level.sav")));
  EXPECT_FALSE(disk.SameFile(In(a, "Level.sav"), In(b, "Level.sav")));
  EXPECT_EQ(disk.Bytes(In(b, "Level.sav")), "world v2");
  EXPECT_EQ(disk.Bytes(In(a, "Level.sav")), "world v1");
  // The live save is never shared: the server writes its files in place.
  EXPECT_FALSE(disk.SameFile(Live("Players\\A.sav"), In(b, "Players\\A.sav")));
  // A shared file needs no snapshot: only the changed ones got a second name.
  EXPECT_EQ(std::count_if(disk.log.begin(), disk.log.end(),
                          [](const std::string& line) {
                            return line.starts_with("link " + std::string(kLive));
                          }),
            3 + 2);

  // Deleting the first point takes only its names away; the second keeps every file.
  const auto before = disk.FilesBelow(kRoot + b);
  ASSERT_TRUE(DeleteWholePoint(disk, kTool, a));
  EXPECT_EQ(disk.FilesBelow(kRoot + b), before);
  EXPECT_EQ(disk.Names(In(b, "Players\\A.sav")), 1);
  EXPECT_EQ(PointsOnDisk(), (std::vector<std::string>{b}));
}

// Before the first file is read, each file the point copies gets a second name in a snapshot
// folder of the unfinished point and is read through it: a file the server saves over meanwhile is
// copied as it was, and no live name is held. A file that cannot have one is read where it is.
TEST(PointSnapshot, FilesAreReadFromASnapshotTakenBeforeTheFirstIsRead) {
  const std::string player = std::string(kLive) + "\\Players\\A.sav";
  const struct {
    const char* why;
    bool noHardLinks;
    std::set<std::string> refusing;
    long readLive;
    const char* playerInPoint;
  } cases[] = {
      {"every file has a second name", false, {}, 0, "player A v1"},
      {"a file system without hard links", true, {}, 3, "player A v2"},
      {"one file refuses a second name", false, {player}, 1, "player A v2"},
  };
  for (const auto& c : cases) {
    FakeBackupDisk disk;
    AddSave(disk);
    disk.noHardLinks = c.noHardLinks;
    disk.refusesLinks = c.refusing;
    // The server saves the player over once the world is copied.
    const PointReport report =
        MakeBackupPoint(disk, {kTool, kLive, PointKind::Manual, {}}, [&](int done, int) {
          if (done == 1) {
            disk.AddFile(player, "player A v2", 300);
          }
          return true;
        });
    ASSERT_EQ(report.outcome, PointOutcome::Made) << c.why;
    EXPECT_EQ(std::count_if(disk.log.begin(), disk.log.end(),
                            [](const std::string& line) {
                              return line.starts_with("copy " + std::string(kLive));
                            }),
              c.readLive)
        << c.why;
    EXPECT_EQ(disk.Bytes(kRoot + report.folderName + "\\Saved\\Players\\A.sav"), c.playerInPoint)
        << c.why;
  }
}

// The snapshot holds second names of live files: they go with the copy (a stopped or failed one
// leaves nothing at all), and a point is never finished while one is left.
TEST(PointSnapshot, NoSnapshotOutlivesItsCopy) {
  const struct {
    const char* why;
    const char* heldByServer;
    PointOutcome outcome;
    std::vector<std::string> left;
  } cases[] = {
      {"a point made", "", PointOutcome::Made, {"1705986309"}},
      {"a live file held open without delete sharing",
       "Level.sav",
       PointOutcome::CopyFailed,
       {"1705986309.partial"}},
  };
  for (const auto& c : cases) {
    FakeBackupDisk disk;
    AddSave(disk);
    disk.heldWithoutDeleteSharing.insert(std::string(kLive) + "\\" + c.heldByServer);
    EXPECT_EQ(MakeBackupPoint(disk, {kTool, kLive, PointKind::Manual, {}}, {}).outcome, c.outcome)
        << c.why;
    EXPECT_EQ(PointsOn(disk), c.left) << c.why;
    EXPECT_EQ(disk.Names(std::string(kLive) + "\\Players\\A.sav"), 1) << c.why;
    // What a point held up leaves behind goes at the next start, once the file is let go.
    disk.heldWithoutDeleteSharing.clear();
    RemoveUnfinishedPoints(disk, kTool);
    EXPECT_EQ(disk.Names(std::string(kLive) + "\\Level.sav"), 1) << c.why;
  }
}

TEST_F(PointMaker, AShareThatFailsBecomesACopy) {
  ASSERT_EQ(MakeAt(1).outcome, PointOutcome::Made);
  disk.noHardLinks = true;  // FAT32, exFAT, or a file with too many names already
  const PointReport second = MakeAt(2);
  ASSERT_EQ(second.outcome, PointOutcome::Made);
  EXPECT_EQ(second.copiedFiles, 3);
  EXPECT_EQ(second.sharedFiles, 0);
  EXPECT_EQ(disk.Bytes(In(second.folderName, "Players\\A.sav")), "player A v1");
}

// Files are shared only from a point that is whole: never from one being built, nor from a
// directory whose index holds no time.
TEST_F(PointMaker, SharesFromTheNewestCompletePointOnly) {
  ASSERT_EQ(MakeAt(1).outcome, PointOutcome::Made);
  const std::string complete = PointsOnDisk().back();
  disk.AddFile(kRoot + std::string("1705986400.partial\\Saved\\Level.sav"), "half", 100);
  disk.AddFile(kRoot + std::string("1705986399\\Saved\\Level.sav"), "no index", 100);
  EXPECT_EQ(NewestCompletePoint(disk, kTool), complete);

  const PointReport second = MakeAt(2);
  EXPECT_TRUE(disk.SameFile(In(complete, "Level.sav"), In(second.folderName, "Level.sav")));
  EXPECT_EQ(NewestCompletePoint(disk, kTool), second.folderName);
  EXPECT_EQ(second.folderName, "1705986401") << "named after every stamp there is";
  EXPECT_EQ(NewestCompletePoint(disk, "D:\\Empty"), std::nullopt);
}

// Several points in one second, a clock set back, or retention just now taking the point with
// the current stamp: a new point is always named after every other, so the list and retention,
// which go by name, see the points in the order they were made.
TEST_F(PointMaker, ANewPointIsNamedAfterEveryOther) {
  ASSERT_EQ(MakeAt(9).folderName, "1705986309");
  ASSERT_EQ(MakeAt(9).folderName, "1705986310");
  ASSERT_TRUE(DeleteWholePoint(disk, kTool, "1705986309"));
  EXPECT_EQ(MakeAt(9).folderName, "1705986311");
  EXPECT_EQ(MakeAt(1).folderName, "1705986312") << "the clock was set back";
  EXPECT_EQ(MakeAt(30).folderName, "1705986330");
  disk.EnsureDirectory(kRoot + std::string("old"));  // a name of the user's own is no stamp
  EXPECT_EQ(MakeAt(31).folderName, "1705986331");
}

TEST_F(PointMaker, APointIsBuiltAsideAndFailuresLeaveNothingBehind) {
  disk.clock = {LocalDateTime{2024, 1, 23, 13, 5, 9, 0}};
  // A stamp already taken by an unfinished point is not used either.
  disk.EnsureDirectory(kRoot + std::string("1705986309.partial"));
  const PointReport made = Make();
  ASSERT_EQ(made.outcome, PointOutcome::Made);
  EXPECT_EQ(made.folderName, "1705986310");
  for (const std::string& line : disk.log) {
    if (line.starts_with("copy ")) {
      EXPECT_NE(line.find("\\1705986310.partial\\Saved\\"), std::string::npos) << line;
    }
  }
  EXPECT_EQ(disk.log.back(),
            std::string("rename ") + kRoot + "1705986310.partial -> " + kRoot + "1705986310");
  EXPECT_EQ(disk.ReadIndex(kRoot + std::string("1705986310\\BackUP_Info.Dat")).time,
            "2024年1月23日13时5分9秒");

  const auto failedThen = [&](PointOutcome outcome) {
    const auto before = PointsOnDisk();
    const PointReport report = Make();
    EXPECT_EQ(report.outcome, outcome);
    EXPECT_EQ(PointsOnDisk(), before);
    return report;
  };
  // A changed file must be read; an unchanged one would be shared from the last point instead.
  disk.AddFile(Live("Players\\A.sav"), "player A v2", 300);
  disk.unreadable.insert(Live("Players\\A.sav"));
  EXPECT_EQ(failedThen(PointOutcome::CopyFailed).failedPath, Live("Players\\A.sav"));
  disk.unreadable = {Live("Players")};
  EXPECT_EQ(failedThen(PointOutcome::CopyFailed).failedPath, Live("Players"));
  disk.unreadable.clear();
  disk.indexUnwritable = true;
  failedThen(PointOutcome::IndexFailed);
  disk.indexUnwritable = false;
  disk.unrenamable.insert(kRoot + std::string("1705986311.partial"));
  failedThen(PointOutcome::IndexFailed);
}

TEST_F(PointMaker, AStoppedCopyLeavesNoPoint) {
  int calls = 0;
  const PointReport report = Make(PointKind::Manual, {}, [&](int done, int total) {
    ++calls;
    return !(done == 1 && total == 3);
  });
  EXPECT_EQ(report.outcome, PointOutcome::Stopped);
  EXPECT_TRUE(PointsOnDisk().empty());
  EXPECT_EQ(calls, 3);  // before the walk, before the first file, after it

  const int listings = disk.listings;
  EXPECT_EQ(Make(PointKind::Manual, {}, [](int, int) { return false; }).outcome,
            PointOutcome::Stopped);
  EXPECT_EQ(disk.listings, listings) << "asked to stop before it began, it reads nothing";

  // Folders are not files: the count ends at the save's three files.
  std::pair<int, int> last;
  Make(PointKind::Manual, {}, [&](int done, int total) {
    last = {done, total};
    return true;
  });
  EXPECT_EQ(last, std::make_pair(3, 3));
}

TEST_F(PointMaker, ThePointNeedsItsNewBytesAndOneGibibyteFree) {
  const uint64_t spare = uint64_t{1} << 30;
  EXPECT_TRUE(RoomForPoint(100, spare + 100));
  EXPECT_FALSE(RoomForPoint(100, spare + 99));
  EXPECT_TRUE(RoomForPoint(100, std::nullopt)) << "an unknown free space stops nothing";

  disk.freeBytes = spare + 26;  // one byte short of the first point's 27
  const PointReport refused = Make();
  EXPECT_EQ(refused.outcome, PointOutcome::NoRoom);
  EXPECT_EQ(refused.bytesNeeded, spare + 27);
  EXPECT_EQ(refused.bytesFree, spare + 26);
  EXPECT_TRUE(disk.dirs.count(std::string(kRoot).substr(0, std::string(kRoot).size() - 1)) == 0)
      << "not even the backup root is made";

  disk.freeBytes = spare + 27;
  ASSERT_EQ(MakeAt(1).outcome, PointOutcome::Made);
  // Unchanged files are shared, so the next point needs room only for the world that changed.
  disk.AddFile(Live("Level.sav"), "world v2", 200);
  disk.freeBytes = spare + 8;
  EXPECT_EQ(MakeAt(2).outcome, PointOutcome::Made);
}

TEST_F(PointMaker, UnfinishedPointsAreNeverListedAndGoAtTheNextStart) {
  disk.AddFile(kRoot + std::string("1705986300.partial\\Saved\\Level.sav"), "half");
  disk.AddFile(kRoot + std::string("1705986300.partial\\BackUP_Info.Dat"), "2024年1月23日");
  disk.AddFile(kRoot + std::string("1705986301\\BackUP_Info.Dat"), "2024年1月23日");
  disk.AddFile(kRoot + std::string("notes.partial"), "a file, not a point");

  const std::vector<BackupPoint> listed = ListBackupPoints(
      {"1705986300.partial", "1705986301", "1705986302.PARTIAL"}, [&](const std::string& name) {
        return BackupPointFromIndex(name, disk.ReadIndex(kRoot + name + "\\BackUP_Info.Dat").time);
      });
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].FolderName, "1705986301");

  EXPECT_EQ(RemoveUnfinishedPoints(disk, kTool), (std::vector<std::string>{"1705986300.partial"}));
  EXPECT_EQ(PointsOnDisk(), (std::vector<std::string>{"1705986301", "notes.partial"}));
}

TEST_F(PointMaker, DeletingAPointRenamesItAsideFirst) {
  ASSERT_EQ(MakeAt(1).outcome, PointOutcome::Made);
  const std::string name = PointsOnDisk().back();
  disk.log.clear();
  ASSERT_TRUE(DeleteWholePoint(disk, kTool, name));
  ASSERT_EQ(disk.log.size(), 2u);
  EXPECT_EQ(disk.log[0],
            std::string("rename ") + kRoot + name + " -> " + kRoot + name + ".partial");
  EXPECT_EQ(disk.log[1], std::string("delete ") + kRoot + name + ".partial");

  // Explorer looking into the point keeps it from being renamed: it is deleted where it is.
  ASSERT_EQ(MakeAt(2).outcome, PointOutcome::Made);
  const std::string open = PointsOnDisk().back();
  disk.unrenamable.insert(kRoot + open);
  EXPECT_TRUE(DeleteWholePoint(disk, kTool, open));
  EXPECT_TRUE(PointsOnDisk().empty());
}

TEST(Retention, KeepsTheNewestAutomaticPointsAndEveryManualOne) {
  const LocalDateTime now{2024, 3, 10, 12, 0, 0, 0};
  const auto at = [](int day) { return LocalDateTime{2024, 3, day, 12, 0, 0, 0}; };
  const std::vector<StoredPoint> points = {
      {"1709900000", PointKind::Automatic, at(1)},
      {"1709800000", PointKind::Automatic, at(1)},
      {"1710000000", PointKind::Manual, at(2)},
      {"1710100000", PointKind::Automatic, at(4)},
      {"1710200000", PointKind::Automatic, std::nullopt},
      {"1710300000", PointKind::Automatic, at(9)},
      {"1709000000", PointKind::BeforeRestore, at(1)},
      {"1709100000", PointKind::BeforeMods, at(1)},
  };
  // Ordered by name, as the list shows them; the manual, before-restore and before-mods points
  // never count.
  EXPECT_EQ(ExpiredPoints(points, {2, 0}, now),
            (std::vector<std::string>{"1709800000", "1709900000", "1710100000"}));
  EXPECT_EQ(ExpiredPoints(points, {0, 0}, now), std::vector<std::string>{});
  EXPECT_EQ(ExpiredPoints(points, {9, 0}, now), std::vector<std::string>{});
  // Older than five days: the time of day counts, exactly six days old is not older than six,
  // a point without a readable time stays, and so do the three newest automatic points.
  EXPECT_EQ(ExpiredPoints(points, {0, 5}, now),
            (std::vector<std::string>{"1709800000", "1709900000"}));
  EXPECT_EQ(ExpiredPoints(points, {0, 6}, now),
            (std::vector<std::string>{"1709800000", "1709900000"}));
  EXPECT_EQ(ExpiredPoints(points, {0, 9}, now), std::vector<std::string>{});
  EXPECT_EQ(ExpiredPoints(points, {4, 8}, now),
            (std::vector<std::string>{"1709800000", "1709900000"}));

  EXPECT_EQ(RetentionCount("3"), 3);
  EXPECT_EQ(RetentionCount(" ３0天"), 30);
  EXPECT_EQ(RetentionCount("-2"), 0);
  EXPECT_EQ(RetentionCount("abc"), 0);
  EXPECT_EQ(RetentionCount("99999999"), 36500);
}

// Four automatic points, then one made while the clock ran a year ahead.
TEST(Retention, TheAgeRuleNeverTrustsAClockThatReadsEarlierThanTheNewestPoint) {
  const auto at = [](int year, int day) { return LocalDateTime{year, 3, day, 12, 0, 0, 0}; };
  const struct {
    const char* why;
    PointKind aheadKind;
    LocalDateTime now;
    std::vector<std::string> expired;
  } cases[] = {
      {"the point ahead stops the rule once the clock is right",
       PointKind::Automatic,
       at(2024, 30),
       {}},
      {"so does a manual one", PointKind::Manual, at(2024, 30), {}},
      {"at the time it ran ahead, the newest three stay",
       PointKind::Automatic,
       at(2025, 9),
       {"1", "2"}},
  };
  for (const auto& c : cases) {
    std::vector<StoredPoint> points;
    for (int day = 1; day <= 4; ++day) {
      points.push_back({std::to_string(day), PointKind::Automatic, at(2024, day)});
    }
    points.push_back({"5", c.aheadKind, at(2025, 9)});
    EXPECT_EQ(ExpiredPoints(points, {0, 7}, c.now), c.expired) << c.why;
  }
}

TEST_F(PointMaker, RetentionRunsAfterAPointAndNeverTakesManualOnes) {
  ASSERT_EQ(MakeAt(1, PointKind::Manual).outcome, PointOutcome::Made);
  for (int second = 2; second <= 4; ++second) {
    ASSERT_EQ(MakeAt(second).outcome, PointOutcome::Made);
  }
  const std::vector<std::string> before = PointsOnDisk();
  ASSERT_EQ(before.size(), 4u);
  const PointReport fifth = MakeAt(5, PointKind::Automatic, {2, 0});
  ASSERT_EQ(fifth.outcome, PointOutcome::Made);
  EXPECT_EQ(fifth.expiredPoints, (std::vector<std::string>{before[1], before[2]}));
  EXPECT_EQ(PointsOnDisk(), (std::vector<std::string>{before[0], before[3], fifth.folderName}));
  // The kept points still hold every file, shared or not.
  EXPECT_EQ(disk.FilesBelow(kRoot + before[3] + "\\Saved").size(), 3u);

  // A point whose files are held open is reported, not lost track of.
  disk.heldOpen.insert(In(before[3], "Level.sav"));
  const PointReport sixth = MakeAt(6, PointKind::Automatic, {1, 0});
  EXPECT_EQ(sixth.stuckPoints, (std::vector<std::string>{before[3]}));
  ASSERT_EQ(sixth.stuckCauses.size(), 1u);
  EXPECT_EQ(sixth.stuckCauses[0].code, FakeBackupDisk::kHeldOpen.code);
  EXPECT_EQ(sixth.expiredPoints, (std::vector<std::string>{fifth.folderName}));
}

}  // namespace
}  // namespace tidemoor
