#include "backup/backup_manager_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>

#include "backup/backup_files_win.h"
#include "backup/backup_host_win.h"
#include "backup/folder_tree_win.h"
#include "platform/codepage_win.h"
#include "platform/directory_listing_win.h"
#include "platform/text.h"
#include "support/e2e_win.h"
#include "support/fake_prompt.h"

namespace tidemoor {
namespace {

using Id = BackupManagerControl;
using testing::ControlText;
using testing::SetControlText;
using testing::WaitUntil;

constexpr char kLive[] = "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved";

struct Row {
  std::string folder, time;
  bool operator==(const Row&) const = default;
};

class RecordedLog : public EventLog {
 public:
  void Record(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// The real disk, with a gate the test may close to hold a copy at its first file.
class GatedFiles : public WindowsBackupFiles {
 public:
  Outcome CopyOneFile(const std::string& from, const std::string& to) override {
    ::WaitForSingleObject(open_.get(), 20000);
    return WindowsBackupFiles::CopyOneFile(from, to);
  }
  void Close() { ::ResetEvent(open_.get()); }
  void Open() { ::SetEvent(open_.get()); }

 private:
  UniqueHandle open_{::CreateEventW(nullptr, TRUE, TRUE, nullptr)};
};

class GatedHost : public WindowsBackupHost {
 public:
  GatedHost(BackupHostWiring wiring, std::shared_ptr<GatedFiles> files)
      : WindowsBackupHost(std::move(wiring), std::move(files)) {}
};

// The backup manager over a tool directory of its own, its message boxes answered by the test.
class BackupManagerWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    tool.WriteBytes(std::string(kLive) + "\\SaveGames\\0\\Level.sav", "live level");
  }
  void TearDown() override {
    if (::IsWindow(window)) ::DestroyWindow(window);
  }

  void MakePoint(const std::string& stamp, const std::string& time, bool withSaved = true) {
    const std::string dir = "PaLWorld_Saved_Backups\\" + stamp + "\\";
    tool.WriteBytes(dir + "BackUP_Info.Dat", Utf8ToGbk("[INFO]\r\nTime=" + time + "\r\n"));
    if (withSaved) tool.WriteBytes(dir + "Saved\\SaveGames\\0\\Level.sav", "level of " + stamp);
  }

  // Opens the window and waits for its first fill.
  void Open(size_t expectedRows) {
    window = manager.Open(
        BackupManagerSetup{nullptr, {tool.Path(), tool.File(kLive)}, &prompt, &host, &retention});
    ASSERT_NE(window, nullptr);
    list = ::GetDlgItem(window, static_cast<int>(Id::List));
    ASSERT_TRUE(WaitUntil([&] { return Rows().size() == expectedRows && Selected() == 0; }))
        << Rows().size();
  }

  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) rows.push_back({Text(i, 0), Text(i, 1)});
    return rows;
  }
  std::string Text(int row, int column) const {
    wchar_t buffer[256] = {};
    ListView_GetItemText(list, row, column, buffer, 256);
    return Narrow(buffer);
  }
  int Selected() const { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

  void Click(Id button) {
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<int>(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, static_cast<int>(button))));
  }
  // A real right click on the list at a point of its client area.
  void RightClickAt(POINT point) {
    ::PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    ::PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
  }
  POINT RowPoint(int row) const {
    RECT rect{};
    ListView_GetItemRect(list, row, &rect, LVIR_LABEL);
    return {rect.left + 4, (rect.top + rect.bottom) / 2};
  }

  testing::TempToolDirectory tool{"backups"};
  HWND window = nullptr;
  HWND list = nullptr;
  testing::FakePrompt prompt;
  std::vector<testing::FakePrompt::Asked>& asked = prompt.asked;
  int serverStops = 0;
  RecordedLog events;
  std::shared_ptr<GatedFiles> files = std::make_shared<GatedFiles>();
  GatedHost host{BackupHostWiring{[this](std::function<void(bool)> done) {
                                    ++serverStops;
                                    done(true);
                                  },
                                  {},
                                  {},
                                  {},
                                  &events},
                 files};
  BackupRetention retention;
  tidemoor::BackupManagerWindow manager;
};

