#include "install/update_win.h"

#include <windows.h>
#include <shellapi.h>

#include "app/main_window_win.h"
#include "common/product.h"
#include "app/program_state.h"
#include "install/install_files_win.h"
#include "install/steamcmd_win.h"
#include "install/update_flow.h"
#include "platform/codepage_win.h"
#include "platform/message_box_win.h"
#include "platform/run_command_win.h"
#include "server/server_control_win.h"

namespace tidemoor {
namespace {

class WindowsUpdateActions : public UpdateActions {
 public:
  explicit WindowsUpdateActions(HWND owner) : owner_(owner) {}

  bool Confirm(std::string_view text, std::string_view title) override {
    return ShowMessage(owner_, text, title, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
  }
  void ShowError(std::string_view text, std::string_view title) override {
    ShowMessage(owner_, text, title, MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
  bool StopServer() override { return tidemoor::StopServer(); }
  SteamCmdState DeploySteamCmd() override {
    // A first download blocks the window for a while; the cursor says so.
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    const SteamCmdState state = tidemoor::DeploySteamCmd(Program().Paths, kSteamCmdArchiveAddress);
    ::SetCursor(previous);
    return state;
  }
  void WriteScript(const std::string& path, const std::string& text) override {
    WriteWholeFile(path, Utf8ToGbk(text));
  }
  void OpenScript(const std::string& path, const std::string& workingDirectory) override {
    ::ShellExecuteW(owner_, L"open", Widen(path).c_str(), nullptr, Widen(workingDirectory).c_str(),
                    SW_SHOWNORMAL);
  }
  void RunToEnd(const std::string& commandLine) override { RunCommandLine(commandLine, true, 2); }

 private:
  HWND owner_;
};

}  // namespace

void RunManualUpdate() {
  MainWindow& window = TheMainWindow();
  WindowsUpdateActions actions(window.Handle());
  PerformManualUpdate(window, Program().Paths, actions);
}

void RunAutoUpdate() {
  MainWindow& window = TheMainWindow();
  WindowsUpdateActions actions(window.Handle());
  PerformAutoUpdate(window, Program().Paths, actions);
}

}  // namespace tidemoor
