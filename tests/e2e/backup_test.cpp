// Backups of a running fixture server's save: made by hand and on the timer, restored and
// refused, with the real tool and its message boxes.

#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <vector>

#include "app/main_controls.h"
#include "backup/backup_manager_win.h"
#include "backup/folder_tree_win.h"
#include "backup/backup_time.h"
#include "platform/codepage_win.h"
#include "platform/directory_listing_win.h"
#include "platform/process_win.h"
#include "platform/text.h"
#include "platform/unique_handle_win.h"
#include "server/server_world.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kServerDir[] = "PaLWorld_Data\\steamapps\\common\\PalServer";
constexpr char kLive[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved";
constexpr char kLevel[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved\\SaveGames\\0\\"
    "World\\Level.sav";
constexpr char kBackups[] = "PaLWorld_Saved_Backups";

int Id(MainControl control) {
  return static_cast<int>(control);
}
int Id(BackupManagerControl control) {
  return static_cast<int>(control);
}

std::vector<std::string> Subdirectories(const std::string& path) {
  std::vector<std::string> names;
  ListDirectories(path, names, false);
  return names;
}

class BackupEndToEnd : public ::testing::Test {
 protected:
  ~BackupEndToEnd() override {
    // The tool leaves its server running when it goes; the test must not.
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
      if (!ServerImage(entry.th32ProcessID)) continue;
      UniqueHandle process(
          ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
      if (process && ::TerminateProcess(process.get(), 1)) {
        ::WaitForSingleObject(process.get(), 5000);
      }
    }
    // Thousands of files go far quicker this way than through the shell, which the temporary
    // directory uses for the rest.
    if (manyFiles) {
      tool.reset();
      DeleteDirectoryTree(directory.File(kBackups), ReadOnlyFiles::Delete);
      DeleteDirectoryTree(directory.File(kLive), ReadOnlyFiles::Delete);
    }
  }

  // Whether the process runs from this test's server directory.
  bool ServerImage(DWORD id) const {
    UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, image, &length)) return false;
    const std::wstring prefix = Widen(directory.File(kServerDir) + "\\");
    return ::CompareStringOrdinal(image, static_cast<int>(prefix.size()), prefix.c_str(),
                                  static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
  }

  bool ServerRunning() const {
    UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
      if (ServerImage(entry.th32ProcessID)) return true;
    }
    return false;
  }

  void Prepare(bool autoBackup, std::string_view minutes = "1", std::string_view extension = "") {
    directory.InstallTool();
    directory.InstallFixture("taskkill.exe");
    directory.InstallFixture("PalServer.exe", kServerDir);
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", kServerDir);
    const std::string settings =
        "[服务端运行控制]\r\nHide_ServerConsole=0\r\nAuto_CheckServer=0\r\nCrash_Autorun=0\r\n"
        "Timeer_Autorestart=0\r\nUse_4To_optimize=0\r\nTimeer_Autobackup_Saved=" +
        std::string(autoBackup ? "1" : "0") +
        "\r\nTimeer_Autobackup_Saved_Min=" + std::string(minutes) +
        "\r\n"
        "[服务器启动参数]\r\nPort_Game=8211\r\nPort_SteamList=27015\r\nMax_Player=32\r\n"
        "Admin_Password=admin-e2e-pw\r\nServer_Name=E2E Host\r\nOpen_community=1\r\n"
        "Connect_Password=\r\n" +
        std::string(extension);
    directory.WriteBytes("PaLWorld_Data\\PaLWorld_Tools.ini", Utf8ToGbk(settings));
  }

  void OpenTool() {
    tool.emplace(directory);
    window = tool->WaitForMainWindow();
    ASSERT_NE(window, nullptr);
  }

  void StartServer() {
    ClickControl(window, Id(MainControl::StartButton));
    ASSERT_TRUE(WaitUntil(
        [&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; }));
    ASSERT_TRUE(WaitUntil([&] { return directory.Exists(kLevel); }));
  }

  void OpenManager() {
    PressLabel(window, Id(MainControl::BackupManagerLabel));
    manager = WaitForWindowOfProcess(tool->Id(), kBackupManagerTitle);
    ASSERT_NE(manager, nullptr);
    WaitForList();
  }

  // The list is filled just after the window shows and after each create; a click before that
  // finds no selection. Unfinished points are never listed (one may still be on its way out).
  void WaitForList() {
    const HWND list = ::GetDlgItem(manager, Id(BackupManagerControl::List));
    std::vector<std::string> folders = Subdirectories(directory.File(kBackups));
    std::erase_if(folders, [](const std::string& name) { return name.ends_with(".partial"); });
    const size_t onDisk = folders.size();
    ASSERT_TRUE(WaitUntil([&] {
      return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(onDisk) &&
             (onDisk == 0 || ::SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 0);
    }));
  }

  // Clicks a button of the backup manager and returns the message box it opens.
  SeenMessageBox ClickForMessage(BackupManagerControl button) {
    ClickControl(manager, Id(button));
    std::optional<SeenMessageBox> box = WaitForMessageBox(tool->Id());
    EXPECT_TRUE(box);
    return box.value_or(SeenMessageBox{});
  }

  // A point of thousands of files takes a while under Wine: each gets a second name and loses it.
  void CreatePoint() {
    ClickControl(manager, Id(BackupManagerControl::CreateButton));
    const std::optional<SeenMessageBox> done =
        WaitForMessageBox(tool->Id(), std::chrono::seconds(60));
    ASSERT_TRUE(done);
    EXPECT_EQ(done->text, " 已创建现行备份点数据 ");
    AnswerMessageBox(*done, IDOK);
    WaitForList();
  }

  // The display time of a point as the list shows it, from its index file.
  std::string DisplayTimeOf(const std::string& folder) const {
    const std::string index =
        GbkToUtf8(directory.ReadBytes(std::string(kBackups) + "\\" + folder + "\\BackUP_Info.Dat"));
    const size_t time = index.find("Time=");
    const std::optional<LocalDateTime> parsed =
        TextToDateTime(index.substr(time + 5, index.find('\r', time) - time - 5));
    return parsed ? DisplayTimeText(*parsed) : std::string();
  }

  // Files beside the server's own save, so a copy takes a while under Wine (about 0.4 ms a
  // file). They are names of one file, which is much quicker to set up than writing each; the
  // engine copies each name all the same.
  void AddManyFiles(int count = 1500) {
    manyFiles = true;
    // A point holds a world, or it is none.
    if (!directory.Exists(kLevel)) directory.WriteBytes(kLevel, "world");
    const std::string many = std::string(kLive) + "\\SaveGames\\0\\Many\\";
    directory.WriteBytes(many + "0\\0.sav", std::string(16 * 1024, 'x'));
    const std::wstring first = Widen(directory.File(many + "0\\0.sav"));
    for (int i = 1; i < count; ++i) {
      const std::string folder = directory.File(many + std::to_string(i % 30));
      ::CreateDirectoryW(Widen(folder).c_str(), nullptr);
      ::CreateHardLinkW(Widen(folder + "\\" + std::to_string(i) + ".sav").c_str(), first.c_str(),
                        nullptr);
    }
  }

  // The complete points below the backup root (what the list would show), in name order.
  std::vector<std::string> CompletePoints() const {
    std::vector<std::string> points;
    for (const std::string& name : Subdirectories(directory.File(kBackups))) {
      if (!name.ends_with(".partial") &&
          directory.Exists(std::string(kBackups) + "\\" + name + "\\BackUP_Info.Dat")) {
        points.push_back(name);
      }
    }
    std::sort(points.begin(), points.end());
    return points;
  }
  bool AnyUnfinishedPoint() const {
    for (const std::string& name : Subdirectories(directory.File(kBackups))) {
      if (name.ends_with(".partial")) return true;
    }
    return false;
  }
  std::string ProgressText() const {
    return ControlText(manager, Id(BackupManagerControl::ProgressText));
  }
  // "已复制 n/N 个文件" with the copy under way: some files done, not all.
  bool CopyUnderWay(int atLeast = 1) const {
    int done = 0, total = 0;
    const std::string text = ProgressText();
    return std::sscanf(text.c_str(), "已复制 %d/%d 个文件", &done, &total) == 2 &&
           done >= atLeast && done < total;
  }
  std::string IndexOf(const std::string& point) const {
    return GbkToUtf8(
        directory.ReadBytes(std::string(kBackups) + "\\" + point + "\\BackUP_Info.Dat"));
  }

  std::string Question(const std::string& displayTime) const {
    return " 是否还原存档至备份点 《 " + displayTime + " 》 \r\n ————————————\r\n" +
           " 操作过程将会自动关闭服务端运行! \r\n (当前存档会先保存为一个还原前自动备份点) ";
  }

  TempToolDirectory directory{"backup"};
  std::optional<ToolProcess> tool;
  HWND window = nullptr;
  HWND manager = nullptr;
  bool manyFiles = false;
};

