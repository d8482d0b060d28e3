#include "backup/backup_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>

#include "backup/auto_backup.h"
#include "backup/backup_point_printer.h"
#include "backup/fake_backup_disk.h"
#include "backup/restore_operation.h"
#include "common/timer_minutes.h"

namespace tidemoor {
namespace {

constexpr char kTool[] = "D:\\Host";
constexpr char kLive[] = "D:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved";
constexpr char kPoint[] = "D:\\Host\\PaLWorld_Saved_Backups\\1705986309\\";
constexpr char kPointSaved[] = "D:\\Host\\PaLWorld_Saved_Backups\\1705986309\\Saved";
constexpr char kPointTime[] = "2024年1月23日 - 13时:05分:09秒";
constexpr char kJournal[] = "D:\\Host\\PaLWorld_Data\\Restore.journal";

class RecordedLog : public EventLog {
 public:
  void Record(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// The machine in memory: the disk, a background that runs at once unless held, a server, the
// event log and the message boxes.
class FakeHost : public BackupHost, public Prompt {
 public:
  std::shared_ptr<BackupFiles> Files() override {
    return std::shared_ptr<BackupFiles>(std::shared_ptr<void>(), &disk);
  }
  void RunInBackground(std::function<void()> work, std::function<void()> done) override {
    held.push_back({std::move(work), std::move(done)});
    if (!holdBackground) FinishHeld();
  }
  // The wait a point took for the server ends.
  void WaitEnds() {
    std::function<void()> then = std::move(pendingWait);
    pendingWait = {};
    then();
  }
  void RunOneHeld() {
    Job job = std::move(held.front());
    held.pop_front();
    job.work();
    job.done();
  }
  void FinishHeld() {
    while (!held.empty()) RunOneHeld();
  }
  BackupActivity& Activity() override { return activity; }
  EventLog& Log() override { return events; }
  bool ServerRunning() override { return serverRunning; }
  bool ServerSettled() override { return serverSettled; }
  void AfterAWhile(std::function<void()> then) override {
    log.push_back("wait");
    pendingWait = std::move(then);
  }
  void SaveWorldFirst(std::function<void()> then) override {
    log.push_back("save world");
    if (holdSave) {
      pendingSave = std::move(then);
    } else {
      then();
    }
  }
  // A stop the tool's closing cancels never answers.
  void StopServer(std::function<void(bool)> done) override {
    log.push_back("stop server");
    if (holdStop) {
      pendingStop = std::move(done);
    } else if (!toolClosing) {
      done(true);
    }
  }
  void MoveDirectory(const std::string& from, const std::string& to,
                     std::function<void(bool)> done) override {
    done(!heldOpen && disk.Rename(from, to));
  }
  void RevealInExplorer(const std::string& path) override {
    log.push_back("run explorer.exe /select,\"" + path + "\"");
  }
  bool Closing() override { return false; }
  PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) override {
    messages.push_back({std::string(text), std::string(title), style});
    log.push_back("message " + std::string(text));
    if (style == PromptStyle::WarningQuestion) {
      return answerYes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    return PromptAnswer::Ok;
  }

  bool DirectoryExists(const std::string& path) {
    return disk.dirs.contains(path.ends_with('\\') ? path.substr(0, path.size() - 1) : path);
  }
  void AddFile(const std::string& path, const std::string& bytes, uint64_t lastWrite = 1) {
    disk.AddFile(path, bytes, lastWrite);
  }
  std::map<std::string, std::string> FilesBelow(const std::string& dir) const {
    return disk.FilesBelow(dir);
  }

  struct Message {
    std::string text, title;
    PromptStyle style;
  };
  struct Job {
    std::function<void()> work, done;
  };
  testing::FakeBackupDisk disk;
  std::vector<std::string>& log = disk.log;
  BackupActivity activity;
  RecordedLog events;
  std::deque<Job> held;
  bool holdBackground = false;
  bool holdSave = false;
  std::function<void()> pendingSave;
  std::vector<Message> messages;
  bool answerYes = true;
  bool heldOpen = false;
  bool toolClosing = false;
  bool holdStop = false;
  std::function<void(bool)> pendingStop;
  bool serverRunning = false;
  bool serverSettled = true;
  std::function<void()> pendingWait;
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
  // A manual point made at once, as the background work makes it.
  bool CreatePoint() {
    return MakeBackupPoint(host.disk, {kTool, kLive, PointKind::Manual, {}}, {}).outcome ==
           PointOutcome::Made;
  }

  FakeHost host;
  const std::map<std::string, std::string> originalLive = {
      {"\\SaveGames\\0\\Level.sav", "live level"},
      {"\\SaveGames\\0\\Players\\1.sav", "live player"},
  };
};

TEST_F(BackupOperations, APointIsACopyOfTheLiveSaveWithItsIndexWrittenLast) {
  host.disk.clock = {LocalDateTime{2024, 1, 23, 13, 5, 9, 0},
                     LocalDateTime{2024, 1, 23, 13, 5, 12, 0}};
  CreatePoint();

  EXPECT_EQ(host.FilesBelow(kPointSaved), originalLive);
  ASSERT_GE(host.log.size(), 2u);
  // The index carries the time after the copy; the point is built aside and gets its name only
  // once the index is written, so a point without index is never listed.
  const std::string unfinished = "D:\\Host\\PaLWorld_Saved_Backups\\1705986309.partial";
  EXPECT_EQ(host.log[host.log.size() - 2],
            "index " + unfinished + "\\BackUP_Info.Dat = 2024年1月23日13时5分12秒 Manual");
  EXPECT_EQ(host.log.back(),
            "rename " + unfinished + " -> D:\\Host\\PaLWorld_Saved_Backups\\1705986309");
  EXPECT_TRUE(host.messages.empty());
}

// Two points in one second, or a clock set back: the later point takes the next free number and
// the earlier one keeps exactly what it held.
TEST_F(BackupOperations, APointNeverReplacesAnother) {
  CreatePoint();
  host.disk.DeleteTree(std::string(kLive) + "\\SaveGames\\0\\Players");
  host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "newer level");
  ASSERT_TRUE(CreatePoint());
  host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "newest level");
  ASSERT_TRUE(CreatePoint());

