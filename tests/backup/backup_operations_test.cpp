#include "backup/backup_operations.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>

#include "backup/auto_backup.h"
#include "backup/backup_point_printer.h"
#include "common/timer_minutes.h"

namespace tidemoor {
namespace {

constexpr char kTool[] = "D:\\Host";
constexpr char kLive[] = "D:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved";
constexpr char kPoint[] = "D:\\Host\\PaLWorld_Saved_Backups\\1705986309\\";
constexpr char kPointSaved[] = "D:\\Host\\PaLWorld_Saved_Backups\\1705986309\\Saved";
constexpr char kPointTime[] = "2024年1月23日 - 13时:05分:09秒";

bool IsAtOrBelow(const std::string& path, const std::string& dir) {
  return path == dir || path.starts_with(dir + "\\");
}

// Directories and files in memory, with the faults a real disk has: files that cannot be read,
// save files held open by a server that did not stop.
class FakeHost : public BackupHost, public Prompt {
 public:
  bool DirectoryExists(const std::string& path) override { return dirs.contains(Trim(path)); }
  void EnsureDirectory(const std::string& path) override {
    std::string dir = Trim(path);
    for (size_t slash = dir.find('\\', 3); slash != std::string::npos;
         slash = dir.find('\\', slash + 1)) {
      dirs.insert(dir.substr(0, slash));
    }
    dirs.insert(dir);
  }
  bool CopyFolderTree(const std::string& source, const std::string& destination) override {
    log.push_back("copy " + source + " -> " + destination);
    if (!dirs.contains(source) || dirs.contains(destination)) return false;
    dirs.insert(destination);
    for (const std::string& dir : Below(dirs, source)) {
      dirs.insert(destination + dir.substr(source.size()));
    }
    for (const auto& [path, bytes] : Below(files, source)) {
      if (unreadable.contains(path)) return false;  // whatever was copied so far stays
      files[destination + path.substr(source.size())] = bytes;
    }
    return true;
  }
  bool DeleteDirectoryTree(const std::string& path) override {
    log.push_back("delete " + path);
    std::erase_if(dirs, [&](const std::string& d) { return IsAtOrBelow(d, path); });
    std::erase_if(files, [&](const auto& f) { return IsAtOrBelow(f.first, path); });
    return true;
  }
  bool MoveDirectory(const std::string& from, const std::string& to) override {
    log.push_back("move " + from + " -> " + to);
    if (heldOpen || unmovable.contains(from) || !dirs.contains(from) || dirs.contains(to)) {
      return false;
    }
    dirs.erase(from);
    dirs.insert(to);
    for (const std::string& dir : Below(dirs, from)) {
      dirs.erase(dir);
      dirs.insert(to + dir.substr(from.size()));
    }
    for (const auto& [path, bytes] : Below(files, from)) {
      files.erase(path);
      files[to + path.substr(from.size())] = bytes;
    }
    return true;
  }
  bool WriteIndexTime(const std::string& indexFile, const std::string& timeText) override {
    log.push_back("index " + indexFile + " = " + timeText);
    if (indexUnwritable) return false;
    files[indexFile] = timeText;
    return true;
  }
  LocalDateTime Now() override {
    if (clock.empty()) return LocalDateTime{2024, 1, 23, 13, 5, 9, 0};
    LocalDateTime now = clock.front();
    clock.pop_front();
    return now;
  }
  bool StopServer() override {
    log.push_back("stop server");
    return !toolClosing;
  }
  void RevealInExplorer(const std::string& path) override {
    log.push_back("run explorer.exe /select,\"" + path + "\"");
  }
  PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) override {
    messages.push_back({std::string(text), std::string(title), style});
    log.push_back("message " + std::string(text));
    if (style == PromptStyle::WarningQuestion) {
      return answerYes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    return PromptAnswer::Ok;
  }

  void AddFile(const std::string& path, const std::string& bytes) {
    EnsureDirectory(path.substr(0, path.find_last_of('\\')));
    files[path] = bytes;
  }
  std::map<std::string, std::string> FilesBelow(const std::string& dir) const {
    std::map<std::string, std::string> below;
    for (const auto& [path, bytes] : Below(files, dir)) below[path.substr(dir.size())] = bytes;
    return below;
  }

  struct Message {
    std::string text, title;
    PromptStyle style;
  };
  std::set<std::string> dirs;
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable;
  std::set<std::string> unmovable;
  bool indexUnwritable = false;
  std::deque<LocalDateTime> clock;
  std::vector<std::string> log;
  std::vector<Message> messages;
  bool answerYes = true;
  bool heldOpen = false;
  bool toolClosing = false;

 private:
  static std::string Trim(const std::string& path) {
    return path.ends_with('\\') ? path.substr(0, path.size() - 1) : path;
  }
  template <typename Container>
  static Container Below(const Container& all, const std::string& dir) {
    Container below;
    for (const auto& entry : all) {
      const std::string& path = [&]() -> const std::string& {
        if constexpr (std::is_same_v<Container, std::set<std::string>>)
          return entry;
        else
          return entry.first;
      }();
      if (path.starts_with(dir + "\\")) below.insert(entry);
    }
    return below;
  }
};

const BackupPlaces kPlaces{kTool, kLive};
const std::optional<BackupPoint> kSelected = BackupPoint{"1705986309", kPointTime};

class BackupOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
    host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav", "live player");
  }
  void MakeSelectedPoint() {
    host.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Level.sav", "old level");
    host.AddFile(std::string(kPoint) + "BackUP_Info.Dat", "2024年1月23日13时5分9秒");
  }
  std::map<std::string, std::string> LiveFiles() const { return host.FilesBelow(kLive); }

