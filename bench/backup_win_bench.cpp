// The backup figures that run under Wine.
//   no arguments: RefreshBackupList over 2,000 points: the first fill after opening the backup
//                 manager (the window's creation included), then the refresh after a delete.
//   point <save directory> <tool directory> <result file>: makes one backup point of the save
//                 directory and writes the milliseconds it took to the result file; the native
//                 backup_point_bench drives this mode and compares it with cp -r.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "backup/backup_host_win.h"
#include "backup/backup_manager_win.h"
#include "backup/backup_store_win.h"
#include "backup/folder_tree_win.h"
#include "platform/directories_win.h"
#include "platform/codepage_win.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace tidemoor;

// Answers every question with Yes, as a user who clicks through.
class YesPrompt : public Prompt {
 public:
  PromptAnswer Ask(std::string_view, std::string_view, PromptStyle) override {
    return PromptAnswer::Yes;
  }
};

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int MakeOnePoint(const std::string& saveDir, const std::string& toolDir,
                 const std::string& result) {
  WindowsBackupHost host([] { return true; });
  const auto start = Clock::now();
  CreateBackupPoint(host, BackupPlaces{toolDir, saveDir});
  const double elapsed = MillisecondsSince(start);
  std::ofstream(Widen(result).c_str()) << elapsed << "\n";
  return 0;
}

// Lets the window work until its list holds the rows; false after a minute.
bool WaitForRows(HWND list, LRESULT rows) {
  const auto start = Clock::now();
  while (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != rows) {
    if (MillisecondsSince(start) > 60000) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
  return true;
}

int RefreshTwoThousandPoints() {
  constexpr int kPoints = 2000;
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::string tool = Narrow(temp) + "tidemoor-refresh-bench";
  DeleteDirectoryTree(tool);
  // One more, for the delete that starts the second refresh.
  for (int i = 0; i <= kPoints; ++i) {
    const std::string point = BackupPointDir(tool, std::to_string(1705986309 + i * 60));
    EnsureDirectory(point);
    WriteIndexTime(point + kBackupIndexFileName, "2024年1月23日13时5分9秒");
  }
  YesPrompt prompt;
  BackupManagerWindow manager;

  auto start = Clock::now();
  const HWND window = manager.Open(
      BackupManagerSetup{nullptr, {tool, tool + "\\Saved"}, &prompt, [] { return true; }});
  const HWND list = ::GetDlgItem(window, static_cast<int>(BackupManagerControl::List));
  const bool opened = WaitForRows(list, kPoints + 1);
  const double firstFill = MillisecondsSince(start);

  start = Clock::now();
  ::SendMessageW(window, WM_COMMAND,
                 MAKEWPARAM(static_cast<int>(BackupManagerControl::DeleteButton), BN_CLICKED), 0);
  const bool refreshed = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == kPoints;
  const double refresh = MillisecondsSince(start);
  ::DestroyWindow(window);
  DeleteDirectoryTree(tool);

  std::printf(
      "backup list of %d points: first fill with the window %.0f ms, refresh after a "
      "delete %.0f ms (goal: under 1000 ms)\n",
      kPoints, firstFill, refresh);
  return opened && refreshed && refresh < 1000 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wstring(argv[1]) == L"point") {
    return MakeOnePoint(Narrow(argv[2]), Narrow(argv[3]), Narrow(argv[4]));
  }
  return RefreshTwoThousandPoints();
}