  EXPECT_EQ(host.FilesBelow(kPointSaved), originalLive);
  EXPECT_EQ(host.FilesBelow("D:\\Host\\PaLWorld_Saved_Backups\\1705986310\\Saved"),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "newer level"}}));
  EXPECT_EQ(host.FilesBelow("D:\\Host\\PaLWorld_Saved_Backups\\1705986311\\Saved"),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "newest level"}}));
}

TEST_F(BackupOperations, APointWhoseIndexCannotBeWrittenIsTakenAwayAndSaysSo) {
  host.disk.indexUnwritable = true;
  OnCreateBackupClicked(host, host, kPlaces, {}, [&] { host.log.push_back("refresh"); });
  EXPECT_FALSE(host.DirectoryExists(kPoint));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 创建备份点失败 - 存档复制未完成 ");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
}

// A user away from the machine must learn that backups stopped working, from one message, not
// from a pile of them; the timer goes on trying.
TEST_F(BackupOperations, AFailingAutomaticBackupIsToldOnceUntilOneSucceedsAgain) {
  AutoBackupRecord record;
  host.disk.unreadable.insert(std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav");
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 自动备份失败 - 存档复制未完成 ");
  EXPECT_EQ(host.messages[0].title, " BackUp");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
  EXPECT_FALSE(host.DirectoryExists(kPoint));

  host.disk.unreadable.clear();
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(host.DirectoryExists(kPointSaved));

  host.disk.indexUnwritable = true;
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  EXPECT_EQ(host.messages.size(), 2u);
}

TEST_F(BackupOperations, APointWhoseCopyFailsIsTakenAwayAndSaysSo) {
  host.disk.unreadable.insert(std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav");
  OnCreateBackupClicked(host, host, kPlaces, {}, [&] { host.log.push_back("refresh"); });

  EXPECT_FALSE(host.DirectoryExists(kPoint)) << "half a save must never be listed or restored";
  EXPECT_FALSE(host.disk.files.contains(std::string(kPoint) + "BackUP_Info.Dat"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 创建备份点失败 - 存档复制未完成 ");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
  EXPECT_EQ(LiveFiles(), originalLive);
}

// A point that would hold no world is no point: a save not there yet, one with only the settings,
// one whose worlds lie behind a link that leads nowhere, one whose folder cannot be read.
TEST_F(BackupOperations, APointWithoutAnyWorldIsAFailedPoint) {
  const std::string worlds = std::string(kLive) + "\\SaveGames";
  const struct {
    const char* why;
    std::function<void(FakeHost&)> disk;
    std::string message;
    std::string event;
  } cases[] = {
      {"no save yet", [](FakeHost& h) { h.disk.DeleteTree(kLive); }, kNoWorldMessage,
       "存档中没有世界数据 (Level.sav)"},
      {"only the settings",
       [&](FakeHost& h) {
         h.disk.DeleteTree(worlds);
         h.AddFile(std::string(kLive) + "\\Config\\WindowsServer\\PalWorldSettings.ini", "");
       },
       kNoWorldMessage, "存档中没有世界数据 (Level.sav)"},
      {"worlds behind a link to nowhere",
       [&](FakeHost& h) {
         h.disk.DeleteTree(worlds);
         h.disk.links.insert(worlds);
       },
       kNoWorldMessage, "存档中没有世界数据 (Level.sav)"},
      {"a save folder that cannot be read", [](FakeHost& h) { h.disk.unreadable.insert(kLive); },
       kBackupFailedMessage, "无法复制 " + std::string(kLive) + " (拒绝访问。 (0x80070005))"},
  };
  for (const auto& c : cases) {
    FakeHost rig;
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
    c.disk(rig);
    OnCreateBackupClicked(rig, rig, kPlaces, {}, [&] { rig.log.push_back("refresh"); });

    EXPECT_FALSE(rig.DirectoryExists(kPoint)) << c.why;
    ASSERT_EQ(rig.messages.size(), 1u) << c.why;
    EXPECT_EQ(rig.messages[0].text, c.message) << c.why;
    EXPECT_EQ(rig.messages[0].style, PromptStyle::Error) << c.why;
    EXPECT_EQ(rig.events.lines.back(), "创建备份点失败 (手动): " + c.event) << c.why;
  }
}

// What a point leaves out is told on screen, not only in the event log: at once for a manual
// point, once for the timer's until the links left out change.
TEST_F(BackupOperations, APointThatLeavesOutALinkSaysSoOnScreen) {
  host.disk.links.insert(std::string(kLive) + "\\SaveGames\\0\\W\\Mods");
  host.AddFile(std::string(kLive) + "\\SaveGames\\0\\W\\Level.sav", "world");
  const std::string leftOut = std::string(kLeftOutMessage) + "\r\n SaveGames\\0\\W\\Mods";
  OnCreateBackupClicked(host, host, kPlaces, {}, [] {});
  AutoBackupRecord record;
  for (int tick = 0; tick < 2; ++tick) MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  host.disk.links.insert(std::string(kLive) + "\\SaveGames\\0\\W\\Players");
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);

  std::vector<std::string> shown;
  for (const auto& message : host.messages) shown.push_back(message.text);
  EXPECT_EQ(shown, (std::vector<std::string>{std::string(kBackupCreatedMessage) + "\r\n" + leftOut,
                                             leftOut, leftOut + "\r\n SaveGames\\0\\W\\Players"}));
}

// A point is not copied from a save the server writes as it starts or stops: it waits for the
// server to run (and then saves first) or to have stopped, or for the tool to cancel it.
TEST_F(BackupOperations, APointWaitsUntilTheServerRunsOrHasStopped) {
  const struct {
    const char* why;
    bool endsRunning;
    bool cancelled;
    std::vector<std::string> log;
  } cases[] = {
      {"starting, then running", true, false, {"wait", "wait", "save world", "copy"}},
      {"stopping, then stopped", false, false, {"wait", "wait", "copy"}},
      {"cancelled while it waits", false, true, {"wait"}},
  };
  for (const auto& c : cases) {
    FakeHost rig;
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
    rig.serverSettled = false;
    OnCreateBackupClicked(rig, rig, kPlaces, {}, [] {});
    if (c.cancelled) {
      rig.activity.RequestStop();
    } else {
      rig.WaitEnds();
      rig.serverSettled = true;
      rig.serverRunning = c.endsRunning;
    }
    rig.WaitEnds();
    // What happened before the save's files were first touched (linked or read).
    const auto copy = std::find_if(rig.log.begin(), rig.log.end(), [](const std::string& line) {
      return line.starts_with("copy ") || line.starts_with("link ");
    });
    std::vector<std::string> log(rig.log.begin(), copy);
    if (copy != rig.log.end()) log.push_back("copy");
    EXPECT_EQ(log, c.log) << c.why;
    EXPECT_EQ(rig.DirectoryExists(kPoint), !c.cancelled) << c.why;
    EXPECT_FALSE(rig.activity.Busy()) << c.why;
  }

  // The point a start asks for before its launch is copied at once: the server it would wait for
  // is starting only once this point is made.
  FakeHost rig;
  rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
  rig.serverSettled = false;
  bool made = false;
  MakePointBeforeChange(rig, kPlaces, {}, true, [&](bool ok) { made = ok; });
  EXPECT_TRUE(made);
  EXPECT_FALSE(rig.pendingWait);
}

TEST_F(BackupOperations, RestoreAnsweredYesStopsTheServerAndReplacesTheLiveSave) {
  MakeSelectedPoint();
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text,
            " 是否还原存档至备份点 《 2024年1月23日 - 13时:05分:09秒 》 \r\n"
            " ————————————\r\n 操作过程将会自动关闭服务端运行! \r\n"
            " (当前存档会先保存为一个还原前自动备份点) ");
  EXPECT_EQ(host.messages[0].title, " Revert");
  EXPECT_EQ(host.messages[0].style, PromptStyle::WarningQuestion);
  EXPECT_EQ(host.messages[1].text, " 还原完成 - 时间: 2024年1月23日 - 13时:05分:09秒");
  EXPECT_EQ(host.messages[1].title, " Success");
  EXPECT_EQ(host.messages[1].style, PromptStyle::Information);

  EXPECT_EQ(LiveFiles(),
            (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "old level"}}));
  // The server is stopped before the live save is touched, and nothing is left beside it. The
  // journal is written before the save moves and is gone at the end.
  EXPECT_EQ(host.log[1], "stop server");
  EXPECT_FALSE(host.DirectoryExists(std::string(kLive) + "_BeforeRevert"));
  const auto at = [&](const std::string& line) {
    return std::find(host.log.begin(), host.log.end(), line) - host.log.begin();
  };
  EXPECT_LT(at("write " + std::string(kJournal)),
            at("rename " + std::string(kLive) + " -> " + kLive + "_BeforeRevert"));
  EXPECT_FALSE(host.disk.Exists(kJournal));
}

