#include "backup/folder_tree_win.h"

#include <windows.h>

#include <array>

#include "platform/automation_win.h"
#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

bool IsRootPath(std::wstring_view path) {
  const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (path.size() == 1) return isSeparator(path[0]);  // the current drive's root
  const bool letter = (path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z');
  return letter && path[1] == L':' &&
         (path.size() == 2 || (path.size() == 3 && isSeparator(path[2])));
}

bool DeleteTreeBelow(const std::wstring& directory) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileW((directory + L"\\*").c_str(), &entry));
  if (search) {
    do {
      const std::wstring_view name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = directory + L"\\" + entry.cFileName;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(child.c_str());
      } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::RemoveDirectoryW(child.c_str());  // the link only, not what it points at
      } else {
        DeleteTreeBelow(child);
      }
    } while (::FindNextFileW(search.get(), &entry));
  }
  search.reset();
  return ::RemoveDirectoryW(directory.c_str()) != FALSE;
}

}  // namespace

bool CopyFolderTree(std::string_view source, std::string_view destination) {
  const ComScope com;
  const Dispatch fileSystem = Dispatch::Create(L"scripting.FileSystemObject");
  ScopedVariant from(source), to(destination);
  VARIANT* arguments[] = {from.get(), to.get()};
  return fileSystem.Call(L"CopyFolder", DISPATCH_METHOD, arguments, nullptr);
}

bool DeleteDirectoryTree(std::string_view path) {
  std::wstring directory = Widen(path);
  directory.erase(0, directory.find_first_not_of(L' '));
  if (directory.empty() || IsRootPath(directory)) return false;
  while (directory.size() > 1 && (directory.back() == L'\\' || directory.back() == L'/')) {
    directory.pop_back();
  }
  if (IsRootPath(directory)) return false;
  const DWORD attributes = ::GetFileAttributesW(directory.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return ::RemoveDirectoryW(directory.c_str()) != FALSE;
  }
  return DeleteTreeBelow(directory);
}

bool MoveDirectory(std::string_view from, std::string_view to) {
  return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) != FALSE;
}

bool DirectoryExists(std::string_view path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tidemoor