  FakeHost host;
  const std::map<std::string, std::string> originalLive = {
      {"\\SaveGames\\0\\Level.sav", "live level"},
      {"\\SaveGames\\0\\Players\\1.sav", "live player"},
  };
};

TEST_F(BackupOperations, APointIsACopyOfTheLiveSaveWithItsIndexWrittenLast) {
  host.clock = {LocalDateTime{2024, 1, 23, 13, 5, 9, 0}, LocalDateTime{2024, 1, 23, 13, 5, 12, 0}};
  CreateBackupPoint(host, kPlaces);

  EXPECT_EQ(host.FilesBelow(kPointSaved), originalLive);
  ASSERT_FALSE(host.log.empty());
  // The index carries the time after the copy, and a point without index is never listed.
  EXPECT_EQ(host.log.back(),
            std::string("index ") + kPoint + "BackUP_Info.Dat = 2024年1月23日13时5分12秒");
  EXPECT_TRUE(host.messages.empty());
}

// Two points in one second, or a clock set back: the later point takes the next free number and
// the earlier one keeps exactly what it held.
TEST_F(BackupOperations, APointNeverReplacesAnother) {
  CreateBackupPoint(host, kPlaces);
  host.DeleteDirectoryTree(std::string(kLive) + "\\SaveGames\\0\\Players");
  host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "newer level");
  ASSERT_TRUE(CreateBackupPoint(host, kPlaces));
  host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "newest level");
  ASSERT_TRUE(CreateBackupPoint(host, kPlaces));

  EXPECT_EQ(host.FilesBelow(kPointSaved), originalLive);
  EXPECT_EQ(host.FilesBelow("D:\\Host\\PaLWorld_Saved_Backups\\1705986310\\Saved"),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "newer level"}}));
  EXPECT_EQ(host.FilesBelow("D:\\Host\\PaLWorld_Saved_Backups\\1705986311\\Saved"),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "newest level"}}));
}

TEST_F(BackupOperations, APointWhoseIndexCannotBeWrittenIsTakenAwayAndSaysSo) {
  host.indexUnwritable = true;
  OnCreateBackupClicked(host, host, kPlaces, [&] { host.log.push_back("refresh"); });
  EXPECT_FALSE(host.DirectoryExists(kPoint));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 创建备份点失败 - 存档复制未完成 ");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
}