// A mistaken Yes loses nothing: the save a restore replaces is first kept as a point of its own,
// listed like any other and never removed by retention; without it the restore does not go on.
TEST_F(BackupOperations, ARestoreFirstKeepsTheSaveItReplacesAsAPoint) {
  const std::string kept = "D:\\Host\\PaLWorld_Saved_Backups\\1705986310\\";
  const std::string unreadable = std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav";
  const struct {
    const char* why;
    std::function<void(FakeHost&)> disk;
    std::string failure;  // after the question; empty when the restore is done
  } cases[] = {
      {"kept", [](FakeHost&) {}, ""},
      {"no room for it", [](FakeHost& h) { h.disk.freeBytes = 0; },
       kKeepBeforeRestoreFailedMessage +
           std::string("磁盘空间不足, 需要 1073741845 字节, 可用 0 字节")},
      {"a file of it cannot be read", [&](FakeHost& h) { h.disk.unreadable.insert(unreadable); },
       kKeepBeforeRestoreFailedMessage + ("无法复制 " + unreadable + " (拒绝访问。 (0x80070005))")},
  };
  for (const auto& c : cases) {
    FakeHost rig;
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
    rig.AddFile(unreadable, "live player");
    rig.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Level.sav", "old level");
    rig.AddFile(std::string(kPoint) + "BackUP_Info.Dat", "2024年1月23日13时5分9秒");
    c.disk(rig);
    RestoreBackupPoint(rig, rig, kPlaces, kSelected);

    ASSERT_EQ(rig.messages.size(), 2u) << c.why;
    EXPECT_FALSE(rig.activity.Busy()) << c.why;
    if (!c.failure.empty()) {
      EXPECT_EQ(rig.messages[1].text, c.failure) << c.why;
      EXPECT_EQ(rig.FilesBelow(kLive), originalLive) << c.why;
      EXPECT_FALSE(rig.disk.Exists(kept)) << c.why;
      continue;
    }
    EXPECT_EQ(rig.FilesBelow(kept + "Saved"), originalLive) << c.why;
    const PointIndex index = rig.disk.ReadIndex(kept + "BackUP_Info.Dat");
    EXPECT_EQ(BackupPointFromIndex("1705986310", index.time, index.kind)->DisplayTime,
              "2024年1月23日 - 13时:05分:09秒 (还原前自动备份)");
    EXPECT_EQ(rig.events.lines.back(),
              "还原备份点 1705986309: 复制 1 个文件, 原存档已保存为还原前自动备份点 1705986310");
  }
}

