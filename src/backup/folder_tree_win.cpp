#include "backup/folder_tree_win.h"

#include <windows.h>

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

// A read-only file may be one of several names of a file shared between backup points, and its
// attributes belong to the file, not to the name: the attribute is cleared only for the moment
// the name is marked for deletion, through a handle that then sets it back for the other names.
bool DeleteReadOnlyFile(const std::wstring& path) {
  UniqueFileHandle file(
      ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | DELETE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_BASIC_INFO basic{};
  if (!file || !::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)) {
    return false;
  }
  // Zero times are left as they are.
  basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
  basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
  const DWORD kept = basic.FileAttributes;
  const DWORD cleared = kept & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  basic.FileAttributes = cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL;
  if (!::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic)) return false;
  FILE_DISPOSITION_INFO dispose{TRUE};
  const bool marked =
      ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
  basic.FileAttributes = kept;
  ::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
  return marked;
}

bool DeleteOneFile(const std::wstring& path, ReadOnlyFiles readOnly) {
  if (::DeleteFileW(path.c_str())) return true;
  return readOnly == ReadOnlyFiles::Delete && ::GetLastError() == ERROR_ACCESS_DENIED &&
         DeleteReadOnlyFile(path);
}

bool RemoveOneDirectory(const std::wstring& path, ReadOnlyFiles readOnly) {
  if (::RemoveDirectoryW(path.c_str())) return true;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (readOnly == ReadOnlyFiles::Keep || attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return false;
  }
  ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

bool DeleteTreeBelow(const std::wstring& directory, ReadOnlyFiles readOnly) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileExW((directory + L"\\*").c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH));
  if (search) {
    do {
      const std::wstring_view name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = directory + L"\\" + entry.cFileName;
      if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteOneFile(child, readOnly);
      } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::RemoveDirectoryW(child.c_str());  // the link only, not what it points at
      } else {
        DeleteTreeBelow(child, readOnly);
      }
    } while (::FindNextFileW(search.get(), &entry));
  }
  search.reset();
  return RemoveOneDirectory(directory, readOnly);
}

}  // namespace

// The \\?\ form is taken as it stands, so the path is made full first: "/", "." and ".." parts and
// doubled backslashes are resolved as the plain form would resolve them.
std::wstring LongPath(std::string_view path) {
  const std::wstring wide = Widen(path);
  std::wstring full(wide.size() + MAX_PATH, L'\0');
  const DWORD length =
      ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length == 0 || length >= full.size()) return wide;
  full.resize(length);
  if (full.starts_with(L"\\\\")) {
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\")) return full;
    return L"\\\\?\\UNC" + full.substr(1);
  }
  return L"\\\\?\\" + full;
}

bool DeleteDirectoryTree(std::string_view path, ReadOnlyFiles readOnly) {
  std::wstring directory = Widen(path);
  directory.erase(0, directory.find_first_not_of(L' '));
  if (directory.empty() || IsRootPath(directory)) return false;
  while (directory.size() > 1 && (directory.back() == L'\\' || directory.back() == L'/')) {
    directory.pop_back();
  }
  if (IsRootPath(directory)) return false;
  const std::wstring target = LongPath(Narrow(directory));
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return ::RemoveDirectoryW(target.c_str()) != FALSE;
  }
  return DeleteTreeBelow(target, readOnly);
}

bool MoveDirectory(std::string_view from, std::string_view to) {
  return ::MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), 0) != FALSE;
}

bool DirectoryExists(std::string_view path) {
  const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tidemoor
