#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"
#include "support/e2e_win.h"
#include "support/fake_prompt.h"
#include "common/settings_file_encoding.h"
#include "worldsettings/world_settings_file_win.h"
#include "worldsettings/sample_settings_file.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {
namespace {

using testing::TempToolDirectory;
using Id = WorldSettingsControl;

constexpr char kSettingsFile[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved\\Config\\WindowsServer\\"
    "PalWorldSettings.ini";

// The window the test opened, for the helpers below.
WorldSettingsWindow* theWindow = nullptr;

HWND WorldSettingsWindowHandle() {
  return theWindow ? theWindow->Handle() : nullptr;
}

class WorldSettingsOnDisk : public ::testing::Test {
 protected:
  void SetUp() override { theWindow = &window_; }
  void TearDown() override {
    if (HWND window = WorldSettingsWindowHandle()) ::DestroyWindow(window);
    theWindow = nullptr;
    ::SetFileAttributesW(Widen(tool_.File(kSettingsFile)).c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  std::string FileBytes() const { return tool_.ReadBytes(kSettingsFile); }
  void WriteFile(std::string_view bytes) const { tool_.WriteBytes(kSettingsFile, bytes); }

  void OpenWorldSettingsWindow() { window_.Open(nullptr, paths_, prompt_); }
  void RevealWorldSettingsFile() { tidemoor::RevealWorldSettingsFile(paths_, prompt_); }
  bool EnsureWorldSettingsFile() { return tidemoor::EnsureWorldSettingsFile(paths_); }
  bool LoadWorldSettings(WorldSettings& settings) {
    return tidemoor::LoadWorldSettings(paths_, settings);
  }

  TempToolDirectory tool_{"world settings"};
  const ServerPaths paths_ = MakeServerPaths(tool_.Path());
  testing::FakePrompt prompt_;
  std::vector<testing::FakePrompt::Asked>& messages_ = prompt_.asked;
  WorldSettingsWindow window_;
};

std::string RowValue(const WorldSettings& settings, std::string_view key) {
  return settings.Rows[FindSettingRow(settings.Rows, key)].Value;
}

TEST_F(WorldSettingsOnDisk, NewServerGetsTheTemplate) {
  ASSERT_TRUE(EnsureWorldSettingsFile());
  EXPECT_EQ(FileBytes(), WorldSettingsTemplate());
  WorldSettings settings;
  ASSERT_TRUE(LoadWorldSettings(settings));
  EXPECT_EQ(RowValue(settings, "DropItemMaxNum"), "3000");
  EXPECT_EQ(RowValue(settings, "bShowPlayerList"), "True");
}

TEST_F(WorldSettingsOnDisk, OnlyNearlyEmptyFilesAreReplaced) {
  WriteFile("0123456789");
  ASSERT_TRUE(EnsureWorldSettingsFile());
  EXPECT_EQ(FileBytes(), WorldSettingsTemplate());

  WriteFile("[Settings]\n");  // 11 bytes and no option list
  ASSERT_TRUE(EnsureWorldSettingsFile());
  EXPECT_EQ(FileBytes(), "[Settings]\n");
  WorldSettings settings;
  ASSERT_TRUE(LoadWorldSettings(settings));
  EXPECT_EQ(RowValue(settings, "DropItemMaxNum"), "30000");
}

TEST_F(WorldSettingsOnDisk, LockedFileIsNeitherReadAsEmptyNorOverwritten) {
  const std::string original = "OptionSettings=(ExpRate=5)";
  WriteFile(original);
  {
    UniqueFileHandle other(::CreateFileW(Widen(tool_.File(kSettingsFile)).c_str(),
                                         GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other);

    EXPECT_FALSE(EnsureWorldSettingsFile());
    WorldSettings settings;
    EXPECT_FALSE(LoadWorldSettings(settings));
    messages_.clear();
    OpenWorldSettingsWindow();
    EXPECT_EQ(WorldSettingsWindowHandle(), nullptr);
    RevealWorldSettingsFile();
    ASSERT_EQ(messages_.size(), 2u);
    for (const testing::FakePrompt::Asked& message : messages_) {
      EXPECT_EQ(message.text, " 无法读取 PalWorldSettings.ini - 请关闭占用该文件的程序后重试 ");
      EXPECT_EQ(message.title, " Error");
      EXPECT_EQ(message.style, PromptStyle::Error);
    }
  }
  EXPECT_EQ(FileBytes(), original);
}

std::string Cell(int row, int column = 4) {
  wchar_t buffer[512] = {};
  ListView_GetItemText(::GetDlgItem(WorldSettingsWindowHandle(), static_cast<int>(Id::List)), row,
                       column, buffer, 512);
  return Narrow(buffer);
}

HWND Control(Id id) {
  return ::GetDlgItem(WorldSettingsWindowHandle(), static_cast<int>(id));
}

void SelectRow(int row) {
  ListView_SetItemState(Control(Id::List), row, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
}

void Type(std::wstring_view keys) {
  for (wchar_t key : keys) ::SendMessageW(Control(Id::ValueEdit), WM_CHAR, key, 1);
}

bool PutOnClipboard(std::wstring_view text) {
  if (!::OpenClipboard(WorldSettingsWindowHandle())) return false;
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* target = static_cast<wchar_t*>(::GlobalLock(memory));
  text.copy(target, text.size());
  target[text.size()] = L'\0';
  ::GlobalUnlock(memory);
  const bool placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  ::CloseClipboard();
  return placed;
}

TEST_F(WorldSettingsOnDisk, WindowOpensOnTheSecondRow) {
  OpenWorldSettingsWindow();
  HWND window = WorldSettingsWindowHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), "世界属性设置 <更改后保存重启服务端生效>");
  EXPECT_EQ(FileBytes(), WorldSettingsTemplate());
  HWND list = Control(Id::List);
  EXPECT_EQ(ListView_GetItemCount(list), 57);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);
  EXPECT_EQ(WindowText(Control(Id::KeyLabel)), "DayTimeSpeedRate");
  EXPECT_EQ(WindowText(Control(Id::HelpLabel)), "更改白天的持续时间，越小越长");
  EXPECT_EQ(WindowText(Control(Id::ValueEdit)), "1.000000");
  EXPECT_TRUE(::IsWindowVisible(Control(Id::ValueEdit)));
  EXPECT_FALSE(::IsWindowVisible(Control(Id::ValueBox)));
  EXPECT_EQ(Cell(31), "3000");
  EXPECT_EQ(Cell(56), "True");
  EXPECT_EQ(Cell(1, 1), "更改白天的持续时间");
}

TEST_F(WorldSettingsOnDisk, EditsLandInTheRows) {
  WriteFile("OptionSettings=(bIsPvP=TRUE,Difficulty=)");
  OpenWorldSettingsWindow();
  ASSERT_NE(WorldSettingsWindowHandle(), nullptr);
  HWND edit = Control(Id::ValueEdit);

  SelectRow(0);            // Difficulty, a text row whose file value is empty
  EXPECT_EQ(Cell(0), "");  // merely showing it does not change it
  ::SetWindowTextW(edit, L"Hard");
  ::SetWindowTextW(edit, L"");
  EXPECT_EQ(Cell(0), "\"\"");

  SelectRow(3);  // ExpRate, a number row
  ::SetWindowTextW(edit, L"");
  EXPECT_EQ(Cell(3), "0.00000");
  Type(L"1a.2b.3x");
  EXPECT_EQ(WindowText(edit), "1.2.3");
  EXPECT_EQ(Cell(3), "1.2.3");
  Type(L"\b");
  EXPECT_EQ(Cell(3), "1.2.");

  ASSERT_TRUE(PutOnClipboard(L"4,5"));
  ::SendMessageW(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(WindowText(edit), "1.2.");
  EXPECT_EQ(Cell(3), "1.2.");
  ASSERT_TRUE(PutOnClipboard(L"45"));
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  ::SendMessageW(edit, WM_PASTE, 0, 0);
  EXPECT_EQ(Cell(3), "45");

  SelectRow(42);  // bIsPvP
  EXPECT_FALSE(::IsWindowVisible(edit));
  ASSERT_TRUE(::IsWindowVisible(Control(Id::ValueBox)));
  EXPECT_EQ(::SendMessageW(Control(Id::ValueBox), BM_GETCHECK, 0, 0), BST_CHECKED);
  ::SendMessageW(Control(Id::ValueBox), BM_CLICK, 0, 0);
  EXPECT_EQ(Cell(42), "False");

  ListView_SetItemState(Control(Id::List), -1, 0, LVIS_SELECTED);
  EXPECT_EQ(WindowText(Control(Id::KeyLabel)), "未选择项设置目");
  EXPECT_FALSE(::IsWindowVisible(Control(Id::ValueBox)));
}

TEST_F(WorldSettingsOnDisk, CloseBoxDiscardsAndSecondOpeningKeepsEdits) {
  OpenWorldSettingsWindow();
  HWND window = WorldSettingsWindowHandle();
  ASSERT_NE(window, nullptr);
  ::SetWindowTextW(Control(Id::ValueEdit), L"7");
  OpenWorldSettingsWindow();
  EXPECT_EQ(WorldSettingsWindowHandle(), window);
  EXPECT_EQ(Cell(1), "7");

  ::SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WorldSettingsWindowHandle(), nullptr);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(FileBytes(), WorldSettingsTemplate());
}

TEST_F(WorldSettingsOnDisk, SaveClosesAndReopeningShowsTheSavedValues) {
  WriteFile("OptionSettings=(ServerName=\"我的\",ExpRate=2,AutoSaveSpan=30.000000)\r\n");
  OpenWorldSettingsWindow();
  HWND window = WorldSettingsWindowHandle();
  ASSERT_NE(window, nullptr);
  SelectRow(50);  // ServerDescription
  ::SetWindowTextW(Control(Id::ValueEdit), L"欢迎, 朋友");
  ::SendMessageW(Control(Id::SaveButton), BM_CLICK, 0, 0);

  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, " 已保存当前设置，需要重启服务端后生效 ");
  EXPECT_EQ(messages_[0].title, " Save");
  EXPECT_EQ(messages_[0].style, PromptStyle::Plain);
  EXPECT_EQ(WorldSettingsWindowHandle(), nullptr);

  const std::string saved = FileBytes();
  EXPECT_EQ(saved.rfind("[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(Difficulty=", 0),
            0u);
  EXPECT_NE(saved.find(",ExpRate=2,"), std::string::npos);
  EXPECT_NE(saved.find(",ServerDescription=\"欢迎, 朋友\","), std::string::npos);
  EXPECT_NE(saved.find(",bShowPlayerList=True,ServerName=\"我的\",AutoSaveSpan=30.000000)"),
            std::string::npos);
  EXPECT_TRUE(saved.ends_with(")\r\n")) << "the line end after the list stays";

  OpenWorldSettingsWindow();
  ASSERT_NE(WorldSettingsWindowHandle(), nullptr);
  EXPECT_EQ(Cell(50), "\"欢迎, 朋友\"");
  EXPECT_EQ(Cell(53), "\"China\"");
  EXPECT_EQ(Cell(3), "2");
}

TEST_F(WorldSettingsOnDisk, FailedSaveKeepsTheWindowAndTheFile) {
  ASSERT_TRUE(EnsureWorldSettingsFile());
  ASSERT_TRUE(
      ::SetFileAttributesW(Widen(tool_.File(kSettingsFile)).c_str(), FILE_ATTRIBUTE_READONLY));
  OpenWorldSettingsWindow();
  ASSERT_NE(WorldSettingsWindowHandle(), nullptr);
  ::SetWindowTextW(Control(Id::ValueEdit), L"3");
  ::SendMessageW(Control(Id::SaveButton), BM_CLICK, 0, 0);

  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, " 保存失败 - 无法写入 PalWorldSettings.ini (" +
                                   CauseText(SystemErrorOf(ERROR_ACCESS_DENIED)) + ") ");
  EXPECT_EQ(messages_[0].title, " Error");
  EXPECT_EQ(messages_[0].style, PromptStyle::Error);
  ASSERT_NE(WorldSettingsWindowHandle(), nullptr);
  EXPECT_EQ(Cell(1), "3");
  EXPECT_EQ(FileBytes(), WorldSettingsTemplate());
  EXPECT_FALSE(tool_.Exists(std::string(kSettingsFile) + ".saving"));

  // Held open by another program without sharing.
  ASSERT_TRUE(
      ::SetFileAttributesW(Widen(tool_.File(kSettingsFile)).c_str(), FILE_ATTRIBUTE_NORMAL));
  UniqueFileHandle other(::CreateFileW(Widen(tool_.File(kSettingsFile)).c_str(), GENERIC_READ, 0,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(other);
  ::SendMessageW(Control(Id::SaveButton), BM_CLICK, 0, 0);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1].text, " 保存失败 - 无法写入 PalWorldSettings.ini (" +
                                   CauseText(SystemErrorOf(ERROR_SHARING_VIOLATION)) + ") ");
  EXPECT_NE(WorldSettingsWindowHandle(), nullptr);
  other.reset();
  EXPECT_EQ(FileBytes(), WorldSettingsTemplate());
}

// Notepad's "Unicode": the user's values are read, and both the window's save and a start's
// write hand the file back in UTF-16 LE with its mark and its comment.
TEST_F(WorldSettingsOnDisk, Utf16FileIsWrittenBackAsUtf16WithTheUsersValues) {
  const std::string text =
      "; 我的设置\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(ExpRate=3.000000,"
      "ServerName=\"老朋友\",AdminPassword=\"old\",MyOwnKey=1)\r\n";
  WriteFile(EncodeSettingsFile(text, SettingsFileEncoding::Utf16Le));
  const auto fileText = [&] {
    const std::optional<DecodedSettingsFile> decoded = DecodeSettingsFile(FileBytes());
    EXPECT_TRUE(decoded && decoded->encoding == SettingsFileEncoding::Utf16Le);
    return decoded ? decoded->text : std::string();
  };

  OpenWorldSettingsWindow();
  ASSERT_NE(WorldSettingsWindowHandle(), nullptr);
  EXPECT_EQ(Cell(3), "3.000000");
  SelectRow(1);
  ::SetWindowTextW(Control(Id::ValueEdit), L"2.5");
  ::SendMessageW(Control(Id::SaveButton), BM_CLICK, 0, 0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].title, " Save");
  std::string saved = fileText();
  EXPECT_EQ(saved.rfind("; 我的设置\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(", 0),
            0u);
  for (const char* pair : {",DayTimeSpeedRate=2.5,", ",ExpRate=3.000000,", "ServerName=\"老朋友\"",
                           "MyOwnKey=1)\r\n"}) {
    EXPECT_NE(saved.find(pair), std::string::npos) << pair << " in " << saved;
  }