TEST_F(BackupEndToEnd, RestoreAnsweredYesStopsTheServerAndBringsBackThePointsSave) {
  Prepare(false);
  OpenTool();
  StartServer();
  OpenManager();
  CreatePoint();
  const std::vector<std::string> points = Subdirectories(directory.File(kBackups));
  ASSERT_EQ(points.size(), 1u);
  const std::string pointSave = directory.ReadBytes(kLevel);
  directory.WriteBytes(kLevel, "played on");
  directory.WriteBytes(std::string(kLive) + "\\SaveGames\\0\\World\\new.sav", "new");

  const SeenMessageBox question = ClickForMessage(BackupManagerControl::RestoreButton);
  EXPECT_EQ(question.text, Question(DisplayTimeOf(points[0])));
  EXPECT_EQ(question.title, " Revert");
  AnswerMessageBox(question, IDYES);
  std::optional<SeenMessageBox> done = WaitForMessageBox(tool->Id(), std::chrono::seconds(40));
  ASSERT_TRUE(done) << ServerRunning() << " " << ControlText(window, Id(MainControl::StartButton))
                    << " "
                    << JoinTexts(Subdirectories(
                           directory.File("PaLWorld_Data\\steamapps\\common\\PalServer\\Pal")));
  EXPECT_EQ(done->text, " 还原完成 - 时间: " + DisplayTimeOf(points[0]));
  EXPECT_EQ(done->title, " Success");
  AnswerMessageBox(*done, IDOK);

  EXPECT_TRUE(WaitUntil([&] { return !ServerRunning(); }));
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStartCaption);
  EXPECT_EQ(directory.ReadBytes(kLevel), pointSave);
  EXPECT_FALSE(directory.Exists(std::string(kLive) + "\\SaveGames\\0\\World\\new.sav"));
  EXPECT_EQ(Subdirectories(directory.File("PaLWorld_Data\\steamapps\\common\\PalServer\\Pal")),
            std::vector<std::string>{"Saved"});
}

