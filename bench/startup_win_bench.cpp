// Time from process start to a visible window: Tidemoor.exe (in a fresh tool directory each run)
// against two yardsticks built the same way, an empty Win32 window and a window with the main
// window's controls and nothing else, measured alternately in one run. Prints the medians with
// their spread and the ratios. Then the resident memory (working set) of each once its window has
// shown and stayed idle, and the differences, and what each idle process holds: its threads and
// its windows (top-level, and message-only ones that only carry messages and timers).

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Search {
  DWORD processId;
  bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ::IsWindowVisible(window)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<std::pair<DWORD, int>*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->first) ++search->second;
  return TRUE;
}

// What an idle process holds besides memory.
struct Holdings {
  int threads = 0;
  int topLevelWindows = 0;
  int messageOnlyWindows = 0;
};

Holdings CountHoldings(DWORD processId) {
  Holdings held;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 thread{sizeof(thread)};
  for (BOOL more = ::Thread32First(snapshot, &thread); more;
       more = ::Thread32Next(snapshot, &thread)) {
    if (thread.th32OwnerProcessID == processId) ++held.threads;
  }
  ::CloseHandle(snapshot);
  std::pair<DWORD, int> search{processId, 0};
  ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&search));
  held.topLevelWindows = search.second;
  for (HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) ++held.messageOnlyWindows;
  }
  return held;
}

std::wstring Folder(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\'));
}

// Starts the program and returns milliseconds until it shows a window (-1 when it shows none);
// with idleBytes, also its working set after the window has been idle for a while, and with held
// what it holds then. Then ends it.
double TimeToWindow(const std::wstring& program, const std::wstring& directory,
                    SIZE_T* idleBytes = nullptr, Holdings* held = nullptr) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  const auto start = Clock::now();
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
    return -1;
  }
  Search search{info.dwProcessId, false};
  while (!search.found && Clock::now() - start < std::chrono::seconds(30)) {
    ::EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
    if (!search.found) ::Sleep(1);
  }
  const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (idleBytes && search.found) {
    ::Sleep(3000);  // start-up's work done, the first paint over
    PROCESS_MEMORY_COUNTERS counters{sizeof(counters)};
    *idleBytes = ::K32GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))
                     ? counters.WorkingSetSize
                     : 0;
    if (held) *held = CountHoldings(info.dwProcessId);
  }
  ::TerminateProcess(info.hProcess, 0);
  ::WaitForSingleObject(info.hProcess, 10000);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return search.found ? elapsed : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One program measured alternately with the others: where it runs from and what was measured.
struct Subject {
  const char* name;
  std::wstring program;
  std::wstring directory;
  std::vector<double> milliseconds;
  std::vector<double> idleMiB;
  Holdings held;
};

void PrintTimes(const Subject& subject) {
  const auto [fastest, slowest] =
      std::minmax_element(subject.milliseconds.begin(), subject.milliseconds.end());
  std::printf("  %-22s %8.1f ms  (%.1f-%.1f)\n", subject.name, Median(subject.milliseconds),
              *fastest, *slowest);
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring benchDir = Folder(self);
  const std::wstring binDir = Folder(benchDir);

  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring toolDir = std::wstring(temp) + L"tidemoor-startup-bench";
  ::CreateDirectoryW(toolDir.c_str(), nullptr);
  const std::wstring tool = toolDir + L"\\Tidemoor.exe";
  ::CopyFileW((binDir + L"\\Tidemoor.exe").c_str(), tool.c_str(), FALSE);

  Subject subjects[] = {
      {"Tidemoor.exe", tool, toolDir},
      {"empty Win32 window", benchDir + L"\\minimal_window_win_bench.exe", benchDir},
      {"window of 53 controls", benchDir + L"\\controls_window_win_bench.exe", benchDir},
  };
  Subject& toolRuns = subjects[0];
  Subject& emptyRuns = subjects[1];
  Subject& controlsRuns = subjects[2];

  constexpr int kRuns = 7;
  // The first runs warm the loader and the font cache for all.
  for (Subject& subject : subjects) TimeToWindow(subject.program, subject.directory);
  for (int i = 0; i < kRuns; ++i) {
    for (Subject& subject : subjects) {
      subject.milliseconds.push_back(TimeToWindow(subject.program, subject.directory));
    }
  }
  const double ratio = Median(toolRuns.milliseconds) / Median(controlsRuns.milliseconds);
  std::printf("start-up to visible window (median of %d, alternating; fastest-slowest)\n", kRuns);
  for (const Subject& subject : subjects) PrintTimes(subject);
  std::printf("  ratio to the 53 controls %6.2f (target <= 1.2)\n", ratio);
  std::printf("  ratio to the empty window %5.2f\n",
              Median(toolRuns.milliseconds) / Median(emptyRuns.milliseconds));

  for (int i = 0; i < 3; ++i) {
    for (Subject& subject : subjects) {
      SIZE_T bytes = 0;
      TimeToWindow(subject.program, subject.directory, &bytes, &subject.held);
      subject.idleMiB.push_back(bytes / 1048576.0);
    }
  }
  const double memoryDifference = Median(toolRuns.idleMiB) - Median(controlsRuns.idleMiB);
  std::printf("resident memory of the idle window (median of 3)\n");
  for (const Subject& subject : subjects) {
    std::printf("  %-22s %8.1f MiB\n", subject.name, Median(subject.idleMiB));
  }
  std::printf("  above the 53 controls %7.1f MiB (target <= 8)\n", memoryDifference);
  std::printf("  above the empty window %6.1f MiB\n",
              Median(toolRuns.idleMiB) - Median(emptyRuns.idleMiB));
  std::printf(
      "what the idle window's process holds (threads / top-level / message-only windows)\n");
  for (const Subject& subject : subjects) {
    std::printf("  %-22s %3d / %d / %d\n", subject.name, subject.held.threads,
                subject.held.topLevelWindows, subject.held.messageOnlyWindows);
  }
  const bool goalsMet = ratio <= 1.2 && memoryDifference <= 8;

  std::wstring from = toolDir;
  from.append(2, L'\0');
  SHFILEOPSTRUCTW remove{};
  remove.wFunc = FO_DELETE;
  remove.pFrom = from.c_str();
  remove.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&remove);
  return goalsMet ? 0 : 1;
}