  const StartSettingsWrite write =
      WriteStartSettings(paths_, {"新名字", "", "a-strong-one", true, 8212, false});
  EXPECT_EQ(write.result, WorldSettingsWrite::Written);
  saved = fileText();
  for (const char* pair : {"ServerName=\"新名字\"", "AdminPassword=\"a-strong-one\"",
                           "RESTAPIEnabled=True", ",DayTimeSpeedRate=2.5,", "MyOwnKey=1"}) {
    EXPECT_NE(saved.find(pair), std::string::npos) << pair << " in " << saved;
  }
  EXPECT_TRUE(saved.starts_with("; 我的设置\r\n"));
  const std::string before = FileBytes();
  EXPECT_EQ(WriteStartSettings(paths_, {"新名字", "", "a-strong-one", true, 8212, true}).result,
            WorldSettingsWrite::Unchanged);
  EXPECT_EQ(FileBytes(), before);
}

// A file in no encoding the tool reads (here GBK from an old editor) holds settings the tool
// cannot see: nothing may be written over it, and the user is told why.
TEST_F(WorldSettingsOnDisk, UndecodableFileIsNeverWritten) {
  const std::string gbk = "OptionSettings=(ServerName=\"\xCE\xD2\xB5\xC4\",ExpRate=5.000000)\r\n";
  WriteFile(gbk);
  ASSERT_TRUE(EnsureWorldSettingsFile());
  WorldSettings settings;
  EXPECT_FALSE(LoadWorldSettings(settings));
  const StartSettingsWrite write = WriteStartSettings(paths_, {"名字", "", "pw", true, 8212, true});
  EXPECT_EQ(write.result, WorldSettingsWrite::Undecodable);
  EXPECT_TRUE(write.plan.apiOnByTool) << "what the tool remembers stays";
  EXPECT_FALSE(RestApiOnInWorldSettings(paths_));

  OpenWorldSettingsWindow();
  EXPECT_EQ(WorldSettingsWindowHandle(), nullptr);
  EXPECT_FALSE(SaveWorldSettings(paths_, WorldSettings{}, prompt_));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0].style, PromptStyle::Error);
  EXPECT_EQ(messages_[1].text,
            " 保存失败 - 无法识别 PalWorldSettings.ini 的编码 (请用 UTF-8 或 UTF-16 保存该文件)，"
            "文件保持原样 ");
  EXPECT_EQ(FileBytes(), gbk);
}

