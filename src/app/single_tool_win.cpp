#include "app/single_tool_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include <chrono>
#include <string>
#include <thread>

#include "app/main_window_win.h"
#include "app/single_tool.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {
namespace {

constexpr char kAlreadyRunning[] =
    " 此目录中的 Tidemoor 已在运行 (可能在另一个用户的会话中) - 同一目录只能运行一个 ";
constexpr char kStillBusy[] = " 此目录中的 Tidemoor 正在启动或退出 - 请稍后再试 ";
constexpr auto kLookAgain = std::chrono::milliseconds(100);

// The directory's one spelling: short 8.3 names, a subst drive or a junction all lead to the
// same final path, and names compare as the file system compares them, without case.
std::u16string FoldedDirectory(const std::wstring& directory) {
  std::wstring path = directory;
  const UniqueFileHandle handle(
      ::CreateFileW(directory.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (handle) {
    std::wstring final(32768, L'\0');
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle.get(), final.data(), static_cast<DWORD>(final.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length > 0 && length < final.size()) path = final.substr(0, length);
  }
  if (path.starts_with(L"\\\\?\\UNC\\")) {
    path = L"\\" + path.substr(7);
  } else if (path.starts_with(L"\\\\?\\")) {
    path = path.substr(4);
  }
  std::wstring folded(path.size(), L'\0');
  const int length = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(),
                                     static_cast<int>(path.size()), folded.data(),
                                     static_cast<int>(folded.size()), nullptr, nullptr, 0);
  if (length > 0)
    folded.resize(static_cast<size_t>(length));
  else
    folded = path;
  return std::u16string(folded.begin(), folded.end());
}

std::wstring DirectoryOf(std::wstring path) {
  const size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) path.resize(slash);
  return path;
}

std::u16string FoldedDirectoryOfProcess(DWORD processId) {
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring path(32768, L'\0');
  DWORD length = static_cast<DWORD>(path.size());
  if (!::QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return {};
  path.resize(length);
  return FoldedDirectory(DirectoryOf(path));
}

struct Search {
  std::u16string directory;
  HWND found = nullptr;
};

BOOL CALLBACK FindHoldingWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  wchar_t className[64] = {};
  ::GetClassNameW(window, className, 64);
  if (std::wstring_view(className) != kMainWindowClass || !::IsWindowVisible(window)) return TRUE;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (processId == ::GetCurrentProcessId()) return TRUE;
  if (FoldedDirectoryOfProcess(processId) != search.directory) return TRUE;
  search.found = window;
  return FALSE;
}

// The claim, or who holds it.
struct ClaimAttempt {
  std::optional<UniqueHandle> claim;  // as ClaimToolDirectory hands it back
  bool heldByAnotherUser = false;
};

ClaimAttempt TryClaim(const std::string& name) {
  UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, Widen(name).c_str()));
  if (!mutex) {
    // Another user's tool holds it: its object is there, but not ours to open.
    if (LastSystemError().code == ERROR_ACCESS_DENIED) return {std::nullopt, true};
    return {UniqueHandle()};
  }
  // The handle to the other tool's object goes at once: kept, it would hold the folder claimed
  // after that tool has ended.
  if (LastSystemError().code == ERROR_ALREADY_EXISTS) return {std::nullopt};
  return {std::move(mutex)};
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The session of a process started from this folder under this executable's name (the process
// list names only the executable, so a copy renamed in the folder is not found: Unknown).
HoldingSession FindHoldingSession(const std::u16string& directory) {
  DWORD ownSession = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &ownSession);
  const std::wstring ownName = FileNameOf(Widen(ToolExecutable()));
  const UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return HoldingSession::Unknown;
  HoldingSession found = HoldingSession::Unknown;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == ::GetCurrentProcessId() ||
        ::lstrcmpiW(entry.szExeFile, ownName.c_str()) != 0 ||
        FoldedDirectoryOfProcess(entry.th32ProcessID) != directory) {
      continue;
    }
    DWORD session = 0;
    if (!::ProcessIdToSessionId(entry.th32ProcessID, &session)) continue;
    if (session == ownSession) return HoldingSession::This;
    found = HoldingSession::Other;
  }
  return found;
}

}  // namespace

std::optional<UniqueHandle> ClaimToolDirectory() {
  return TryClaim(SingleToolObjectName(FoldedDirectory(Widen(ToolDirectory())))).claim;
}

std::optional<UniqueHandle> WaitForHoldingTool(Prompt& prompt) {
  const std::u16string directory = FoldedDirectory(Widen(ToolDirectory()));
  const std::string name = SingleToolObjectName(directory);
  const auto began = std::chrono::steady_clock::now();
  for (;;) {
    ClaimAttempt attempt = TryClaim(name);
    Search search{directory};
    HoldingToolSeen seen;
    seen.released = attempt.claim.has_value();
    if (!seen.released) {
      ::EnumWindows(&FindHoldingWindow, reinterpret_cast<LPARAM>(&search));
      seen.windowShown = search.found != nullptr;
      seen.session =
          attempt.heldByAnotherUser ? HoldingSession::Other : FindHoldingSession(directory);
    }
    seen.waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    switch (DecideSecondStart(seen)) {
      case SecondStart::Run:
        return std::move(attempt.claim);
      case SecondStart::BringForward:
        if (::IsIconic(search.found)) ::ShowWindow(search.found, SW_RESTORE);
        ::SetForegroundWindow(search.found);
        return std::nullopt;
      case SecondStart::TellOtherSession:
        prompt.Ask(kAlreadyRunning, " Info", PromptStyle::Information);
        return std::nullopt;
      case SecondStart::TellStillBusy:
        prompt.Ask(kStillBusy, " Info", PromptStyle::Information);
        return std::nullopt;
      case SecondStart::KeepWaiting:
        std::this_thread::sleep_for(kLookAgain);
        break;
    }
  }
}

}  // namespace tidemoor
