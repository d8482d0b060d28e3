#include "app/single_tool_win.h"

#include <windows.h>

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
constexpr auto kWindowSearch = std::chrono::seconds(5);

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

}  // namespace

std::optional<UniqueHandle> ClaimToolDirectory() {
  const std::string name = SingleToolObjectName(FoldedDirectory(Widen(ToolDirectory())));
  UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, Widen(name).c_str()));
  // Another user's tool holds it: its object is there, but not ours to open.
  if (!mutex) {
    if (LastSystemError().code == ERROR_ACCESS_DENIED) return std::nullopt;
    return UniqueHandle();
  }
  if (LastSystemError().code == ERROR_ALREADY_EXISTS) return std::nullopt;
  return mutex;
}

void BringHoldingToolForward(Prompt& prompt) {
  Search search{FoldedDirectory(Widen(ToolDirectory()))};
  // The first tool may have been started a moment ago and not show its window yet.
  const auto until = std::chrono::steady_clock::now() + kWindowSearch;
  while (!search.found && std::chrono::steady_clock::now() < until) {
    ::EnumWindows(&FindHoldingWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!search.found) {
    prompt.Ask(kAlreadyRunning, " Info", PromptStyle::Information);
    return;
  }
  if (::IsIconic(search.found)) ::ShowWindow(search.found, SW_RESTORE);
  ::SetForegroundWindow(search.found);
}

}  // namespace tidemoor