// Cut short while the server stops (the stop cancelled by the closing tool, a stop that cannot
// begin, or the user closing and choosing to stop the restore), nothing is touched; only a
// cancelled stop leaves the operation to end with the tool.
TEST_F(BackupOperations, ARestoreCutShortByTheToolClosingLeavesTheLiveSaveAlone) {
  const struct {
    const char* why;
    std::function<void(FakeHost&)> whileStopping;
    bool endsNow;
  } cases[] = {
      {"stop cancelled", [](FakeHost&) {}, false},
      {"stop refused", [](FakeHost& h) { h.pendingStop(false); }, true},
      {"asked to stop",
       [](FakeHost& h) {
         h.activity.RequestStop();
         h.pendingStop(true);
       },
       true},
  };
  for (const auto& c : cases) {
    FakeHost rig;
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Players\\1.sav", "live player");
    rig.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Level.sav", "old level");
    rig.AddFile(std::string(kPoint) + "BackUP_Info.Dat", "2024年1月23日13时5分9秒");
    rig.holdStop = true;
    RestoreBackupPoint(rig, rig, kPlaces, kSelected);
    c.whileStopping(rig);
    EXPECT_EQ(rig.log.back(), "stop server") << c.why;
    EXPECT_EQ(rig.messages.size(), 1u) << c.why;
    EXPECT_EQ(rig.FilesBelow(kLive), originalLive) << c.why;
    EXPECT_EQ(rig.activity.Busy(), !c.endsNow) << c.why;
  }
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

// A point without its save, or whose save holds no world, is refused before the server stops or
// a file moves.
TEST_F(BackupOperations, ARestoreOfAPointWithoutAWorldKeepsTheServerAndTheLiveSave) {
  const struct {
    const char* pointFile;  // beside the index; none when empty
    const char* message;
  } cases[] = {
      {"", " 备份点数据不完整 - 已取消还原 "},
      {"Saved\\Config\\WindowsServer\\PalWorldSettings.ini",
       " 备份点中没有世界存档 (SaveGames) - 已取消还原 "},
  };
  for (const auto& c : cases) {
    FakeHost rig;
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
    rig.AddFile(std::string(kPoint) + "BackUP_Info.Dat", "2024年1月23日13时5分9秒");
    if (*c.pointFile) rig.AddFile(kPoint + std::string(c.pointFile), "");
    RestoreBackupPoint(rig, rig, kPlaces, kSelected);

    ASSERT_EQ(rig.messages.size(), 2u) << c.message;
    EXPECT_EQ(rig.messages[1].text, c.message);
    EXPECT_EQ(rig.messages[1].title, " Revert");
    EXPECT_EQ(rig.messages[1].style, PromptStyle::Error);
    EXPECT_EQ(rig.log.size(), 2u) << c.message;  // the two messages: no stop, no file touched
    EXPECT_EQ(rig.FilesBelow(kLive),
              (std::map<std::string, std::string>{{"\\SaveGames\\0\\Level.sav", "live level"}}));
  }
}

TEST_F(BackupOperations, ARestoreWhoseCopyFailsPutsTheLiveSaveBack) {
  MakeSelectedPoint();
  host.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav", "unreadable");
  host.disk.unreadable.insert(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav");
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
  host.disk.unreadable.insert(std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav");
  const std::string aside = std::string(kLive) + "_BeforeRevert";
  host.disk.unrenamable.insert(aside);
  RestoreBackupPoint(host, host, kPlaces, kSelected);

  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, " 还原失败 - 原存档保存在 " + aside);
  EXPECT_EQ(host.messages[1].style, PromptStyle::Error);
  EXPECT_EQ(host.FilesBelow(aside), originalLive);
  EXPECT_TRUE(host.disk.Exists(kJournal)) << "the next start tries again to put it back";
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
  host.disk.DeleteTree("D:\\Host\\PaLWorld_Data\\steamapps\\common\\PalServer\\Pal");
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

// The server is asked to write its world right before a point copies it, and only while it
// runs; the copy waits until the server has answered.
TEST_F(BackupOperations, TheWorldIsSavedBeforeTheCopyOnlyWhileTheServerRuns) {
  AutoBackupRecord record;
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "save world"), 0);

  host.serverRunning = true;
  host.holdSave = true;
  host.log.clear();
  OnCreateBackupClicked(host, host, kPlaces, {}, [] {});
  EXPECT_EQ(host.log, std::vector<std::string>{"save world"}) << "nothing copied before it";
  EXPECT_TRUE(host.activity.Busy());
  host.pendingSave();
  ASSERT_GT(host.log.size(), 2u);
  EXPECT_TRUE(host.log[1].starts_with("link ") || host.log[1].starts_with("copy ")) << host.log[1];
  EXPECT_EQ(host.messages.back().text, " 已创建现行备份点数据 ");
  EXPECT_FALSE(host.activity.Busy());
}

// One operation at a time: while a point is copied, a click on create, restore or delete is
// refused with a message and a tick of the automatic backup passes quietly.
TEST_F(BackupOperations, AnotherOperationWhileOneRunsIsRefused) {
  MakeSelectedPoint();
  host.holdBackground = true;
  AutoBackupRecord record;
  int refreshes = 0;
  OnCreateBackupClicked(host, host, kPlaces, {}, [&] { ++refreshes; });
  ASSERT_TRUE(host.activity.Busy());
  EXPECT_EQ(host.activity.Task(), BackupTask::Point);

  OnCreateBackupClicked(host, host, kPlaces, {}, [&] { ++refreshes; });
  DeleteBackupPoint(host, host, kPlaces, kSelected, [&] { ++refreshes; });
  RestoreBackupPoint(host, host, kPlaces, kSelected);
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  std::vector<std::string> refusals;
  for (const auto& message : host.messages) {
    if (message.style == PromptStyle::Information) refusals.push_back(message.title);
  }
  EXPECT_EQ(refusals, (std::vector<std::string>{" BackUp", " Delete", " Revert"}));
  EXPECT_EQ(host.messages[0].text, " 另一项备份操作正在进行 - 请稍后再试 ");
  EXPECT_EQ(host.events.lines.back(), "自动备份跳过: 另一项备份操作正在进行");
  bool madeBeforeChange = true;
  MakePointBeforeChange(host, kPlaces, {}, false, [&](bool made) { madeBeforeChange = made; });
  EXPECT_FALSE(madeBeforeChange);
  EXPECT_EQ(host.held.size(), 1u) << "only the first operation does any work";
  EXPECT_EQ(LiveFiles(), originalLive) << "the refused restore touched nothing";
  EXPECT_TRUE(host.DirectoryExists(kPoint)) << "the refused delete touched nothing";

  host.FinishHeld();
  EXPECT_FALSE(host.activity.Busy());
  EXPECT_EQ(host.messages.back().text, " 已创建现行备份点数据 ");
  EXPECT_EQ(refreshes, 1);
}

TEST_F(BackupOperations, AFullDiskMakesNoPointAndTheAutomaticBackupSaysSoOnce) {
  host.disk.freeBytes = 1000;
  OnCreateBackupClicked(host, host, kPlaces, {}, [] {});
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, " 磁盘空间不足 - 未创建备份点 ");
  EXPECT_EQ(host.messages[0].title, " BackUp");
  EXPECT_EQ(host.messages[0].style, PromptStyle::Error);
  EXPECT_FALSE(host.DirectoryExists("D:\\Host\\PaLWorld_Saved_Backups"));
  EXPECT_TRUE(host.events.lines.back().starts_with("创建备份点失败 (手动): 磁盘空间不足, 需要 "))
      << host.events.lines.back();

  AutoBackupRecord record;
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].text, " 磁盘空间不足 - 未创建备份点 ");
  // A failed copy after a full disk belongs to the same run of failures: still one message.
  host.disk.freeBytes.reset();
  host.disk.unreadable.insert(std::string(kLive) + "\\SaveGames\\0\\Level.sav");
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  EXPECT_EQ(host.messages.size(), 2u);
}

