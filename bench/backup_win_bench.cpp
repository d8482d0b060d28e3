// The backup figures that run under Wine.
//   no arguments: RefreshBackupList over 2,000 points: the first fill after opening the backup
//                 manager (the window's creation included), then the refresh after a delete.
//   point <save> <tool directory> <result file>: makes one backup point of the save with the
//                 engine and writes the milliseconds it took to the result file.
//   copyloop <save> <destination> <result file>: copies the save with a plain CopyFileW loop (the
//                 fastest full copy through Win32 here) and writes its milliseconds.
//   stall <save> <tool directory> <result file>: makes a point from the backup manager's button,
//                 as a user does, and writes the longest time the user-interface thread did not
//                 answer meanwhile, then the point's milliseconds.
// The native backup_point_bench drives the last three modes and compares them with cp -r.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "backup/backup_files_win.h"
#include "backup/backup_host_win.h"
#include "backup/backup_manager_win.h"
#include "backup/backup_store_win.h"
#include "backup/folder_tree_win.h"
#include "backup/point_maker.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"

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

class NoLog : public EventLog {
 public:
  void Record(std::string_view) override {}
};

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void WriteResult(const std::string& result, double first, double second = -1) {
  std::ofstream out(Widen(result).c_str());
  out << first << "\n";
  if (second >= 0) out << second << "\n";
}

int MakeOnePoint(const std::string& saveDir, const std::string& toolDir,
                 const std::string& result) {
  WindowsBackupFiles files;
  const auto start = Clock::now();
  const PointReport report =
      MakeBackupPoint(files, {toolDir, saveDir, PointKind::Automatic, {}}, {});
  WriteResult(result, MillisecondsSince(start));
  return report.outcome == PointOutcome::Made ? 0 : 1;
}

// What a program without an engine of its own would do: walk the tree and CopyFileW each file.
bool CopyLoop(const std::wstring& from, const std::wstring& to) {
  if (!::CreateDirectoryW(to.c_str(), nullptr)) return false;
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileW((from + L"\\*").c_str(), &entry));
  if (!search) return false;
  bool ok = true;
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      ok = CopyLoop(from + L"\\" + name, to + L"\\" + name) && ok;
    } else {
      ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), TRUE) && ok;
    }
  } while (::FindNextFileW(search.get(), &entry));
  return ok;
}

int CopyWithLoop(const std::string& saveDir, const std::string& destination,
                 const std::string& result) {
  const auto start = Clock::now();
  const bool ok = CopyLoop(Widen(saveDir), Widen(destination));
  WriteResult(result, MillisecondsSince(start));
  return ok ? 0 : 1;
}

// A window that answers a posted ping: the time from posting to answering is how long the
// user-interface thread was busy with something else.
LRESULT CALLBACK PingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    *reinterpret_cast<bool*>(::GetWindowLongPtrW(window, GWLP_USERDATA)) = true;
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

int MeasureStall(const std::string& saveDir, const std::string& toolDir,
                 const std::string& result) {
  InitCommonControlClasses();
  WNDCLASSW pingClass{};
  pingClass.lpfnWndProc = &PingProc;
  pingClass.hInstance = ::GetModuleHandleW(nullptr);
  pingClass.lpszClassName = L"TidemoorBenchPing";
  ::RegisterClassW(&pingClass);
  const HWND ping = ::CreateWindowExW(0, pingClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, pingClass.hInstance, nullptr);
  bool answered = false;
  ::SetWindowLongPtrW(ping, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answered));

  NoLog log;
  WindowsBackupHost host(
      BackupHostWiring{[](std::function<void(bool)> done) { done(true); }, {}, {}, {}, &log});
  YesPrompt prompt;
  BackupRetention retention;
  BackupManagerWindow manager;
  const HWND window =
      manager.Open(BackupManagerSetup{nullptr, {toolDir, saveDir}, &prompt, &host, &retention});
  const auto pumpOnce = [] {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  };
  const auto settle = Clock::now();
  while (MillisecondsSince(settle) < 300) pumpOnce();

  double longest = 0;
  const auto start = Clock::now();
  ::PostMessageW(window, WM_COMMAND,
                 MAKEWPARAM(static_cast<int>(BackupManagerControl::CreateButton), BN_CLICKED), 0);
  bool began = false;
  while (!began || host.Activity().Busy()) {
    answered = false;
    const auto sent = Clock::now();
    ::PostMessageW(ping, WM_APP, 0, 0);
    while (!answered) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      pumpOnce();
    }
    longest = std::max(longest, MillisecondsSince(sent));
    began = began || host.Activity().Busy();
    if (MillisecondsSince(start) > 120000) break;
  }
  const double total = MillisecondsSince(start);
  ::DestroyWindow(window);
  ::DestroyWindow(ping);
  WriteResult(result, longest, total);
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
    WriteBackupIndex(point + kBackupIndexFileName,
                     {"2024年1月23日13时5分9秒", i % 2 ? PointKind::Automatic : PointKind::Manual});
  }
  InitCommonControlClasses();
  NoLog log;
  WindowsBackupHost host(
      BackupHostWiring{[](std::function<void(bool)> done) { done(true); }, {}, {}, {}, &log});
  YesPrompt prompt;
  BackupRetention retention;
  BackupManagerWindow manager;

  auto start = Clock::now();
  const HWND window = manager.Open(
      BackupManagerSetup{nullptr, {tool, tool + "\\Saved"}, &prompt, &host, &retention});
  const HWND list = ::GetDlgItem(window, static_cast<int>(BackupManagerControl::List));
  const bool opened = WaitForRows(list, kPoints + 1);
  const double firstFill = MillisecondsSince(start);

  // The delete runs in the background (a point of one file: a few milliseconds), then the list
  // is rebuilt; the wait ends when the rebuilt list holds every point left.
  start = Clock::now();
  ::SendMessageW(window, WM_COMMAND,
                 MAKEWPARAM(static_cast<int>(BackupManagerControl::DeleteButton), BN_CLICKED), 0);
  const bool refreshed = WaitForRows(list, kPoints);
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
  if (argc == 5) {
    const std::wstring mode = argv[1];
    const std::string a = Narrow(argv[2]), b = Narrow(argv[3]), result = Narrow(argv[4]);
    if (mode == L"point") return MakeOnePoint(a, b, result);
    if (mode == L"copyloop") return CopyWithLoop(a, b, result);
    if (mode == L"stall") return MeasureStall(a, b, result);
  }
  return RefreshTwoThousandPoints();
}
