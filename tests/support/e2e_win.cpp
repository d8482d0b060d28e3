#include "support/e2e_win.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/codepage_win.h"

namespace tidemoor::testing {
namespace {

constexpr wchar_t kMainWindowClass[] = L"TidemoorMainWindow";

std::string TempRoot() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetTempPathW(MAX_PATH, buffer);
  std::string root = Narrow(std::wstring_view(buffer, length));
  if (!root.empty() && root.back() == '\\') root.pop_back();
  return root + "\\tidemoor-tests";
}

void CreateParents(const std::wstring& path) {
  for (size_t i = 3; i < path.size(); ++i) {
    if (path[i] == L'\\') ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  }
}

void RemoveTree(const std::string& path) {
  // SHFileOperation wants a double-NUL-terminated list.
  std::wstring from = Widen(path);
  from.push_back(L'\0');
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&operation);
}

struct WindowSearch {
  DWORD processId;
  std::wstring title;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
  if (search->className) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (lstrcmpW(name, search->className) != 0) return TRUE;
  } else {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    if (text != search->title) return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND FindTopWindow(DWORD processId, std::wstring title, const wchar_t* className) {
  WindowSearch search{processId, std::move(title), className, nullptr};
  ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

std::string BinDirectory() {
  wchar_t buffer[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  std::wstring path(buffer, length);
  path.resize(path.find_last_of(L'\\'));
  return Narrow(path);
}

TempToolDirectory::TempToolDirectory(std::string_view nameHint) {
  static std::atomic<int> counter{0};
  const std::string root = TempRoot();
  ::CreateDirectoryW(Widen(root).c_str(), nullptr);
  path_ = root + "\\" + std::string(nameHint) + "-" + std::to_string(::GetCurrentProcessId()) +
          "-" + std::to_string(++counter);
  RemoveTree(path_);
  ::CreateDirectoryW(Widen(path_).c_str(), nullptr);
}

std::vector<DWORD> ProcessesBelow(const std::string& directory) {
  std::vector<DWORD> found;
  UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  const std::wstring prefix = Widen(directory + "\\");
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameW(process.get(), 0, image, &length)) continue;
    if (length >= prefix.size() &&
        ::CompareStringOrdinal(image, static_cast<int>(prefix.size()), prefix.c_str(),
                               static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL) {
      found.push_back(entry.th32ProcessID);
    }
  }
  return found;
}

// Ends every program running from below the directory. A launcher ended just now may still be
// creating its worker, which the process list shows only a moment later, so the directory must
// stay empty of programs for a while before it counts as empty.
void EndProgramsBelow(const std::string& directory) {
  const auto endAll = [&] {
    for (DWORD id : ProcessesBelow(directory)) {
      UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
      if (process && ::TerminateProcess(process.get(), 1)) {
        ::WaitForSingleObject(process.get(), 5000);
      }
    }
    return ProcessesBelow(directory).empty();
  };
  for (int quietChecks = 0; quietChecks < 3;) {
    quietChecks = endAll() ? quietChecks + 1 : 0;
    if (quietChecks < 3) ::Sleep(200);
  }
}

namespace {

// Whatever a test run left running (a server the tool leaves by design) would hold the run's
// output open after the last test, so the run ends them all.
class EndLeftoverPrograms : public ::testing::Environment {
 public:
  void TearDown() override { EndProgramsBelow(TempRoot()); }
};

[[maybe_unused]] ::testing::Environment* const kEndLeftoverPrograms =
    ::testing::AddGlobalTestEnvironment(new EndLeftoverPrograms);

}  // namespace

TempToolDirectory::~TempToolDirectory() {
  EndProgramsBelow(path_);
  RemoveTree(path_);
}

std::string TempToolDirectory::File(std::string_view relative) const {
  return path_ + "\\" + std::string(relative);
}

bool TempToolDirectory::Exists(std::string_view relative) const {
  return ::GetFileAttributesW(Widen(File(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempToolDirectory::ReadBytes(std::string_view relative) const {
  std::ifstream in(Widen(File(relative)).c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void TempToolDirectory::WriteBytes(std::string_view relative, std::string_view bytes) const {
  const std::wstring path = Widen(File(relative));
  CreateParents(path);
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempToolDirectory::InstallTool() const {
  ::CopyFileW(Widen(BinDirectory() + "\\Tidemoor.exe").c_str(), Widen(File("Tidemoor.exe")).c_str(),
              FALSE);
}

void TempToolDirectory::InstallFixture(std::string_view exeName,
                                       std::string_view relativeDir) const {
  std::string target = relativeDir.empty() ? path_ : File(relativeDir);
  if (!target.empty() && target.back() == '\\') target.pop_back();
  CreateParents(Widen(target + "\\"));
  ::CopyFileW(Widen(BinDirectory() + "\\fixtures\\" + std::string(exeName)).c_str(),
              Widen(target + "\\" + std::string(exeName)).c_str(), FALSE);
}

ToolProcess::ToolProcess(const TempToolDirectory& directory, std::string_view workingDirectory,
                         std::string_view arguments) {
  std::wstring commandLine = L"\"" + Widen(directory.File("Tidemoor.exe")) + L"\"";
  if (!arguments.empty()) commandLine += L" " + Widen(arguments);
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION raw{};
  if (::CreateProcessW(
          nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
          Widen(workingDirectory.empty() ? directory.Path() : workingDirectory).c_str(), &startup,
          &raw)) {
    info_.Adopt(raw);
  }
}

ToolProcess::~ToolProcess() {
  if (info_.process && ::WaitForSingleObject(info_.process.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(info_.process.get(), 1);
    ::WaitForSingleObject(info_.process.get(), 5000);
  }
}

HWND ToolProcess::WaitForMainWindow(std::chrono::milliseconds timeout) {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindTopWindow(Id(), L"", kMainWindowClass)) != nullptr; },
            timeout);
  return window;
}

bool ToolProcess::WaitForExit(std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return ::WaitForSingleObject(info_.process.get(), 0) == WAIT_OBJECT_0; },
                   timeout);
}

HWND FindWindowOfProcess(DWORD processId, std::string_view title) {
  return FindTopWindow(processId, Widen(title), nullptr);
}

namespace {

struct TitleCount {
  DWORD processId;
  std::wstring title;
  int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TitleCount*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  wchar_t title[256] = {};
  ::GetWindowTextW(window, title, 256);
  if (owner == search->processId && ::IsWindowVisible(window) && search->title == title) {
    ++search->count;
  }
  return TRUE;
}

}  // namespace

int WindowsTitled(DWORD processId, std::string_view title) {
  TitleCount search{processId, Widen(title), 0};
  ::EnumWindows(&CountTitled, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

HWND WaitForWindowOfProcess(DWORD processId, std::string_view title,
                            std::chrono::milliseconds timeout) {
  HWND window = nullptr;
  WaitUntil([&] { return (window = FindWindowOfProcess(processId, title)) != nullptr; }, timeout);
  return window;
}

std::string ControlText(HWND window, int controlId) {
  const HWND control = ::GetDlgItem(window, controlId);
  wchar_t buffer[4096] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, &copied);
  return Narrow(std::wstring_view(buffer, copied));
}

void SetControlText(HWND window, int controlId, std::string_view text) {
  const std::wstring wide = Widen(text);
  ::SendMessageTimeoutW(::GetDlgItem(window, controlId), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, 5000, nullptr);
}

bool IsControlChecked(HWND window, int controlId) {
  DWORD_PTR state = 0;
  ::SendMessageTimeoutW(::GetDlgItem(window, controlId), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000,
                        &state);
  return state == BST_CHECKED;
}

void ClickControl(HWND window, int controlId) {
  ::PostMessageW(::GetDlgItem(window, controlId), BM_CLICK, 0, 0);
}

namespace {

// Memory in the process that owns a window, freed at the end.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, size_t bytes) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    process_.reset(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process_) {
      at_ = ::VirtualAllocEx(process_.get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE,
                             PAGE_READWRITE);
    }
  }
  ~RemoteMemory() {
    if (at_) ::VirtualFreeEx(process_.get(), at_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  char* At() const { return static_cast<char*>(at_); }
  bool Write(size_t offset, const void* bytes, size_t size) const {
    return at_ && ::WriteProcessMemory(process_.get(), At() + offset, bytes, size, nullptr);
  }
  bool Read(size_t offset, void* bytes, size_t size) const {
    return at_ && ::ReadProcessMemory(process_.get(), At() + offset, bytes, size, nullptr);
  }

 private:
  UniqueHandle process_;
  void* at_ = nullptr;
};

}  // namespace

int ListRowCount(HWND list) {
  DWORD_PTR count = 0;
  ::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
  return static_cast<int>(count);
}

std::string ListCellText(HWND list, int row, int column) {
  constexpr int kChars = 1024;
  RemoteMemory memory(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = reinterpret_cast<wchar_t*>(memory.At() + sizeof(LVITEMW));
  item.cchTextMax = kChars;
  if (!memory.Write(0, &item, sizeof item)) return {};
  DWORD_PTR length = 0;
  ::SendMessageTimeoutW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(memory.At()),
                        SMTO_ABORTIFHUNG, 5000, &length);
  std::wstring text(std::min<DWORD_PTR>(length, kChars), L'\0');
  if (!memory.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return {};
  return Narrow(text);
}

void SelectListRow(HWND list, int row) {
  RemoteMemory memory(list, sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!memory.Write(0, &item, sizeof item)) return;
  ::SendMessageTimeoutW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory.At()),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
}

void PressLabel(HWND window, int controlId, bool rightButton) {
  const HWND label = ::GetDlgItem(window, controlId);
  const LPARAM point = MAKELPARAM(2, 2);
  ::PostMessageW(label, rightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN,
                 rightButton ? MK_RBUTTON : MK_LBUTTON, point);
  ::PostMessageW(label, rightButton ? WM_RBUTTONUP : WM_LBUTTONUP, 0, point);
}

void CloseToolWindow(HWND window) {
  ::PostMessageW(window, WM_CLOSE, 0, 0);
}

std::optional<SeenMessageBox> WaitForMessageBox(DWORD processId,
                                                std::chrono::milliseconds timeout) {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindTopWindow(processId, L"", L"#32770")) != nullptr; },
                 timeout)) {
    return std::nullopt;
  }
  SeenMessageBox seen;
  seen.window = box;
  // The message text is the static control with id 0xFFFF.
  seen.text = ControlText(box, 0xFFFF);
  wchar_t title[512] = {};
  ::GetWindowTextW(box, title, 512);
  seen.title = Narrow(title);
  return seen;
}

void AnswerMessageBox(const SeenMessageBox& box, int buttonId) {
  ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box.window, buttonId)));
  WaitUntil([&] { return !::IsWindow(box.window) || !::IsWindowVisible(box.window); },
            std::chrono::seconds(10));
}

}  // namespace tidemoor::testing
