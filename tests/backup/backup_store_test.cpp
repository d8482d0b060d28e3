#include "backup/backup_store.h"

#include <gtest/gtest.h>

#include <map>

#include "backup/backup_point_printer.h"
#include "backup/refresh_gate.h"

namespace tidemoor {
namespace {

TEST(BackupStore, PointsAreListedNewestFirstWhateverOrderTheFileSystemGives) {
  // FAT32 and Wine's Linux file systems hand names out unsorted.
  const std::map<std::string, std::string> index = {
      {"1705986301", "2024年1月23日13时5分1秒"},
      {"1705986302", "2024年1月23日13时5分2秒"},
      {"1705986303", "2024年1月23日13时5分3秒"},
  };
  const auto read = [&](const std::string& name) {
    auto it = index.find(name);
    return BackupPointFromIndex(name, it == index.end() ? std::string() : it->second);
  };
  const std::vector<BackupPoint> points =
      ListBackupPoints({"1705986302", "1705986303", "1705986301"}, read);
  EXPECT_EQ(points, (std::vector<BackupPoint>{
                        {"1705986303", "2024年1月23日 - 13时:05分:03秒"},
                        {"1705986302", "2024年1月23日 - 13时:05分:02秒"},
                        {"1705986301", "2024年1月23日 - 13时:05分:01秒"},
                    }));
}

// Points kept before a restore or a mod change say so after their time; the index's Kind key
// is read as the tool writes it, and any other word is a manual point.
TEST(BackupStore, OnlyDirectoriesWhoseIndexHoldsATimeArePoints) {
  const std::map<std::string, std::pair<std::string, std::string>> index = {
      {"1705986301", {"2024年1月23日13时5分1秒", ""}},
      {"1705986302", {"2024年1月23日13时5分2秒", "BeforeRestore"}},
      {"1705986303", {"2024年1月23日13时5分3秒", "beforemods"}},
      {"1705986304", {"2024年1月23日13时5分4秒", "Auto"}},
      {"1705986305", {"2024年1月23日13时5分5秒", "BeforeMod"}},
      {"old", {"2024年2月30日", "BeforeMods"}},  // listed, shown as it stands
      {"empty", {"", "Manual"}},
  };
  const auto read = [&](const std::string& name) {
    auto it = index.find(name);
    if (it == index.end()) return BackupPointFromIndex(name, "");
    return BackupPointFromIndex(name, it->second.first, PointKindFromText(it->second.second));
  };
  const std::vector<BackupPoint> points =
      ListBackupPoints({"old", "no-index", "empty", "1705986301", "1705986302", "1705986303",
                        "1705986304", "1705986305"},
                       read);
  EXPECT_EQ(points, (std::vector<BackupPoint>{
                        {"old", "2024年2月30日 (模组变更前自动备份)"},
                        {"1705986305", "2024年1月23日 - 13时:05分:05秒"},
                        {"1705986304", "2024年1月23日 - 13时:05分:04秒"},
                        {"1705986303", "2024年1月23日 - 13时:05分:03秒 (模组变更前自动备份)"},
                        {"1705986302", "2024年1月23日 - 13时:05分:02秒 (还原前自动备份)"},
                        {"1705986301", "2024年1月23日 - 13时:05分:01秒"},
                    }));
  for (const PointKind kind :
       {PointKind::Manual, PointKind::Automatic, PointKind::BeforeRestore, PointKind::BeforeMods}) {
    EXPECT_EQ(PointKindFromText(PointKindText(kind)), kind) << PointKindText(kind);
  }
  EXPECT_EQ(PointKindText(PointKind::BeforeMods), "BeforeMods");
}

TEST(BackupStore, ListingStopsWhenTheWindowGoesAwayInBetween) {
  int reads = 0;
  const auto read = [&](const std::string& name) {
    ++reads;
    return BackupPointFromIndex(name, "2024年1月23日");
  };
  EXPECT_TRUE(ListBackupPoints({"a", "b", "c"}, read, [&] { return reads < 2; }).empty());
  EXPECT_EQ(reads, 2);
}

TEST(BackupStore, PointDirectoryIsBelowTheBackupRoot) {
  EXPECT_EQ(BackupPointDir("D:\\Host", "1705986309"),
            "D:\\Host\\PaLWorld_Saved_Backups\\1705986309\\");
}

TEST(RefreshGate, ARequestDuringARunRunsOnceAfterItInsteadOfNesting) {
  RefreshGate gate;
  std::vector<std::string> log;
  int depth = 0;
  int runs = 0;
  std::function<void()> finish;  // the running refresh's end, as its listing comes back
  RefreshGate::Job refresh = [&](std::function<void()> finished) {
    ++depth;
    ++runs;
    log.push_back("start depth " + std::to_string(depth));
    finish = [&, finished] {
      log.push_back("end");
      --depth;
      finished();
    };
  };
  gate.Run(refresh);
  // Two clicks while the first rebuild runs.
  gate.Run(refresh);
  gate.Run(refresh);
  for (int i = 0; i < 2; ++i) {
    const std::function<void()> end = finish;  // the next run replaces finish as this one ends
    end();
  }
  EXPECT_EQ(log, (std::vector<std::string>{"start depth 1", "end", "start depth 1", "end"}));

  gate.Run(refresh);  // the gate opens again afterwards
  EXPECT_EQ(runs, 3);
}

}  // namespace
}  // namespace tidemoor