// A server left running by an earlier run of the tool is taken over at start-up, so a restore
// stops it before it replaces the save under it.
TEST_F(BackupEndToEnd, ARestoreStopsAServerLeftByAnEarlierRun) {
  Prepare(false);
  const std::string point = std::string(kBackups) + "\\1705986309";
  directory.WriteBytes(point + "\\BackUP_Info.Dat",
                       Utf8ToGbk("[INFO]\r\nTime=2024年1月23日13时5分9秒\r\n"));
  directory.WriteBytes(point + "\\Saved\\SaveGames\\0\\World\\Level.sav", "old level");
  const std::string serverDir = directory.File(kServerDir);
  ASSERT_NE(
      LaunchProcess(serverDir + "\\PalServer.exe", "\"PalServer.exe\"", false, 6, serverDir + "\\"),
      0u);
  ASSERT_TRUE(WaitUntil([&] { return directory.Exists(kLevel); }));

  OpenTool();
  ASSERT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; }));
  OpenManager();
  AnswerMessageBox(ClickForMessage(BackupManagerControl::RestoreButton), IDYES);
  std::optional<SeenMessageBox> done = WaitForMessageBox(tool->Id(), std::chrono::seconds(40));
  ASSERT_TRUE(done);
  EXPECT_EQ(done->text, " 还原完成 - 时间: 2024年1月23日 - 13时:05分:09秒");
  AnswerMessageBox(*done, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !ServerRunning(); }));
  EXPECT_EQ(directory.ReadBytes(kLevel), "old level");
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStartCaption);
}

