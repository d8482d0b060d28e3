// How long the main window's thread stops answering during the tool's longest operations, as a
// user sees it. Tidemoor.exe runs in a fresh tool directory with the fixture SteamCMD and server;
// a thread of this program sends a message to the main window again and again, and the longest
// round trip during each operation is printed:
//   an automatic update whose SteamCMD takes 20 s (it ends with the server running),
//   a safe stop whose REST API answers after 20 s,
//   opening the backup manager on 2,000 points,
//   deleting a point of 2,000 files,
//   restoring a point of 200 MiB,
//   a server launch (the start button, without the automatic update),
//   the connection doctor's firewall fix (the tool started again elevated; under Wine the helper
//   finds no firewall interface and exits at once).
// The goal is under 100 ms each; the exit code is 1 when one is missed or did not complete.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "app/main_controls.h"
#include "backup/backup_manager_win.h"
#include "backup/backup_store.h"
#include "backup/backup_store_win.h"
#include "backup/folder_tree_win.h"
#include "net/connection_doctor_win.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/http_client_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"
#include "server/rest_api.h"
#include "server/server_world.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace tidemoor;
using namespace std::chrono_literals;

constexpr int kApiPort = 18251;
constexpr char kPassword[] = "admin-bench-pw";
constexpr char kServerDir[] = "\\PaLWorld_Data\\steamapps\\common\\PalServer";
constexpr double kGoalMs = 100;
constexpr int kPoints = 2000;
constexpr int kFilesInPoint = 2000;
constexpr int kRestoreMiB = 200;
// The two points the operations act on are the newest, so each is the selected first row when
// its turn comes: the many-file one is deleted first, then the large one is restored.
constexpr long long kLargeStamp = 1706752800;      // 2024-02-01
constexpr long long kManyFilesStamp = 1706839200;  // 2024-02-02

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto start = Clock::now();
  while (!condition()) {
    if (Clock::now() - start > limit) return false;
    ::Sleep(20);
  }
  return true;
}

struct Stall {
  double longest = 0;  // milliseconds
  double at = 0;       // when the longest round trip began, milliseconds after the watch began
  int trips = 0;
};

double RoundTrip(HWND window) {
  const auto sent = Clock::now();
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
  return MillisecondsSince(sent);
}

// Sends WM_NULL to the window from a thread of its own, round trip after round trip, from its
// construction until End, and keeps the longest one.
class StallWatch {
 public:
  explicit StallWatch(HWND window)
      : window_(window), began_(Clock::now()), thread_([this] { Run(); }) {}
  ~StallWatch() {
    stop_ = true;
    thread_.join();
  }
  StallWatch(const StallWatch&) = delete;
  StallWatch& operator=(const StallWatch&) = delete;

  Stall End() {
    const std::lock_guard lock(mutex_);
    measuring_ = false;
    return stall_;
  }

 private:
  void Run() {
    while (!stop_) {
      const auto sent = Clock::now();
      const double trip = RoundTrip(window_);
      {
        const std::lock_guard lock(mutex_);
        if (measuring_) {
          if (trip > stall_.longest) {
            stall_.longest = trip;
            stall_.at = std::chrono::duration<double, std::milli>(sent - began_).count();
          }
          ++stall_.trips;
        }
      }
      ::Sleep(2);
    }
  }

  HWND window_;
  Clock::time_point began_;
  std::mutex mutex_;
  Stall stall_;
  bool measuring_ = true;
  std::atomic<bool> stop_ = false;
  std::thread thread_;
};

struct Search {
  DWORD processId;
  std::wstring className;  // empty: any
  std::wstring title;      // empty: any
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  wchar_t name[64] = {}, title[128] = {};
  ::GetWindowThreadProcessId(window, &owner);
  ::GetClassNameW(window, name, 64);
  ::GetWindowTextW(window, title, 128);
  if (owner == search->processId && ::IsWindowVisible(window) &&
      (search->className.empty() || search->className == name) &&
      (search->title.empty() || search->title == title)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, std::string_view title = {},
                   std::chrono::milliseconds limit = 60s) {
  Search search{processId, className, Widen(title), nullptr};
  WaitUntil(
      [&] {
        ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      limit);
  return search.found;
}

// Answers the process's next message box with the button and waits until it has gone.
bool AnswerNextBox(DWORD processId, int button, std::chrono::milliseconds limit = 60s) {
  const HWND box = WaitForWindow(processId, L"#32770", {}, limit);
  if (!box) return false;
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, button)));
  return WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, 10s);
}

