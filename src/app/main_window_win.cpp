#include "app/main_window_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "app/main_layout.h"
#include "common/product.h"
#include "app/program_state.h"
#include "app/tool_settings.h"
#include "backup/backup_manager_win.h"
#include "platform/directories_win.h"
#include "common/server_paths.h"
#include "install/tool_path_check_win.h"
#include "install/update_win.h"
#include "net/connect_address_win.h"
#include "platform/check_box_text_win.h"
#include "platform/codepage_win.h"
#include "platform/profile_win.h"
#include "platform/random_win.h"
#include "platform/run_command_win.h"
#include "server/server_control_win.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr wchar_t kMainWindowClass[] = L"TidemoorMainWindow";
constexpr COLORREF kLinkColour = RGB(0, 102, 204);

bool IsClickableLabel(int id) {
  for (const ControlDefinition& definition : MainWindowLayout()) {
    if (static_cast<int>(definition.id) == id)
      return definition.kind == ControlKind::ClickableLabel;
  }
  return false;
}

void OpenShopPage() {
  ::ShellExecuteW(TheMainWindow().Handle(), L"open", Widen(kShopPageAddress).c_str(), L"", L"",
                  SW_SHOW);
}

void RevealServerExecutable() {
  RunCommandLine("explorer.exe /select,\"" + ServerExecutable(Program().Paths) + "\"");
}

// Fills the program's ServerPaths from the tool directory and creates both directories.
void InitServerPaths() {
  const ServerPaths paths = MakeServerPaths(ToolDirectory());
  ProgramState& program = Program();
  program.Paths.DataDir = paths.DataDir;
  EnsureDirectory(program.Paths.DataDir);
  program.Paths.ServerDir = paths.ServerDir;
  EnsureDirectory(program.Paths.ServerDir);
}

void SaveSettingsFile(MainControls& controls) {
  GbkProfileFile file(ToolSettingsFile(Program().Paths));
  SaveToolSettings(file, controls, Program().WindowTitle);
}

}  // namespace

MainWindow& TheMainWindow() {
  static MainWindow window;
  return window;
}

bool MainWindow::Open() {
  const HWND window = CreateBaseWindow(kMainWindowClass, L"Tidemoor",
                                       WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                       kMainWindowWidth, kMainWindowHeight, nullptr);
  if (!window) return false;
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  return true;
}

HWND MainWindow::Control(MainControl control) const {
  return ::GetDlgItem(window_, static_cast<int>(control));
}

std::string MainWindow::Text(MainControl control) const {
  return WindowText(Control(control));
}

void MainWindow::SetText(MainControl control, std::string_view text) {
  SetWindowTextUtf8(Control(control), text);
}