TEST_F(BackupEndToEnd, RestoreAnsweredNoChangesNothing) {
  Prepare(false);
  OpenTool();
  StartServer();
  OpenManager();
  CreatePoint();
  directory.WriteBytes(kLevel, "played on");

  AnswerMessageBox(ClickForMessage(BackupManagerControl::RestoreButton), IDNO);
  EXPECT_EQ(directory.ReadBytes(kLevel), "played on");
  EXPECT_TRUE(ServerRunning());
  EXPECT_EQ(ControlText(window, Id(MainControl::StartButton)), kStopCaption);
}

TEST_F(BackupEndToEnd, RestoreFromAPointWithoutSavedKeepsTheLiveSaveAndTheServer) {
  Prepare(false);
  directory.WriteBytes(std::string(kBackups) + "\\1705986309\\BackUP_Info.Dat",
                       Utf8ToGbk("[INFO]\r\nTime=2024年1月23日13时5分9秒\r\n"));
  OpenTool();
  StartServer();
  const std::string live = directory.ReadBytes(kLevel);
  OpenManager();

  AnswerMessageBox(ClickForMessage(BackupManagerControl::RestoreButton), IDYES);
  std::optional<SeenMessageBox> refused = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->text, " 备份点数据不完整 - 已取消还原 ");
  EXPECT_EQ(refused->title, " Revert");
  AnswerMessageBox(*refused, IDOK);
  EXPECT_EQ(directory.ReadBytes(kLevel), live);
  EXPECT_TRUE(ServerRunning());
}

TEST_F(BackupEndToEnd, ARestoreWhoseCopyFailsKeepsTheLiveSave) {
  Prepare(false);
  directory.WriteBytes(std::string(kBackups) + "\\1705986309\\BackUP_Info.Dat",
                       Utf8ToGbk("[INFO]\r\nTime=2024年1月23日13时5分9秒\r\n"));
  directory.WriteBytes(
      std::string(kBackups) + "\\1705986309\\Saved\\SaveGames\\0\\World\\Level.sav", "old level");
  directory.WriteBytes(std::string(kBackups) + "\\1705986309\\Saved\\unreadable.sav", "held");
  OpenTool();
  StartServer();
  const std::string live = directory.ReadBytes(kLevel);
  OpenManager();

  // Held open without sharing by this test, so the tool cannot read it.
  UniqueFileHandle held(::CreateFileW(
      Widen(directory.File(std::string(kBackups) + "\\1705986309\\Saved\\unreadable.sav")).c_str(),
      GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  AnswerMessageBox(ClickForMessage(BackupManagerControl::RestoreButton), IDYES);
  std::optional<SeenMessageBox> failed = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(failed);
  EXPECT_EQ(failed->text, " 还原失败 - 原存档已保留 ");
  EXPECT_EQ(failed->title, " Revert");
  AnswerMessageBox(*failed, IDOK);
  EXPECT_EQ(directory.ReadBytes(kLevel), live);
  EXPECT_EQ(Subdirectories(directory.File("PaLWorld_Data\\steamapps\\common\\PalServer\\Pal")),
            std::vector<std::string>{"Saved"});
}

TEST_F(BackupEndToEnd, TheTimerMakesPointsWhileTheServerRunsAndNoneWhileItIsStopped) {
  Prepare(true);
  OpenTool();
  StartServer();
  // The shortest interval the settings take is one minute. A point is complete once it is
  // renamed from its unfinished name, which happens last, after its index is written.
  std::vector<std::string> points;
  ASSERT_TRUE(
      WaitUntil([&] { return (points = CompletePoints()).size() == 1; }, std::chrono::seconds(90)))
      << directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
  const std::string& point = points[0];
  EXPECT_EQ(directory.ReadBytes(std::string(kBackups) + "\\" + point +
                                "\\Saved\\SaveGames\\0\\World\\Level.sav"),
            directory.ReadBytes(kLevel));

  ClickControl(window, Id(MainControl::StartButton));
  std::optional<SeenMessageBox> stop = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(stop);
  AnswerMessageBox(*stop, IDYES);
  // A stop may wait out the limit of a request the server never answers (30 s for the save).
  ASSERT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStartCaption; },
                std::chrono::seconds(70)))
      << directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
  // A tick delivered at once instead of waiting another minute.
  DWORD_PTR unused = 0;
  ::SendMessageTimeoutW(window, WM_TIMER, Id(MainControl::AutoBackupTimer), 0, SMTO_ABORTIFHUNG,
                        15000, &unused);
  EXPECT_EQ(Subdirectories(directory.File(kBackups)).size(), 1u);
}