// A user away from the machine must learn that backups stopped working, from one message, not
// from a pile of them; the timer goes on trying.
TEST_F(BackupOperations, AFailingAutomaticBackupIsToldOnceUntilOneSucceedsAgain) {
  AutoBackupRecord record;
  host.unreadable.insert(std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav");
  MakeAutomaticBackupPoint(host, host, kPlaces, record);
  MakeAutomaticBackupPoint(host, host, kPlaces, record);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 自动备份失败 - 存档复制未完成 ");
  EXPECT_EQ(host.messages[0].title, " BackUp");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
  EXPECT_FALSE(host.DirectoryExists(kPoint));

  host.unreadable.clear();
  MakeAutomaticBackupPoint(host, host, kPlaces, record);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.DirectoryExists(kPointSaved));

  host.indexUnwritable = true;
  MakeAutomaticBackupPoint(host, host, kPlaces, record);
  EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(BackupOperations, APointWhoseCopyFailsIsTakenAwayAndSaysSo) {
  host.unreadable.insert(std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav");
  OnCreateBackupClicked(host, host, kPlaces, [&] { host.log.push_back("refresh"); });

  EXPECT_FALSE(host.DirectoryExists(kPoint)) << "half a save must never be listed or restored";
  EXPECT_FALSE(host.files.contains(std::string(kPoint) + "BackUP_Info.Dat"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 创建备份点失败 - 存档复制未完成 ");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
  EXPECT_EQ(LiveFiles(), originalLive);
}

TEST_F(BackupOperations, AServerThatNeverRanStillGetsAListedPointWithoutSaved) {
  host.DeleteDirectoryTree(kLive);
  OnCreateBackupClicked(host, host, kPlaces, [&] { host.log.push_back("refresh"); });

  EXPECT_FALSE(host.DirectoryExists(kPointSaved));
  EXPECT_EQ(host.files[std::string(kPoint) + "BackUP_Info.Dat"], "2024年1月23日13时5分9秒");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 已创建现行备份点数据 ");
  EXPECT_EQ(host.messages[0].title, " BackUp");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Plain);
  EXPECT_EQ(host.log.back(), "refresh");  // after the message is closed
}

TEST_F(BackupOperations, RestoreAnsweredYesStopsTheServerAndReplacesTheLiveSave) {
  MakeSelectedPoint();
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text,
            " 是否还原存档至备份点 《 2024年1月23日 - 13时:05分:09秒 》 \r\n"
            " ————————————\r\n 操作过程将会自动关闭服务端运行! ");
  EXPECT_EQ(host.messages[0].title, " Revert");
  EXPECT_EQ(host.messages[0].style, PromptStyle::WarningQuestion);
  EXPECT_EQ(host.messages[1].text, " 还原完成 - 时间: 2024年1月23日 - 13时:05分:09秒");
  EXPECT_EQ(host.messages[1].title, " Success");
  EXPECT_EQ(host.messages[1].style, PromptStyle::Information);

  EXPECT_EQ(LiveFiles(),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "old level"}}));
  // The server is stopped before the live save is touched, and nothing is left beside it.
  EXPECT_EQ(host.log[1], "stop server");
  EXPECT_FALSE(host.DirectoryExists(std::string(kLive) + "_BeforeRevert"));
}

TEST_F(BackupOperations, ARestoreCutShortByTheToolClosingLeavesTheLiveSaveAlone) {
  MakeSelectedPoint();
  host.toolClosing = true;
  RestoreBackupPoint(host, host, kPlaces, kSelected);
  EXPECT_EQ(host.log.back(), "stop server");
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(LiveFiles(), originalLive);
}

TEST_F(BackupOperations, RestoreAnsweredNoOrWithoutSelectionChangesNothing) {
  MakeSelectedPoint();
  RestoreBackupPoint(host, host, kPlaces, std::nullopt);
  EXPECT_TRUE(host.messages.empty());

  host.answerYes = false;
  RestoreBackupPoint(host, host, kPlaces, kSelected);
  EXPECT_EQ(host.log, (std::vector<std::string>{"message " + RestoreQuestion(kPointTime)}));
  EXPECT_EQ(LiveFiles(), originalLive);
}

TEST_F(BackupOperations, RestoreFromAPointWithoutSavedKeepsTheServerAndTheLiveSave) {
  host.AddFile(std::string(kPoint) + "BackUP_Info.Dat", "2024年1月23日13时5分9秒");
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, " 备份点数据不完整 - 已取消还原 ");
  EXPECT_EQ(host.messages[1].title, " Revert");
  EXPECT_EQ(host.messages[1].style, PromptStyle::Error);
  EXPECT_EQ(host.log.size(), 2u);  // the two messages: no stop, no file touched
  EXPECT_EQ(LiveFiles(), originalLive);
}

TEST_F(BackupOperations, ARestoreWhoseCopyFailsPutsTheLiveSaveBack) {
  MakeSelectedPoint();
  host.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav", "unreadable");
  host.unreadable.insert(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav");
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  EXPECT_EQ(LiveFiles(), originalLive);
  EXPECT_FALSE(host.DirectoryExists(std::string(kLive) + "_BeforeRevert"));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, " 还原失败 - 原存档已保留 ");
  EXPECT_EQ(host.messages[1].style, PromptStyle::Error);
}

// The copy failed and the set-aside save cannot be moved back: it is the user's only copy of
// their world, so it stays where it is and the message says where.
TEST_F(BackupOperations, ARestoreThatCannotPutTheSaveBackSaysWhereItIs) {
  MakeSelectedPoint();
  host.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav", "unreadable");
  host.unreadable.insert(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav");
  const std::string aside = std::string(kLive) + "_BeforeRevert";
  host.unmovable.insert(aside);
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, " 还原失败 - 原存档保存在 " + aside);
  EXPECT_EQ(host.messages[1].style, PromptStyle::Error);
  EXPECT_EQ(host.FilesBelow(aside), originalLive);
}