// The event log says why a restore or a deletion failed, in the words the disk gave.
TEST_F(BackupOperations, AFailedRestoreOrDeletionIsLoggedWithItsCause) {
  const std::string unreadable = std::string(kPointSaved) + "\\SaveGames\\0\\Players\\2.sav";
  const std::string held = std::string(kPoint) + "Saved\\SaveGames\\0\\Level.sav";
  struct Case {
    const char* why;
    std::function<void(FakeHost&)> act;
    std::string event;
  };
  const Case cases[] = {
      {"a file of the point cannot be read",
       [&](FakeHost& h) {
         h.AddFile(unreadable, "unreadable");
         h.disk.unreadable.insert(unreadable);
         RestoreBackupPoint(h, h, kPlaces, kSelected);
       },
       "还原备份点 1705986309 失败: 无法复制 " + unreadable +
           " (拒绝访问。 (0x80070005)), 原存档已放回"},
      {"a file of the point is held open",
       [&](FakeHost& h) {
         h.AddFile(held, "world");
         h.disk.heldOpen.insert(held);
         DeleteBackupPoint(h, h, kPlaces, kSelected, [] {});
       },
       "备份点 1705986309 未能完全删除 (另一个程序正在使用此文件，进程无法访问。 (0x80070020))"},
  };
  for (const Case& c : cases) {
    FakeHost rig;
    rig.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live");
    rig.AddFile(std::string(kPoint) + "BackUP_Info.Dat", "2024年1月23日13时5分9秒");
    rig.AddFile(std::string(kPointSaved) + "\\SaveGames\\0\\Level.sav", "saved");
    c.act(rig);
    ASSERT_FALSE(rig.events.lines.empty()) << c.why;
    EXPECT_EQ(rig.events.lines.back(), c.event) << c.why;
  }
}

