#pragma once
// End-to-end harness: a temporary tool directory with Tidemoor.exe (and fixture programs) in it,
// the tool's process, and a small driver that works the tool's windows like a user would.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/unique_handle_win.h"

namespace tidemoor::testing {

using namespace std::chrono_literals;

// Polls the condition (pumping this thread's messages) until it holds or the timeout passes.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(15));

// The directory that holds the test executables, Tidemoor.exe and fixtures\ (no trailing \).
std::string BinDirectory();

// Ids of the running processes whose executable lies below the directory (no trailing \).
std::vector<DWORD> ProcessesBelow(const std::string& directory);

// Ends them, and waits until no program from the directory has been seen for a while.
void EndProgramsBelow(const std::string& directory);

// A fresh directory below %TEMP%\tidemoor-tests, removed with everything in it at the end. Any
// program still running from it (a server the tool leaves running by design) is ended first: a
// leftover process would hold the test run's output open and keep the directory from going.
class TempToolDirectory {
 public:
  // The hint becomes part of the directory's name (it may hold blanks, & or Chinese).
  explicit TempToolDirectory(std::string_view nameHint = "tool");
  ~TempToolDirectory();
  TempToolDirectory(const TempToolDirectory&) = delete;
  TempToolDirectory& operator=(const TempToolDirectory&) = delete;

  const std::string& Path() const { return path_; }   // no trailing backslash
  std::string File(std::string_view relative) const;  // Path() + "\" + relative
  bool Exists(std::string_view relative) const;
  std::string ReadBytes(std::string_view relative) const;
  void WriteBytes(std::string_view relative, std::string_view bytes) const;  // creates parents

  void InstallTool() const;  // copies Tidemoor.exe into Path()
  // Copies bin\fixtures\<exeName> into Path()\<relativeDir> (created when missing).
  void InstallFixture(std::string_view exeName, std::string_view relativeDir = "") const;

 private:
  std::string path_;
};

// Tidemoor.exe started from a tool directory; killed at the end if it still runs. It starts in
// the tool directory unless another working directory is given (a shortcut's "Start in"), with
// the arguments after its quoted path.
class ToolProcess {
 public:
  explicit ToolProcess(const TempToolDirectory& directory, std::string_view workingDirectory = {},
                       std::string_view arguments = {});
  ~ToolProcess();

  DWORD Id() const { return info_.processId; }
  HANDLE Handle() const { return info_.process.get(); }
  // The visible main window (found by its window class), or nullptr after the timeout.
  HWND WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(20));
  bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(15));

 private:
  UniqueProcessInformation info_;
};

// A visible top-level window of the process whose title equals the text.
HWND FindWindowOfProcess(DWORD processId, std::string_view title);
HWND WaitForWindowOfProcess(DWORD processId, std::string_view title,
                            std::chrono::milliseconds timeout = std::chrono::seconds(15));
// How many visible top-level windows of the process have that title (a second press of a label
// must bring the first forward, not open another).
int WindowsTitled(DWORD processId, std::string_view title);

std::string ControlText(HWND window, int controlId);
void SetControlText(HWND window, int controlId, std::string_view text);
bool IsControlChecked(HWND window, int controlId);
// Clicks a button or check box (posted, so a message box it opens does not block the test).
void ClickControl(HWND window, int controlId);
// Presses a mouse button on a clickable label (posted button down and up).
void PressLabel(HWND window, int controlId, bool rightButton = false);
void CloseToolWindow(HWND window);  // posts WM_CLOSE (Win32 has its own CloseWindow)

// A report list of another process: its rows, a cell's text, and selecting a row. The item
// structures a list view reads and writes must lie in its own process, so they are placed there.
int ListRowCount(HWND list);
std::string ListCellText(HWND list, int row, int column);
void SelectListRow(HWND list, int row);

struct SeenMessageBox {
  HWND window = nullptr;
  std::string text;
  std::string title;
};
// The next message box (dialog class #32770) shown by the process.
std::optional<SeenMessageBox> WaitForMessageBox(
    DWORD processId, std::chrono::milliseconds timeout = std::chrono::seconds(15));
// Presses the box's button (IDOK, IDYES, IDNO, ...).
void AnswerMessageBox(const SeenMessageBox& box, int buttonId);

}  // namespace tidemoor::testing