TEST_F(BackupOperations, ARestoreWhileTheSaveIsHeldOpenTouchesNothing) {
  MakeSelectedPoint();
  host.heldOpen = true;
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  EXPECT_EQ(LiveFiles(), originalLive);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, " 还原失败 - 原存档已保留 ");
}

TEST_F(BackupOperations, ASaveLeftAsideByAnEarlierRestoreIsNeverOverwritten) {
  MakeSelectedPoint();
  const std::string leftOver = std::string(kLive) + "_BeforeRevert";
  host.AddFile(leftOver + "\\Level.sav", "older live level");
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  EXPECT_EQ(host.FilesBelow(leftOver),
            (std::map<std::string, std::string>{{"\\Level.sav", "older live level"}}));
  EXPECT_EQ(LiveFiles(),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "old level"}}));
}

TEST_F(BackupOperations, RestoreWithoutALiveSaveCreatesIt) {
  MakeSelectedPoint();
  host.DeleteDirectoryTree("D:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\Pal");
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  EXPECT_EQ(LiveFiles(),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "old level"}}));
  EXPECT_EQ(host.messages.back().title, " Success");
}

TEST_F(BackupOperations, DeleteAsksThenRemovesThePointAndRebuildsTheList) {
  MakeSelectedPoint();
  int refreshes = 0;
  host.answerYes = false;
  DeleteBackupPoint(host, host, kPlaces, kSelected, [&] { ++refreshes; });
  EXPECT_TRUE(host.DirectoryExists(kPoint));
  EXPECT_EQ(refreshes, 0);

  host.answerYes = true;
  DeleteBackupPoint(host, host, kPlaces, kSelected, [&] { ++refreshes; });
  EXPECT_EQ(host.messages.back().text, " 是否删除选定备份点《 2024年1月23日 - 13时:05分:09秒 》 ");
  EXPECT_EQ(host.messages.back().title, " Delete");
  EXPECT_EQ(host.messages.back().style, PromptStyle::WarningQuestion);
  EXPECT_FALSE(host.DirectoryExists(kPoint));
  EXPECT_TRUE(host.DirectoryExists("D:\\Host\\PaLWorld_Saved_Backups"));
  EXPECT_EQ(refreshes, 1);

  DeleteBackupPoint(host, host, kPlaces, std::nullopt, [&] { ++refreshes; });
  EXPECT_EQ(refreshes, 1);
}

TEST_F(BackupOperations, RevealOpensExplorerOnTheQuotedIndexPath) {
  RevealBackupPoint(host, kPlaces, std::nullopt);
  EXPECT_TRUE(host.log.empty());

  RevealBackupPoint(host, kPlaces, BackupPoint{"S", "t"});
  EXPECT_EQ(host.log, (std::vector<std::string>{
                          "run explorer.exe /select,\"D:\\Host\\PaLWorld_Saved_Backups\\S\\"
                          "BackUP_Info.Dat\""}));
}

TEST(AutoBackup, MakesAPointOnlyWhileTheBoxIsTickedAndTheServerRuns) {
  const AutoBackupDecision running = DecideAutoBackupTick(true, true, "10");
  EXPECT_TRUE(running.makePoint);  // the timer keeps its interval

  for (auto [ticked, serverRunning] : {std::pair{false, false}, {true, false}, {false, true}}) {
    const AutoBackupDecision decision = DecideAutoBackupTick(ticked, serverRunning, "15");
    EXPECT_FALSE(decision.makePoint);
    EXPECT_EQ(decision.rearmPeriod, 15u * 60000u);
  }
  // Ticking the box again resumes without a restart.
  EXPECT_TRUE(DecideAutoBackupTick(true, true, "15").makePoint);
}

TEST(AutoBackupInterval, TakesTheLeadingWholeNumberOfMinutes) {
  EXPECT_EQ(TimerPeriodForMinutes("10"), 600000u);
  EXPECT_EQ(TimerPeriodForMinutes("15分"), 900000u);
  EXPECT_EQ(TimerPeriodForMinutes(" ＋１０"), 600000u);
  EXPECT_EQ(TimerPeriodForMinutes("0"), 0u);
  EXPECT_EQ(TimerPeriodForMinutes("abc"), 0u);
  EXPECT_EQ(TimerPeriodForMinutes(""), 0u);
  EXPECT_EQ(TimerPeriodForMinutes("-5"), 0u);
  EXPECT_EQ(TimerPeriodForMinutes("35791"), 2147460000u);
  EXPECT_EQ(TimerPeriodForMinutes("99999999999"), 2147460000u);
}

}  // namespace
}  // namespace tidemoor