TEST_F(BackupOperations, EveryPointAndEveryRemovalIsInTheEventLog) {
  AutoBackupRecord record;
  host.disk.clock = {LocalDateTime{2024, 1, 23, 13, 5, 9, 0}};
  MakeAutomaticBackupPoint(host, host, kPlaces, {}, record);
  host.AddFile(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "played on", 2);
  host.disk.links.insert(std::string(kLive) + "\\Mods");
  host.disk.clock = {LocalDateTime{2024, 1, 23, 13, 6, 0, 0}};
  MakeAutomaticBackupPoint(host, host, kPlaces, {1, 0}, record);

  ASSERT_EQ(host.events.lines.size(), 4u);
  EXPECT_EQ(host.events.lines[0],
            "创建备份点 1705986309 (自动): 复制 2 个文件, 链接 0 个未改动的文件, 复制 21 字节, "
            "用时 5 毫秒");
  EXPECT_EQ(host.events.lines[1],
            "创建备份点 1705986360 (自动): 复制 1 个文件, 链接 1 个未改动的文件, 复制 9 字节, "
            "用时 5 毫秒");
  EXPECT_EQ(host.events.lines[2], "备份点 1705986360 未包含链接 Mods (链接不跟随, 不复制)");
  EXPECT_EQ(host.events.lines[3], "按保留设置删除自动备份点 1705986309");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, std::string(kLeftOutMessage) + "\r\n Mods");
}