std::string Caption(HWND control) {
  wchar_t text[64] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(control, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &copied);
  return Narrow(text);
}

LRESULT Rows(HWND list) {
  DWORD_PTR rows = 0;
  ::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &rows);
  return static_cast<LRESULT>(rows);
}

bool ApiAnswers() {
  const RestRequest info = InfoRequest(RestEndpoint{kApiPort, kPassword});
  return HttpRequest(HttpCall{info.method, info.url, info.headers, info.body}, {2s, 5s, 65536})
             .status == 200;
}

bool Exists(const std::string& path) {
  return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Copy(const std::string& from, const std::string& to) {
  EnsureDirectory(to.substr(0, to.rfind('\\')));
  ::CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE);
}

void WritePoint(const std::string& tool, long long stamp, const std::string& time) {
  const std::string point = BackupPointDir(tool, std::to_string(stamp));
  EnsureDirectory(point);
  WriteBackupIndex(point + kBackupIndexFileName, {time, PointKind::Manual});
}

// The tool directory: the tool, SteamCMD with the server it installs, the settings, and the
// backup points the backup scenarios act on.
void PrepareToolDirectory(const std::string& tool, const std::string& bin) {
  const std::string data = tool + "\\PaLWorld_Data";
  Copy(bin + "\\Tidemoor.exe", tool + "\\Tidemoor.exe");
  Copy(bin + "\\fixtures\\taskkill.exe", tool + "\\taskkill.exe");
  Copy(bin + "\\fixtures\\Steamcmd.exe", data + "\\Steamcmd.exe");
  for (const char* name : {"\\PalServer.exe", "\\PalServer-Win64-Test-Cmd.exe"}) {
    Copy(bin + "\\fixtures" + name, data + "\\steamcmd-payload" + name);
  }
  WriteWholeFile(
      data + "\\PaLWorld_Tools.ini",
      Utf8ToGbk("[服务端运行控制]\r\nHide_ServerConsole=0\r\nAuto_CheckServer=1\r\n"
                "Crash_Autorun=0\r\nTimeer_Autorestart=0\r\nUse_4To_optimize=0\r\n"
                "Timeer_Autobackup_Saved=0\r\n[服务器启动参数]\r\nPort_Game=8211\r\n"
                "Port_SteamList=27015\r\nMax_Player=32\r\nAdmin_Password=" +
                std::string(kPassword) +
                "\r\nServer_Name=Bench Host\r\nOpen_community=0\r\n[扩展设置]\r\n"
                "Safe_Stop=1\r\nRestAPI_Port=" +
                std::to_string(kApiPort) + "\r\nRestart_Notice=0\r\nHang_Restart=0\r\n"));

  for (int i = 0; i < kPoints - 2; ++i) {
    WritePoint(tool, 1705986309 + i * 60, "2024年1月23日13时5分9秒");
  }
  WritePoint(tool, kLargeStamp, "2024年2月1日10时0分0秒");
  const std::string large = BackupPointDir(tool, std::to_string(kLargeStamp)) + "Saved";
  const std::string block(1 << 20, 'x');
  for (int file = 0; file < kRestoreMiB / 10; ++file) {
    std::string bytes;
    for (int mib = 0; mib < 10; ++mib) bytes += block;
    const std::string name = file == 0 ? "Level.sav" : "Players\\" + std::to_string(file) + ".sav";
    EnsureDirectory(large + "\\SaveGames\\0\\World\\Players");
    WriteWholeFile(large + "\\SaveGames\\0\\World\\" + name, bytes);
  }
  WritePoint(tool, kManyFilesStamp, "2024年2月2日10时0分0秒");
  const std::string many = BackupPointDir(tool, std::to_string(kManyFilesStamp)) + "Saved";
  for (int folder = 0; folder < kFilesInPoint / 100; ++folder) {
    const std::string dir = many + "\\SaveGames\\0\\World\\Players" + std::to_string(folder);
    EnsureDirectory(dir);
    for (int file = 0; file < 100; ++file) {
      WriteWholeFile(dir + "\\" + std::to_string(file) + ".sav", "player");
    }
  }
}