// Four automatic points with Backup_Keep=2: the newest two stay, and so does every manual point.
TEST_F(BackupEndToEnd, RetentionKeepsTheNewestAutomaticPointsAndEveryManualOne) {
  Prepare(true, "30", "[扩展设置]\r\nBackup_Keep=2\r\nBackup_Keep_Days=0\r\n");
  OpenTool();
  StartServer();
  OpenManager();
  CreatePoint();
  const std::vector<std::string> manual = CompletePoints();
  ASSERT_EQ(manual.size(), 1u);

  std::set<std::string> seen(manual.begin(), manual.end());
  std::vector<std::string> automatic;
  for (int tick = 0; tick < 4; ++tick) {
    // A tick delivered at once instead of waiting half an hour.
    DWORD_PTR unused = 0;
    ::SendMessageTimeoutW(window, WM_TIMER, Id(MainControl::AutoBackupTimer), 0, SMTO_ABORTIFHUNG,
                          15000, &unused);
    // The point is in place before the tool hears that its copy ended; a tick in between would
    // find the operation still under way. The manager's buttons come back once it has heard.
    std::string made;
    ASSERT_TRUE(WaitUntil([&] {
      for (const std::string& name : CompletePoints()) {
        if (!seen.contains(name)) made = name;
      }
      return !made.empty() && !AnyUnfinishedPoint() &&
             ::IsWindowEnabled(::GetDlgItem(manager, Id(BackupManagerControl::CreateButton)));
    })) << tick
        << " " << JoinTexts(Subdirectories(directory.File(kBackups))) << "\n"
        << directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
    seen.insert(made);
    automatic.push_back(made);
    EXPECT_NE(IndexOf(made).find("Kind=Auto"), std::string::npos) << IndexOf(made);
  }
  // The last point's retention runs right after it is renamed into place.
  ASSERT_TRUE(WaitUntil([&] { return CompletePoints().size() == 3; }))
      << JoinTexts(CompletePoints());
  std::vector<std::string> expected = {manual[0], automatic[2], automatic[3]};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(CompletePoints(), expected);
  EXPECT_NE(IndexOf(manual[0]).find("Kind=Manual"), std::string::npos);
  // The tool writes its log from a thread of its own, a moment after the folders went.
  std::string log;
  EXPECT_TRUE(WaitUntil([&] {
    log = directory.ReadBytes("PaLWorld_Data\\Tidemoor.log");
    return log.find("按保留设置删除自动备份点 " + automatic[0]) != std::string::npos &&
           log.find("按保留设置删除自动备份点 " + automatic[1]) != std::string::npos;
  })) << log;
}

// During a long copy the progress shows, both windows keep answering, and the buttons wait.
TEST_F(BackupEndToEnd, ALargeCopyShowsItsProgressWhileTheWindowsAnswer) {
  Prepare(false);
  AddManyFiles();
  OpenTool();
  OpenManager();
  ClickControl(manager, Id(BackupManagerControl::CreateButton));
  ASSERT_TRUE(WaitUntil([&] { return CopyUnderWay(); }, std::chrono::seconds(30)))
      << ProgressText();
  int answered = 0;
  for (const HWND target : {manager, window}) {
    DWORD_PTR result = 0;
    answered += ::SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 300, &result) != 0;
  }
  EXPECT_EQ(answered, 2);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(manager, Id(BackupManagerControl::CreateButton))));
  EXPECT_TRUE(CopyUnderWay()) << "the copy was still running when the windows answered";

  std::optional<SeenMessageBox> done = WaitForMessageBox(tool->Id(), std::chrono::seconds(60));
  ASSERT_TRUE(done);
  EXPECT_EQ(done->text, " 已创建现行备份点数据 ");
  AnswerMessageBox(*done, IDOK);
  EXPECT_EQ(CompletePoints().size(), 1u);
  EXPECT_EQ(ProgressText(), "");
}