TEST_F(BackupManagerWindow, ListsThePointsNewestFirstWithTheTopOneSelected) {
  MakePoint("1705986300", "2024年1月23日13时5分");      // A
  MakePoint("1705986310", "2024年1月23日13时5分10秒");  // B
  MakePoint("1705986320", "2024年2月30日");             // C, a time that cannot be read
  tool.WriteBytes("PaLWorld_Saved_Backups\\old\\Saved\\x.sav", "no index");
  Open(3);

  EXPECT_EQ(Rows(), (std::vector<Row>{{"1705986320", "2024年2月30日"},
                                      {"1705986310", "2024年1月23日 - 13时:05分:10秒"},
                                      {"1705986300", "2024年1月23日 - 13时:05分:00秒"}}));
  EXPECT_EQ(WindowText(window), "数据存档管理");
  EXPECT_EQ(WindowText(::GetDlgItem(window, static_cast<int>(Id::CreateButton))),
            "立刻创建现行备份");

  // Opening again brings the same window forward.
  EXPECT_EQ(manager.Open(BackupManagerSetup{}), window);
}

TEST_F(BackupManagerWindow, AConfirmedDeleteRebuildsTheListAndSelectsTheNewTop) {
  MakePoint("1705986300", "2024年1月23日13时5分");
  MakePoint("1705986310", "2024年1月23日13时5分10秒");
  Open(2);

  prompt.answerYes = false;
  Click(Id::DeleteButton);
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_TRUE(tool.Exists("PaLWorld_Saved_Backups\\1705986310"));

  prompt.answerYes = true;
  Click(Id::DeleteButton);
  ASSERT_TRUE(WaitUntil([&] { return Rows().size() == 1 && !host.Activity().Busy(); }));
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1].text, " 是否删除选定备份点《 2024年1月23日 - 13时:05分:10秒 》 ");
  EXPECT_EQ(asked[1].title, " Delete");
  EXPECT_EQ(asked[1].style, PromptStyle::WarningQuestion);
  EXPECT_FALSE(tool.Exists("PaLWorld_Saved_Backups\\1705986310"));
  EXPECT_EQ(Rows(), (std::vector<Row>{{"1705986300", "2024年1月23日 - 13时:05分:00秒"}}));
  EXPECT_EQ(Selected(), 0);

  Click(Id::DeleteButton);  // the last point: an empty list and an empty backup root
  ASSERT_TRUE(WaitUntil([&] { return Rows().empty() && !host.Activity().Busy(); }));
  EXPECT_TRUE(DirectoryExists(tool.File("PaLWorld_Saved_Backups")));
  std::vector<std::string> left;
  ListDirectories(tool.File("PaLWorld_Saved_Backups"), left, false);
  EXPECT_TRUE(left.empty()) << JoinTexts(left);
  asked.clear();
  Click(Id::DeleteButton);  // nothing selected: nothing asked
  Click(Id::RestoreButton);
  EXPECT_TRUE(asked.empty());
}

TEST_F(BackupManagerWindow, CreateSaysSoAndThenShowsTheNewPointSelectedOnTop) {
  MakePoint("1705986300", "2024年1月23日13时5分");
  Open(1);
  size_t rowsWhileTheMessageWasOpen = 99;
  prompt.onAsk = [&](const testing::FakePrompt::Asked&) {
    rowsWhileTheMessageWasOpen = Rows().size();
  };
  Click(Id::CreateButton);
  ASSERT_TRUE(WaitUntil([&] { return !asked.empty() && Rows().size() == 2 && Selected() == 0; }));

  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].text, " 已创建现行备份点数据 ");
  EXPECT_EQ(asked[0].title, " BackUp");
  EXPECT_EQ(asked[0].style, PromptStyle::Plain);
  EXPECT_EQ(rowsWhileTheMessageWasOpen, 1u);
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].folder.size(), 10u);
  EXPECT_GT(rows[0].folder, "1705986300");
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(tool.ReadBytes("PaLWorld_Saved_Backups\\" + rows[0].folder +
                           "\\Saved\\SaveGames\\0\\Level.sav"),
            "live level");
}