struct Figures {
  bool allMet = true;

  // firstAnswer: how long the window took to answer once the user had acted, before the watch
  // began. Under Wine (Xvfb, no window manager) even a bare program's window answers about 2 s
  // late after a message box closes, so that moment is shown apart from the operation's figure.
  void Print(const char* scenario, bool completed, const Stall& stall, double firstAnswer) {
    if (!completed) {
      std::printf("%-44s did not complete\n", scenario);
      allMet = false;
    } else {
      std::printf("%-44s longest stall: %.0f ms\n", scenario, stall.longest);
      std::printf(
          "%-44s   (%.1f s in, %d round trips, goal < %.0f; first answer after the "
          "click or question: %.0f ms)\n",
          "", stall.at / 1000, stall.trips, kGoalMs, firstAnswer);
      allMet = allMet && stall.longest < kGoalMs;
    }
    std::fflush(stdout);
  }
};

int Control(MainControl control) {
  return static_cast<int>(control);
}
int Control(BackupManagerControl control) {
  return static_cast<int>(control);
}
int Control(DoctorControl control) {
  return static_cast<int>(control);
}

void PressLabel(HWND label) {
  ::PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::PostMessageW(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// Each scenario: what the user does (a click, the answer to its question), then the operation,
// watched until it has visibly ended. Stops at the first one that does not complete, as the next
// ones build on it.
void RunScenarios(DWORD processId, HWND window, const std::string& tool, Figures& figures) {
  const auto measure = [&](const char* scenario, const std::function<bool()>& ask,
                           const std::function<bool()>& operation) {
    bool done = ask();
    const double firstAnswer = RoundTrip(window);
    StallWatch watch(window);
    done = done && operation();
    figures.Print(scenario, done, watch.End(), firstAnswer);
    return done;
  };
  const auto click = [](HWND button) { return ::PostMessageW(button, BM_CLICK, 0, 0) != FALSE; };
  const auto clickAndAnswerYes = [&](HWND button) {
    return click(button) && AnswerNextBox(processId, IDYES);
  };
  const HWND start = ::GetDlgItem(window, Control(MainControl::StartButton));
  const std::string serverDir = tool + kServerDir;

  WriteWholeFile(tool + "\\PaLWorld_Data\\steamcmd-slow.flag", "");
  if (!measure(
          "automatic update, SteamCMD taking 20 s", [&] { return click(start); },
          [&] {
            return WaitUntil([&] { return Caption(start) == kStopCaption && ApiAnswers(); }, 120s);
          })) {
    return;
  }

  WriteWholeFile(serverDir + "\\api-slow.flag", "");
  const bool stopped = measure(
      "safe stop, REST API answering after 20 s", [&] { return clickAndAnswerYes(start); },
      [&] { return WaitUntil([&] { return Caption(start) == kStartCaption; }, 180s); });
  ::DeleteFileW(Widen(serverDir + "\\api-slow.flag").c_str());
  if (!stopped) return;

  HWND manager = nullptr, list = nullptr;
  if (!measure(
          "opening the backup manager on 2,000 points",
          [&] {
            PressLabel(::GetDlgItem(window, Control(MainControl::BackupManagerLabel)));
            return true;
          },
          [&] {
            manager = WaitForWindow(processId, L"", kBackupManagerTitle, 30s);
            list = manager ? ::GetDlgItem(manager, Control(BackupManagerControl::List)) : nullptr;
            return list && WaitUntil([&] { return Rows(list) == kPoints; }, 120s);
          })) {
    return;
  }

  const std::string many = BackupPointDir(tool, std::to_string(kManyFilesStamp));
  if (!measure(
          "deleting a point of 2,000 files",
          [&] {
            return clickAndAnswerYes(
                ::GetDlgItem(manager, Control(BackupManagerControl::DeleteButton)));
          },
          [&] {
            return WaitUntil([&] { return !Exists(many) && Rows(list) == kPoints - 1; }, 180s);
          })) {
    return;
  }

  // Measured until the box that tells the restore has ended.
  if (!measure(
          "restoring a point of 200 MiB",
          [&] {
            return clickAndAnswerYes(
                ::GetDlgItem(manager, Control(BackupManagerControl::RestoreButton)));
          },
          [&] { return WaitForWindow(processId, L"#32770", {}, 300s) != nullptr; }) ||
      !AnswerNextBox(processId, IDOK)) {
    return;
  }
  ::PostMessageW(manager, WM_CLOSE, 0, 0);

  // No question comes before these two: the watch runs from before the click, once the window
  // answers at once again after the restore's box.
  const auto noQuestion = [&] {
    return WaitUntil([&] { return RoundTrip(window) < kGoalMs / 2; }, 30s);
  };
  const HWND autoUpdate = ::GetDlgItem(window, Control(MainControl::AutoUpdateBox));
  if (!measure("a server launch", noQuestion, [&] {
        if (::SendMessageW(autoUpdate, BM_GETCHECK, 0, 0) == BST_CHECKED) click(autoUpdate);
        return WaitUntil([&] { return ::SendMessageW(autoUpdate, BM_GETCHECK, 0, 0) == 0; }, 10s) &&
               click(start) && WaitUntil([&] { return Caption(start) == kStopCaption; }, 60s);
      })) {
    return;
  }

  PressLabel(::GetDlgItem(window, Control(MainControl::DoctorLabel)));
  const HWND doctor = WaitForWindow(processId, L"", kDoctorTitle, 30s);
  const HWND natVerdict =
      doctor ? ::GetDlgItem(doctor, Control(DoctorControl::NatVerdict)) : nullptr;
  const std::string log = tool + "\\PaLWorld_Data\\Tidemoor.log";
  const bool checked =
      natVerdict && WaitUntil([&] { return Caption(natVerdict) != kCheckingText; }, 120s);
  measure("the firewall fix of the connection doctor", noQuestion, [&] {
    // Posted as the button's click: the check leaves the button disabled where the firewall
    // cannot be read.
    const int fix = Control(DoctorControl::FirewallFixButton);
    return checked &&
           ::PostMessageW(doctor, WM_COMMAND, MAKEWPARAM(fix, BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(doctor, fix))) &&
           WaitUntil(
               [&] {
                 return ReadWholeFile(log).bytes.find("联机诊断 添加防火墙规则") !=
                        std::string::npos;
               },
               60s);
  });
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string bin = Narrow(self);
  bin = bin.substr(0, bin.rfind('\\'));
  bin = bin.substr(0, bin.rfind('\\'));
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::string tool = Narrow(temp) + "tidemoor-stall-bench";
  DeleteDirectoryTree(tool, ReadOnlyFiles::Delete);
  PrepareToolDirectory(tool, bin);

  // Everything the bench starts ends with it: the tool, SteamCMD and the server.
  UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
  std::wstring commandLine = L"\"" + Widen(tool) + L"\\Tidemoor.exe\"";
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED | DETACHED_PROCESS, nullptr, Widen(tool).c_str(), &startup,
                        &info)) {
    std::printf("Tidemoor.exe did not start\n");
    return 1;
  }
  UniqueHandle process(info.hProcess), thread(info.hThread);
  ::AssignProcessToJobObject(job.get(), process.get());
  ::ResumeThread(thread.get());

  Figures figures;
  const HWND window = WaitForWindow(info.dwProcessId, L"TidemoorMainWindow");
  if (window) {
    ::Sleep(1000);  // lets the start-up's own work settle before anything is measured
    RunScenarios(info.dwProcessId, window, tool, figures);
  } else {
    figures.Print("the main window", false, {}, 0);
  }
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  ::WaitForSingleObject(process.get(), 10000);
  job.reset();
  ::Sleep(500);
  DeleteDirectoryTree(tool, ReadOnlyFiles::Delete);
  return figures.allMet ? 0 : 1;
}
