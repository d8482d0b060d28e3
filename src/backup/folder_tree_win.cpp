#include "backup/folder_tree_win.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"
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

// The cause of the first entry that stayed: the tree's deletion goes on past it, and the user
// learns why it is not gone.
class FirstFailure {
 public:
  // Reads the thread's last error; call right after the call that failed.
  void Note() { Note(LastSystemError()); }
  void Note(SystemError error) {
    if (!error_) error_ = std::move(error);
  }
  // What became of the tree: gone, or why not.
  Outcome Of(bool gone) const {
    if (gone) return {};
    return error_ ? *error_ : SystemErrorOf(ERROR_DIR_NOT_EMPTY);
  }

 private:
  std::optional<SystemError> error_;
};

// A read-only file may be one of several names of a file shared between backup points, and its
// attributes belong to the file, not to the name: the attribute is cleared only for the moment
// the name is marked for deletion, through a handle that then sets it back for the other names.
bool DeleteReadOnlyFile(const std::wstring& path, FirstFailure& failure) {
  UniqueFileHandle file(
      ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | DELETE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_BASIC_INFO basic{};
  if (!file || !::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)) {
    failure.Note();
    return false;
  }
  // Zero times are left as they are.
  basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
  basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;
  const DWORD kept = basic.FileAttributes;
  const DWORD cleared = kept & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  basic.FileAttributes = cleared != 0 ? cleared : FILE_ATTRIBUTE_NORMAL;
  if (!::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic)) {
    failure.Note();
    return false;
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  const bool marked =
      ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
  if (!marked) failure.Note();
  basic.FileAttributes = kept;
  ::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic);
  return marked;
}

void DeleteOneFile(const std::wstring& path, ReadOnlyFiles readOnly, FirstFailure& failure) {
  if (::DeleteFileW(path.c_str())) return;
  SystemError error = LastSystemError();
  if (readOnly == ReadOnlyFiles::Delete && error.code == ERROR_ACCESS_DENIED) {
    DeleteReadOnlyFile(path, failure);
  } else {
    failure.Note(std::move(error));
  }
}

bool RemoveOneDirectory(const std::wstring& path, ReadOnlyFiles readOnly, FirstFailure& failure) {
  if (::RemoveDirectoryW(path.c_str())) return true;
  SystemError error = LastSystemError();
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (readOnly == ReadOnlyFiles::Delete && attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    if (::RemoveDirectoryW(path.c_str())) return true;
  }
  failure.Note(std::move(error));
  return false;
}

bool DeleteTreeBelow(const std::wstring& directory, ReadOnlyFiles readOnly, FirstFailure& failure) {
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
        DeleteOneFile(child, readOnly, failure);
      } else if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // The link only, not what it points at.
        if (!::RemoveDirectoryW(child.c_str())) failure.Note();
      } else {
        DeleteTreeBelow(child, readOnly, failure);
      }
    } while (::FindNextFileW(search.get(), &entry));
  }
  search.reset();
  return RemoveOneDirectory(directory, readOnly, failure);
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

Outcome DeleteDirectoryTree(std::string_view path, ReadOnlyFiles readOnly) {
  std::wstring directory = Widen(path);
  directory.erase(0, directory.find_first_not_of(L' '));
  if (directory.empty() || IsRootPath(directory)) return SystemErrorOf(ERROR_INVALID_NAME);
  while (directory.size() > 1 && (directory.back() == L'\\' || directory.back() == L'/')) {
    directory.pop_back();
  }
  if (IsRootPath(directory)) return SystemErrorOf(ERROR_INVALID_NAME);
  const std::wstring target = LongPath(Narrow(directory));
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  FirstFailure failure;
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    const bool removed = ::RemoveDirectoryW(target.c_str()) != FALSE;
    if (!removed) failure.Note();
    return failure.Of(removed);
  }
  return failure.Of(DeleteTreeBelow(target, readOnly, failure));
}

Outcome MoveDirectory(std::string_view from, std::string_view to) {
  if (::MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), 0)) return {};
  return LastSystemError();
}

bool DirectoryExists(std::string_view path) {
  const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace tidemoor