// Sees the fill timer's tick before the window does, and how many rows the list held then.
LRESULT CALLBACK SpyOnFillTicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR data) {
  if (message == WM_TIMER && wParam == static_cast<UINT_PTR>(Id::FillTimer)) {
    const HWND list = ::GetDlgItem(window, static_cast<int>(Id::List));
    reinterpret_cast<std::vector<int>*>(data)->push_back(ListView_GetItemCount(list));
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(BackupManagerWindow, ARefreshAskedForDuringARefreshDoesNotListRowsTwice) {
  for (int i = 0; i < 40; ++i) MakePoint(std::to_string(1705986300 + i), "2024年1月23日");
  Open(40);
  std::vector<int> rowsAtTicks;
  ::SetWindowSubclass(window, &SpyOnFillTicks, 1, reinterpret_cast<DWORD_PTR>(&rowsAtTicks));
  // Waiting while the created message is open, a refresh request is let through by the refresh
  // that follows the message.
  prompt.onAsk = [&](const testing::FakePrompt::Asked&) {
    ::PostMessageW(window, WM_TIMER, static_cast<WPARAM>(Id::FillTimer), 0);
  };
  Click(Id::CreateButton);
  ASSERT_TRUE(WaitUntil([&] { return asked.size() == 1 && Rows().size() == 41; }));
  ::RemoveWindowSubclass(window, &SpyOnFillTicks, 1);
  EXPECT_EQ(rowsAtTicks, std::vector<int>{0}) << "the request came in the middle of a refresh";

  std::vector<std::string> onDisk;
  ListDirectories(tool.File("PaLWorld_Saved_Backups"), onDisk, false);
  const std::vector<Row> rows = Rows();
  std::set<std::string> distinct;
  for (const Row& row : rows) distinct.insert(row.folder);
  EXPECT_EQ(distinct.size(), rows.size());
  EXPECT_EQ(rows.size(), onDisk.size());
}

// While a point is copied the window keeps answering, shows how far the copy is, and refuses to
// start a second operation; afterwards everything is as before.
TEST_F(BackupManagerWindow, WhileAPointIsCopiedTheButtonsWaitAndTheProgressShows) {
  for (int i = 1; i < 4; ++i) {
    tool.WriteBytes(std::string(kLive) + "\\SaveGames\\0\\Players\\" + std::to_string(i) + ".sav",
                    "player");
  }
  MakePoint("1705986300", "2024年1月23日13时5分");
  Open(1);
  const auto enabled = [&](Id button) {
    return ::IsWindowEnabled(::GetDlgItem(window, static_cast<int>(button))) != FALSE;
  };
  const auto progress = [&] { return ControlText(window, static_cast<int>(Id::ProgressText)); };
  EXPECT_EQ(progress(), "");

  files->Close();
  Click(Id::CreateButton);
  ASSERT_TRUE(WaitUntil([&] { return progress() == "已复制 0/4 个文件"; })) << progress();
  EXPECT_FALSE(enabled(Id::CreateButton));
  EXPECT_FALSE(enabled(Id::DeleteButton));
  EXPECT_FALSE(enabled(Id::RestoreButton));
  DWORD_PTR answer = 0;
  EXPECT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &answer), 0);
  // A click that reaches the window anyway (posted, say) is refused.
  Click(Id::DeleteButton);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].style, PromptStyle::WarningQuestion);
  EXPECT_EQ(asked[1].text, " 另一项备份操作正在进行 - 请稍后再试 ");
  EXPECT_TRUE(tool.Exists("PaLWorld_Saved_Backups\\1705986300"));

  files->Open();
  ASSERT_TRUE(WaitUntil([&] { return asked.size() == 3 && Rows().size() == 2; }));
  EXPECT_EQ(asked[2].text, " 已创建现行备份点数据 ");
  EXPECT_TRUE(enabled(Id::CreateButton));
  EXPECT_TRUE(enabled(Id::RestoreButton));
  EXPECT_EQ(progress(), "");
  ASSERT_EQ(events.lines.size(), 1u);
  EXPECT_TRUE(
      events.lines[0].starts_with("创建备份点 " + Rows()[0].folder + " (手动): 复制 4 个文件"))
      << events.lines[0];
}