// A tool killed in the middle of a copy leaves nothing half done once it starts again: a point
// cut off is never listed and goes; a restore cut off, with half a save where the server looks, is
// undone before anything else runs by putting back the save it had set aside.
TEST_F(BackupEndToEnd, ACopyCutOffByAKillIsUndoneAtTheNextStart) {
  Prepare(false);
  AddManyFiles(5000);
  OpenTool();
  OpenManager();
  ClickControl(manager, Id(BackupManagerControl::CreateButton));
  ASSERT_TRUE(WaitUntil([&] { return CopyUnderWay(100); }, std::chrono::seconds(30)))
      << ProgressText();
  ::TerminateProcess(tool->Handle(), 1);
  ASSERT_TRUE(tool->WaitForExit());
  ASSERT_TRUE(AnyUnfinishedPoint());
  EXPECT_TRUE(CompletePoints().empty());

  OpenTool();
  OpenManager();
  EXPECT_EQ(
      ::SendMessageW(::GetDlgItem(manager, Id(BackupManagerControl::List)), LVM_GETITEMCOUNT, 0, 0),
      0);
  EXPECT_TRUE(WaitUntil([&] { return !AnyUnfinishedPoint(); }));
  EXPECT_TRUE(WaitUntil([&] {
    return directory.ReadBytes("PaLWorld_Data\\Tidemoor.log").find("删除上次未完成的备份点 ") !=
           std::string::npos;
  }));

  CreatePoint();
  directory.WriteBytes(kLevel, "played on");
  const std::string aside = std::string(kLive) + "_BeforeRevert";
  AnswerMessageBox(ClickForMessage(BackupManagerControl::RestoreButton), IDYES);
  ASSERT_TRUE(WaitUntil([&] { return directory.Exists(aside) && CopyUnderWay(100); },
                        std::chrono::seconds(60)))
      << ProgressText();
  ::TerminateProcess(tool->Handle(), 1);
  ASSERT_TRUE(tool->WaitForExit());
  ASSERT_TRUE(directory.Exists("PaLWorld_Data\\Restore.journal"));

  OpenTool();
  EXPECT_EQ(directory.ReadBytes(kLevel), "played on");
  EXPECT_FALSE(directory.Exists(aside));
  EXPECT_FALSE(directory.Exists("PaLWorld_Data\\Restore.journal"));
  EXPECT_TRUE(WaitUntil([&] {
    return directory.ReadBytes("PaLWorld_Data\\Tidemoor.log")
               .find("被中断: 已删除未完成的还原并放回原存档") != std::string::npos;
  }));
}