// Closing the tool stops the copy: no point, no half point and no message.
TEST_F(BackupOperations, AStoppedPointLeavesNothingAndSaysNothing) {
  host.holdBackground = true;
  OnCreateBackupClicked(host, host, kPlaces, {}, [] {});
  host.activity.RequestStop();
  host.FinishHeld();
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(host.disk.FilesBelow("D:\\Host\\PaLWorld_Saved_Backups").empty());
  EXPECT_FALSE(host.activity.Busy());
  EXPECT_EQ(host.events.lines.back(), "创建备份点已取消 (手动)");
}

TEST_F(BackupOperations, AStoppedRestorePutsTheLiveSaveBackQuietly) {
  MakeSelectedPoint();
  host.holdBackground = true;
  RestoreBackupPoint(host, host, kPlaces, kSelected);
  EXPECT_EQ(host.activity.Task(), BackupTask::Restore);
  host.RunOneHeld();  // the point that keeps the live save
  EXPECT_FALSE(host.DirectoryExists(kLive)) << "set aside while the copy runs";
  host.activity.RequestStop();
  host.FinishHeld();
  EXPECT_EQ(LiveFiles(), originalLive);
  EXPECT_EQ(host.messages.size(), 1u) << "only the question";
  EXPECT_FALSE(host.activity.Busy());
}

TEST_F(BackupOperations, AtStartUpUnfinishedPointsGoInTheBackground) {
  host.AddFile("D:\\Host\\PaLWorld_Saved_Backups\\1705986300.partial\\Saved\\Level.sav", "half");
  MakeSelectedPoint();
  host.holdBackground = true;
  RemoveUnfinishedPointsLater(host, kTool);
  EXPECT_TRUE(host.DirectoryExists("D:\\Host\\PaLWorld_Saved_Backups\\1705986300.partial"));
  EXPECT_FALSE(host.activity.Busy()) << "the user is not kept waiting for it";
  host.FinishHeld();
  EXPECT_FALSE(host.DirectoryExists("D:\\Host\\PaLWorld_Saved_Backups\\1705986300.partial"));
  EXPECT_TRUE(host.DirectoryExists(kPoint));
  EXPECT_EQ(host.events.lines,
            std::vector<std::string>{"删除上次未完成的备份点 1705986300.partial"});
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