TEST_F(BackupManagerWindow, ShowsAndChangesHowManyAutomaticPointsAreKept) {
  retention = {3, 14};
  MakePoint("1705986300", "2024年1月23日13时5分");
  Open(1);
  const auto edit = [&](Id id) { return ::GetDlgItem(window, static_cast<int>(id)); };
  EXPECT_EQ(WindowText(edit(Id::KeepEdit)), "3");
  EXPECT_EQ(WindowText(edit(Id::DaysEdit)), "14");
  EXPECT_NE(::GetWindowLongPtrW(edit(Id::KeepEdit), GWL_STYLE) & ES_NUMBER, 0);

  SetControlText(window, static_cast<int>(Id::KeepEdit), "10");
  SetControlText(window, static_cast<int>(Id::DaysEdit), "");
  EXPECT_EQ(retention, (BackupRetention{10, 0}));

  // Every place the window grew into lies inside it, below the list's buttons.
  RECT client{};
  ::GetClientRect(window, &client);
  for (const Id id : {Id::Progress, Id::ProgressText, Id::RetentionGroup, Id::DaysUnit}) {
    RECT place{};
    ::GetWindowRect(edit(id), &place);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_LE(place.bottom, client.bottom) << static_cast<int>(id);
    RECT button{};
    ::GetWindowRect(edit(Id::CreateButton), &button);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_GE(place.top, button.bottom) << static_cast<int>(id);
  }
}

// The recording explorer.exe is found in the current directory, as Windows' own would be found in
// the system directory.
class ExplorerInCurrentDirectory {
 public:
  ExplorerInCurrentDirectory() {
    ::CopyFileW(Widen(testing::BinDirectory() + "\\fixtures\\explorer.exe").c_str(),
                Widen(here_.File("explorer.exe")).c_str(), FALSE);
    wchar_t previous[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    previous_ = previous;
    ::SetCurrentDirectoryW(Widen(here_.Path()).c_str());
  }
  ~ExplorerInCurrentDirectory() { ::SetCurrentDirectoryW(previous_.c_str()); }
  bool Installed() const { return here_.Exists("explorer.exe"); }
  std::string Calls() const { return here_.ReadBytes("explorer-calls.txt"); }

 private:
  testing::TempToolDirectory here_{"explorer"};
  std::wstring previous_;
};

TEST_F(BackupManagerWindow, RightAndDoubleClicksOnARowOpenExplorerOnItsIndexFile) {
  ExplorerInCurrentDirectory explorer;
  ASSERT_TRUE(explorer.Installed());
  MakePoint("1705986300", "2024年1月23日13时5分");
  MakePoint("1705986310", "2024年1月23日13时5分10秒");
  Open(2);
  const std::string index = tool.Path() + "\\PaLWorld_Saved_Backups\\%s\\BackUP_Info.Dat";
  const auto call = [&](const char* stamp) {
    return "explorer.exe /select,\"" + ReplaceAll(index, "%s", stamp) + "\"\r\n";
  };

  // Clicks beside the rows clear the selection and then open nothing.
  POINT beside = RowPoint(1);
  beside.y += 120;
  RightClickAt(beside);
  ::PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(beside.x, beside.y));
  RightClickAt(RowPoint(1));  // selects the row it is on
  ASSERT_TRUE(WaitUntil([&] { return !explorer.Calls().empty(); }));
  EXPECT_EQ(explorer.Calls(), call("1705986300"));
  EXPECT_EQ(Selected(), 1);

  const POINT top = RowPoint(0);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    ::PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                   MAKELPARAM(top.x, top.y));
  }
  ASSERT_TRUE(WaitUntil([&] { return explorer.Calls().size() > call("1705986300").size(); }));
  EXPECT_EQ(explorer.Calls(), call("1705986300") + call("1705986310"));
}

}  // namespace
}  // namespace tidemoor