bool MainWindow::IsTicked(MainControl control) const {
  return ::SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetTicked(MainControl control, bool ticked) {
  ::SendMessageW(Control(control), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::SetTimerInterval(MainControl timer, unsigned milliseconds) {
  const auto id = static_cast<UINT_PTR>(timer);
  if (milliseconds == 0) {
    ::KillTimer(window_, id);
  } else {
    ::SetTimer(window_, id, milliseconds, nullptr);
  }
}

void MainWindow::SetTitle(std::string_view title) {
  SetWindowTextUtf8(window_, title);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SizeWindowForDpi(window_, kMainWindowWidth, kMainWindowHeight);
      CreateControls(WindowDpi(window_));
      OnCreated();
      return 0;
    case WM_COMMAND:
      OnCommand(static_cast<MainControl>(LOWORD(wParam)), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      OnTimer(static_cast<MainControl>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetBkMode(dc, TRANSPARENT);
      if (IsClickableLabel(::GetDlgCtrlID(control))) ::SetTextColor(dc, kLinkColour);
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      OnDpiChanged(HIWORD(wParam), suggested);
      return 0;
    }
    case WM_DESTROY:
      OnDestroyed();
      ::PostQuitMessage(0);
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

namespace {

// The layout as child controls, made once: the table outlives every window that uses it.
std::span<const ChildControl> MainChildControls() {
  static const std::vector<ChildControl> controls = [] {
    std::vector<ChildControl> list;
    for (const ControlDefinition& definition : MainWindowLayout()) {
      list.push_back(ToChildControl(definition));
    }
    return list;
  }();
  return controls;
}

}  // namespace

void FitEditIntoCaptionBlanks(HWND box, HWND edit) {
  const std::optional<PixelSpan> blanks = CheckBoxCaptionSpan(box, kMinuteBlanks);
  if (!blanks) return;
  RECT place{};
  ::GetWindowRect(edit, &place);
  ::MapWindowPoints(nullptr, ::GetParent(edit), reinterpret_cast<POINT*>(&place), 2);
  const int inset = ScaleForDpi(1, WindowDpi(edit));
  const int width = blanks->right - blanks->left - 2 * inset;
  if (width <= 0) return;
  ::SetWindowPos(edit, nullptr, blanks->left + inset, place.top, width, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CreateControls(UINT dpi) {
  font_ = CreateUiFont(dpi);
  ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  CreateChildControls(window_, MainChildControls(), static_cast<HFONT>(font_.get()), dpi);
  KeepEditAboveBox(Control(C::IntervalRestartBox), Control(C::IntervalRestartMinutes));
  KeepEditAboveBox(Control(C::AutoBackupBox), Control(C::AutoBackupMinutes));
  FitMinutesIntoCaptions();
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  UniqueGdiObject font = CreateUiFont(dpi);
  PlaceChildControls(window_, MainChildControls(), static_cast<HFONT>(font.get()), dpi);
  font_ = std::move(font);
  FitMinutesIntoCaptions();
}

// Measured again at every DPI: where a check box starts its caption depends on the theme, the
// DPI and the font.
void MainWindow::FitMinutesIntoCaptions() {
  FitEditIntoCaptionBlanks(Control(C::IntervalRestartBox), Control(C::IntervalRestartMinutes));
  FitEditIntoCaptionBlanks(Control(C::AutoBackupBox), Control(C::AutoBackupMinutes));
}

// Start-up: the path check first (it only warns), then the directories, then the settings into
// the controls and the title.
void MainWindow::OnCreated() {
  CheckToolPath();
  InitServerPaths();
  GbkProfileFile file(ToolSettingsFile(Program().Paths));
  Program().WindowTitle = LoadToolSettings(file, *this, &RandomLetters);
  AdoptServerLeftRunning();
}

// Closing the tool saves the settings and leaves a running server alone. The controls still
// live here (children go after their parent's WM_DESTROY), so this is the last save, from them.
void MainWindow::OnDestroyed() {
  Program().Closing = true;
  SaveSettingsFile(*this);
}

// The event bindings of the main window. Labels act when a mouse button goes down on them.
void MainWindow::OnCommand(MainControl control, WORD code) {
  const bool clicked = code == BN_CLICKED;
  const bool leftPressed = code == kLabelLeftPressed;
  switch (control) {
    case C::StartButton:
      if (clicked) ToggleServer();
      break;
    case C::HideConsoleBox:
      if (clicked) SetServerConsoleHidden(IsTicked(C::HideConsoleBox));
      break;
    case C::ManualUpdateLabel:
      if (leftPressed) RunManualUpdate();
      break;
    case C::BackupManagerLabel:
      if (leftPressed) OpenBackupManager();
      break;
    case C::AdvertLabel:
      if (leftPressed) OpenShopPage();
      break;
    case C::CopyAddressLabel:
      if (leftPressed) CopyConnectAddress();
      break;
    case C::ServerFolderLabel:
      if (leftPressed) RevealServerExecutable();
      break;
    case C::WorldSettingsLabel:
      if (leftPressed) OpenWorldSettingsWindow();
      if (code == kLabelRightPressed) RevealWorldSettingsFile();
      break;
    default:
      break;
  }
}

void MainWindow::OnTimer(MainControl timer) {
  if (timer == C::MonitorTimer) OnMonitorTick();
  if (timer == C::AutoBackupTimer) OnAutoBackupTick();
}

void SaveToolSettingsNow() {
  if (!Program().Closing) SaveSettingsFile(TheMainWindow());
}

}  // namespace tidemoor
