#include "backup/backup_store_win.h"

#include <gtest/gtest.h>

#include "backup/backup_files_win.h"
#include "backup/backup_operations.h"
#include "backup/point_maker.h"
#include "backup/backup_point_printer.h"
#include "backup/folder_tree_win.h"
#include "platform/directories_win.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

constexpr char kRoot[] = "PaLWorld_Saved_Backups\\";

TEST(BackupIndexFile, IsWrittenInGbkAndReadBack) {
  testing::TempToolDirectory tool("index");
  ASSERT_TRUE(EnsureDirectory(BackupPointDir(tool.Path(), "1705986309")));
  const std::string index = BackupPointDir(tool.Path(), "1705986309") + kBackupIndexFileName;
  ASSERT_TRUE(WriteBackupIndex(index, {"2024年1月23日13时5分9秒", PointKind::Automatic}));

  // Time first, so a reader that knows only Time finds it where it always was.
  EXPECT_EQ(tool.ReadBytes(std::string(kRoot) + "1705986309\\BackUP_Info.Dat"),
            "[INFO]\r\nTime=" + Utf8ToGbk("2024年1月23日13时5分9秒") + "\r\nKind=Auto\r\n");
  EXPECT_EQ(ReadBackupPoint(tool.Path(), "1705986309"),
            (BackupPoint{"1705986309", "2024年1月23日 - 13时:05分:09秒"}));
  const PointIndex read = ReadBackupIndex(index);
  EXPECT_EQ(read.time, "2024年1月23日13时5分9秒");
  EXPECT_EQ(read.kind, PointKind::Automatic);

  EXPECT_FALSE(WriteBackupIndex(index, {"2024年1月24日", PointKind::Manual}))
      << "an index is written once, never over another";
  tool.WriteBytes(std::string(kRoot) + "old\\BackUP_Info.Dat", "[INFO]\r\nTime=2024-1-23\r\n");
  EXPECT_EQ(ReadBackupIndex(tool.File(std::string(kRoot) + "old\\BackUP_Info.Dat")).kind,
            PointKind::Manual)
      << "a point without a kind counts as manual";
}

TEST(BackupStoreOnDisk, ADirectoryCountsOnceItsIndexHoldsATime) {
  testing::TempToolDirectory tool("store");
  EXPECT_TRUE(ListBackupPoints(tool.Path()).empty());  // no backup root yet

  tool.WriteBytes(std::string(kRoot) + "old\\Saved\\Level.sav", "save");
  tool.WriteBytes(std::string(kRoot) + "loose-file.txt", "not a point");
  EXPECT_TRUE(ListBackupPoints(tool.Path()).empty());
  tool.WriteBytes(std::string(kRoot) + "old\\BackUP_Info.Dat", "[INFO]\r\nTime=\r\n");
  EXPECT_TRUE(ListBackupPoints(tool.Path()).empty());

  tool.WriteBytes(std::string(kRoot) + "old\\BackUP_Info.Dat",
                  "; hand-edited\r\n[OTHER]\r\nTime=x\r\n[INFO]\r\nTime=2024-1-23 13:05:09\r\n");
  EXPECT_EQ(ListBackupPoints(tool.Path()),
            (std::vector<BackupPoint>{{"old", "2024年1月23日 - 13时:05分:09秒"}}));
}

TEST(BackupStoreOnDisk, PointsAreListedNewestFirst) {
  testing::TempToolDirectory tool("order");
  // Made in the order A, B, C; created on disk in another order, as Wine lists by hash.
  for (const char* stamp : {"1705986320", "1705986300", "1705986310"}) {
    tool.WriteBytes(std::string(kRoot) + stamp + "\\BackUP_Info.Dat",
                    Utf8ToGbk("[INFO]\r\nTime=2024年2月30日\r\n"));
  }
  const std::vector<BackupPoint> points = ListBackupPoints(tool.Path());
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0], (BackupPoint{"1705986320", "2024年2月30日"}));  // unreadable time as is
  EXPECT_EQ(points[1].FolderName, "1705986310");
  EXPECT_EQ(points[2].FolderName, "1705986300");
}

// The disk as the tool sees it, with the clock held at one second.
class OneSecondFiles : public WindowsBackupFiles {
 public:
  LocalDateTime Now() override { return LocalDateTime{2024, 1, 23, 13, 5, 9, 0}; }
};

bool CreateBackupPoint(BackupFiles& files, const BackupPlaces& places) {
  return MakeBackupPoint(files, {places.toolDirectory, places.saveDataDir, PointKind::Manual, {}},
                         {})
             .outcome == PointOutcome::Made;
}