// The game saves a world by writing Level.sav.tmp, deleting Level.sav and renaming the new file
// into its place; a save that fails can bring the server down. The server saves over and over
// while a point is copied: none of its deletes or renames fails, and the point holds the world as
// it was when the point began, whole.
TEST_F(BackupEndToEnd, APointMadeWhileTheWorldIsSavedNeverMakesTheSaveFail) {
  Prepare(false);
  directory.InstallFixture("SaveWriter.exe");
  // An older world the host keeps, and the game's own snapshots of it: 160 MiB in 645 files the
  // copy goes through before it reaches the world the server plays.
  const std::string saves = std::string(kLive) + "\\SaveGames\\0\\";
  for (int world = 0; world < 5; ++world) {
    const std::string folder =
        saves + "0B5C1E7A\\" + (world ? "backup\\world\\" + std::to_string(world) + "\\" : "");
    directory.WriteBytes(folder + "Level.sav", std::string(16 << 20, 'o'));
    for (int player = 0; player < 128; ++player) {
      directory.WriteBytes(folder + "Players\\" + std::to_string(player) + ".sav",
                           std::string(128 << 10, 'p'));
    }
  }
  directory.WriteBytes(saves + "World\\Players\\0.sav", "player");
  UniqueProcessInformation writer;
  ASSERT_NE(LaunchProcess(directory.File("SaveWriter.exe"),
                          "\"SaveWriter.exe\" \"" + directory.File(kLevel) + "\" 40", false,
                          SW_HIDE, directory.Path(), &writer),
            0u);
  const auto writerLog = [&] { return directory.ReadBytes("save-writer.txt"); };
  ASSERT_TRUE(WaitUntil([&] { return writerLog().find("ready") != std::string::npos; }));
  OpenTool();
  OpenManager();
  ClickControl(manager, Id(BackupManagerControl::CreateButton));
  // The server saves again and again from the moment the point has begun to copy: the point found
  // the world in place, not between a delete and its rename, and must hold that very version.
  ASSERT_TRUE(WaitUntil([&] { return CopyUnderWay(); }, std::chrono::seconds(30)))
      << ProgressText();
  directory.WriteBytes("save-writer.go", "");
  std::optional<SeenMessageBox> done = WaitForMessageBox(tool->Id(), std::chrono::seconds(120));
  const std::string untilDone = writerLog();
  directory.WriteBytes("save-writer.stop", "");
  ASSERT_EQ(::WaitForSingleObject(writer.process.get(), 30000), WAIT_OBJECT_0);
  ASSERT_TRUE(done);
  EXPECT_EQ(done->text, " 已创建现行备份点数据 ");
  AnswerMessageBox(*done, IDOK);

  EXPECT_EQ(writerLog().find("failed"), std::string::npos) << writerLog();
  EXPECT_NE(untilDone.find("version B"), std::string::npos) << "not saved during the copy";
  ASSERT_EQ(CompletePoints().size(), 1u);
  const std::string point = std::string(kBackups) + "\\" + CompletePoints()[0];
  const std::string copy = directory.ReadBytes(point + "\\Saved\\SaveGames\\0\\World\\Level.sav");
  EXPECT_EQ(copy.size(), size_t{40} << 20);
  EXPECT_EQ(copy.find_first_not_of('A'), std::string::npos) << "not the first version throughout";
  EXPECT_EQ(Subdirectories(directory.File(point)), std::vector<std::string>{"Saved"})
      << "the snapshot of the live files stays behind";
}

// Closing during a copy asks. Cancelling closes at once and leaves no point behind; waiting lets
// the point finish and then closes.
TEST_F(BackupEndToEnd, ClosingDuringACopyAsksWhetherToWaitOrCancel) {
  Prepare(false);
  // The copy (about five seconds) must outlast the question's coming up and being answered, also
  // on a machine busy with other work, where the copy's thread can outrun the test's.
  AddManyFiles(12000);
  const auto closeDuringCopy = [&](int answer) {
    OpenTool();
    OpenManager();
    ClickControl(manager, Id(BackupManagerControl::CreateButton));
    ASSERT_TRUE(WaitUntil([&] { return CopyUnderWay(); }, std::chrono::seconds(30)))
        << ProgressText();
    CloseToolWindow(window);
    std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
    ASSERT_TRUE(question);
    EXPECT_EQ(question->text,
              " 备份操作尚未完成 - 是否等待其完成后再退出? \r\n"
              " 选择“否”将取消该操作并退出 (已有的存档和备份点保持不变) ");
    EXPECT_EQ(question->title, " Quiz");
    AnswerMessageBox(*question, answer);
    ASSERT_TRUE(tool->WaitForExit(std::chrono::seconds(60)));
  };

  closeDuringCopy(IDNO);
  EXPECT_TRUE(CompletePoints().empty());
  EXPECT_FALSE(AnyUnfinishedPoint());
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\Tidemoor.log").find("创建备份点已取消 (手动)"),
            std::string::npos);

  // Whether the copy ends before or after the answer, the tool closes with the point made.
  closeDuringCopy(IDYES);
  EXPECT_EQ(CompletePoints().size(), 1u);
  EXPECT_FALSE(AnyUnfinishedPoint());
}

}  // namespace
}  // namespace tidemoor::testing