constexpr char kServerDefaultsFile[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\DefaultPalWorldSettings.ini";

HWND TickBox(int index) {
  return Control(static_cast<Id>(static_cast<int>(Id::FirstTickBox) + index));
}

// A 1.0 server's file beside defaults of a still newer server: every key gets a row, each is
// edited by its kind, and a save while the server runs offers the safe restart.
TEST_F(WorldSettingsOnDisk, ListsEveryOptionOfTheFileAndTheServersDefaults) {
  const std::string sample = testing::ServerSampleText();
  ASSERT_FALSE(sample.empty());
  WriteFile(sample);
  std::string defaults = sample;
  defaults.insert(defaults.rfind(')'), ",bFutureOption=True");
  tool_.WriteBytes(kServerDefaultsFile, defaults);
  static bool running;
  static int restarts;
  running = true;
  restarts = 0;
  window_.Open(nullptr, paths_, prompt_,
               ServerRestartOffer{[] { return running; }, [] { ++restarts; }});
  HWND window = WorldSettingsWindowHandle();
  ASSERT_NE(window, nullptr);

  ASSERT_EQ(ListView_GetItemCount(Control(Id::List)), 120);
  std::map<std::string, int> rowOf;
  for (int i = 0; i < 120; ++i) rowOf[Cell(i, 0)] = i;
  EXPECT_TRUE(::IsWindowVisible(Control(Id::RunningNote)));
  EXPECT_EQ(WindowText(Control(Id::RunningNote)), kRunningNote);

  SelectRow(rowOf["CrossplayPlatforms"]);
  EXPECT_FALSE(::IsWindowVisible(Control(Id::ValueEdit)));
  ASSERT_TRUE(::IsWindowVisible(TickBox(1)));
  EXPECT_EQ(WindowText(TickBox(1)), "Xbox");
  EXPECT_FALSE(::IsWindowVisible(TickBox(4)));
  ::SendMessageW(TickBox(1), BM_CLICK, 0, 0);
  EXPECT_EQ(Cell(rowOf["CrossplayPlatforms"]), "(Steam,PS5,Mac)");

  SelectRow(rowOf["LogFormatType"]);
  HWND choices = Control(Id::ChoiceBox);
  ASSERT_TRUE(::IsWindowVisible(choices));
  EXPECT_EQ(::SendMessageW(choices, CB_GETCOUNT, 0, 0), 2);
  ::SendMessageW(choices, CB_SETCURSEL, 1, 0);
  ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<int>(Id::ChoiceBox), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(choices));
  EXPECT_EQ(Cell(rowOf["LogFormatType"]), "Json");

  SelectRow(rowOf["ServerName"]);
  EXPECT_TRUE(::GetWindowLongW(Control(Id::ValueEdit), GWL_STYLE) & ES_READONLY);
  EXPECT_NE(WindowText(Control(Id::HelpLabel)).find("由主窗口的设置在每次开服时写入"),
            std::string::npos);

  SelectRow(rowOf["AutoSaveSpan"]);
  ::SetWindowTextW(Control(Id::ValueEdit), L"3.0.");
  ::SendMessageW(Control(Id::SaveButton), BM_CLICK, 0, 0);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, " 「自动存档间隔（秒）」的值必须是数字 ");
  ASSERT_EQ(WorldSettingsWindowHandle(), window);
  EXPECT_EQ(FileBytes(), sample);

  running = false;
  ::SendMessageW(window, WM_TIMER, kServerStateTimer, 0);
  EXPECT_FALSE(::IsWindowVisible(Control(Id::RunningNote)));
  running = true;
  ::SendMessageW(window, WM_TIMER, kServerStateTimer, 0);
  EXPECT_TRUE(::IsWindowVisible(Control(Id::RunningNote)));

  ::SetWindowTextW(Control(Id::ValueEdit), L"60");
  ::SendMessageW(Control(Id::SaveButton), BM_CLICK, 0, 0);
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[1].text, " 已保存当前设置，需要重启服务端后生效 ");
  EXPECT_EQ(messages_[2].text, kRestartQuestion);
  EXPECT_EQ(messages_[2].style, PromptStyle::Question);
  EXPECT_EQ(restarts, 1);
  EXPECT_EQ(WorldSettingsWindowHandle(), nullptr);

  const std::string saved = FileBytes();
  for (const char* pair : {",CrossplayPlatforms=(Steam,PS5,Mac),", ",LogFormatType=Json,",
                           ",AutoSaveSpan=60,", ",ServerName=\"Default Palworld Server\",",
                           ",BuildingNameDisplayCacheTTLSeconds=60,bFutureOption=True)"}) {
    EXPECT_NE(saved.find(pair), std::string::npos) << pair;
  }
  EXPECT_EQ(tool_.ReadBytes(kServerDefaultsFile), defaults);
}

}  // namespace
}  // namespace tidemoor