TEST(BackupPointOnDisk, APointMadeAgainInTheSameSecondTakesTheNextNumber) {
  testing::TempToolDirectory tool("same-second");
  const BackupPlaces places{tool.Path(), tool.File("Pal\\Saved")};
  tool.WriteBytes("Pal\\Saved\\Level.sav", "first");
  tool.WriteBytes("Pal\\Saved\\Players\\gone.sav", "left the server");
  OneSecondFiles host;
  ASSERT_TRUE(CreateBackupPoint(host, places));
  const std::string stamp = MakeBackupStamp(host.Now());
  const std::string first = std::string(kRoot) + stamp + "\\";
  ASSERT_EQ(tool.ReadBytes(first + "Saved\\Players\\gone.sav"), "left the server");

  DeleteDirectoryTree(tool.File("Pal\\Saved\\Players"));
  tool.WriteBytes("Pal\\Saved\\Level.sav", "second");
  ASSERT_TRUE(CreateBackupPoint(host, places));
  const std::string second = std::string(kRoot) + NextBackupStamp(stamp) + "\\";
  EXPECT_EQ(tool.ReadBytes(first + "Saved\\Level.sav"), "first");
  EXPECT_EQ(tool.ReadBytes(first + "Saved\\Players\\gone.sav"), "left the server");
  EXPECT_EQ(tool.ReadBytes(second + "Saved\\Level.sav"), "second");
  EXPECT_FALSE(tool.Exists(second + "Saved\\Players"));
  EXPECT_EQ(ListBackupPoints(tool.Path()).size(), 2u);
}

TEST(FolderTree, CopyMakesTheDestinationAFullCopy) {
  testing::TempToolDirectory dir("copy");
  dir.WriteBytes("from\\SaveGames\\0\\Level.sav", std::string(100000, 'L'));
  dir.WriteBytes("from\\SaveGames\\0\\Players\\存档.sav", "player");
  ASSERT_TRUE(::CreateDirectoryW(Widen(dir.File("from\\Empty")).c_str(), nullptr));

  WindowsBackupFiles files;
  EXPECT_TRUE(CopyWholeTree(files, dir.File("from"), dir.File("to"), {}).complete);
  EXPECT_EQ(dir.ReadBytes("to\\SaveGames\\0\\Level.sav"), std::string(100000, 'L'));
  EXPECT_EQ(dir.ReadBytes("to\\SaveGames\\0\\Players\\存档.sav"), "player");
  EXPECT_TRUE(DirectoryExists(dir.File("to\\Empty")));
  EXPECT_EQ(dir.ReadBytes("from\\SaveGames\\0\\Players\\存档.sav"), "player");
}

TEST(FolderTree, CopyReportsWhatItCouldNotDo) {
  testing::TempToolDirectory dir("copyfail");
  WindowsBackupFiles files;
  EXPECT_FALSE(CopyWholeTree(files, dir.File("missing"), dir.File("to"), {}).complete);

  dir.WriteBytes("from\\a.sav", "a");
  dir.WriteBytes("from\\locked.sav", "b");
  // Held open without sharing, as a file in use by another program is.
  UniqueFileHandle locked(::CreateFileW(Widen(dir.File("from\\locked.sav")).c_str(), GENERIC_READ,
                                        0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(locked);
  const CopyResult copy = CopyWholeTree(files, dir.File("from"), dir.File("to"), {});
  EXPECT_FALSE(copy.complete);
  EXPECT_EQ(copy.failedPath, dir.File("from\\locked.sav"));
}

TEST(FolderTree, DeleteRefusesEmptyPathsAndDriveRoots) {
  for (const char* path : {"", "   ", "C:", "C:\\", "c:/", "  C:\\", "\\", "C:\\\\"}) {
    EXPECT_FALSE(DeleteDirectoryTree(path)) << '"' << path << '"';
  }
  EXPECT_TRUE(DirectoryExists("C:\\windows"));
}

TEST(FolderTree, DeleteRemovesTheWholeTreeButWhatIsReadOnly) {
  testing::TempToolDirectory dir("delete");
  dir.WriteBytes("point\\Saved\\SaveGames\\0\\Level.sav", "level");
  dir.WriteBytes("point\\BackUP_Info.Dat", "index");
  // Blanks before and a separator after the path are allowed.
  EXPECT_TRUE(DeleteDirectoryTree(std::string(" ").append(dir.File("point")).append("\\")));
  EXPECT_FALSE(dir.Exists("point"));

  dir.WriteBytes("kept\\sub\\readonly.sav", "r");
  dir.WriteBytes("kept\\gone.sav", "g");
  const std::wstring readOnly = Widen(dir.File("kept\\sub\\readonly.sav"));
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteDirectoryTree(dir.File("kept")));
  EXPECT_TRUE(dir.Exists("kept\\sub\\readonly.sav"));
  EXPECT_FALSE(dir.Exists("kept\\gone.sav"));
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FolderTree, MoveRenamesADirectoryWithEverythingInIt) {
  testing::TempToolDirectory dir("move");
  dir.WriteBytes("Saved\\Level.sav", "level");
  EXPECT_TRUE(MoveDirectory(dir.File("Saved"), dir.File("Saved_BeforeRevert")));
  EXPECT_EQ(dir.ReadBytes("Saved_BeforeRevert\\Level.sav"), "level");
  EXPECT_FALSE(DirectoryExists(dir.File("Saved")));

  dir.WriteBytes("Other\\x", "x");
  EXPECT_FALSE(MoveDirectory(dir.File("Other"), dir.File("Saved_BeforeRevert")));
}

}  // namespace
}  // namespace tidemoor
