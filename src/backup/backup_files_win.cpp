#include "backup/backup_files_win.h"

#include <windows.h>

#include "backup/backup_store_win.h"
#include "backup/file_copy_win.h"
#include "backup/folder_tree_win.h"
#include "platform/codepage_win.h"
#include "platform/date_time_win.h"
#include "platform/directories_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

// The reparse points that lead somewhere else. Others (a cloud file not yet downloaded, a
// deduplicated file) are the user's files and are copied through. Wine shows a Unix symbolic link
// to a directory as a reparse point without a tag.
bool IsLink(const WIN32_FIND_DATAW& entry) {
  constexpr DWORD kLinuxSymbolicLink = 0xA000001D;
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
  switch (entry.dwReserved0) {
    case IO_REPARSE_TAG_MOUNT_POINT:
    case IO_REPARSE_TAG_SYMLINK:
    case kLinuxSymbolicLink:
    case 0:
      return true;
    default:
      return false;
  }
}

uint64_t Combine(DWORD high, DWORD low) {
  return (uint64_t{high} << 32) | low;
}

}  // namespace

bool WindowsBackupFiles::Exists(const std::string& path) {
  return ::GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Outcome WindowsBackupFiles::ListDirectory(const std::string& path,
                                          std::vector<DirectoryEntry>& entries) {
  WIN32_FIND_DATAW found;
  UniqueFindHandle search(::FindFirstFileExW((LongPath(path) + L"\\*").c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH));
  if (!search) {
    SystemError error = LastSystemError();
    if (error.code == ERROR_FILE_NOT_FOUND) return {};  // an empty drive root
    return error;
  }
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    DirectoryEntry entry;
    entry.name = Narrow(name);
    if (IsLink(found)) {
      entry.kind = EntryKind::Link;
    } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry.kind = EntryKind::Directory;
    } else {
      entry.size = Combine(found.nFileSizeHigh, found.nFileSizeLow);
      entry.lastWrite =
          Combine(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime);
    }
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(search.get(), &found));
  SystemError error = LastSystemError();
  if (error.code == ERROR_NO_MORE_FILES) return {};
  return error;
}

// The volume's serial number and the directory's file index: the same pair however the path
// reaches it. Opening a directory follows the links on its way.
std::optional<std::string> WindowsBackupFiles::FolderIdentity(const std::string& path) {
  UniqueFileHandle folder(::CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!folder || !::GetFileInformationByHandle(folder.get(), &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return std::nullopt;
  }
  return std::to_string(information.dwVolumeSerialNumber) + ":" +
         std::to_string(Combine(information.nFileIndexHigh, information.nFileIndexLow));
}

Outcome WindowsBackupFiles::EnsureDirectory(const std::string& path) {
  return tidemoor::EnsureDirectory(path);
}

Outcome WindowsBackupFiles::MakeDirectory(const std::string& path, const std::string& model) {
  const std::wstring target = LongPath(path);
  if (!::CreateDirectoryW(target.c_str(), nullptr)) return LastSystemError();
  // Hidden or system folders stay so; a link-like attribute of the model is not carried over.
  constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD attributes = ::GetFileAttributesW(LongPath(model).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) != 0) {
    ::SetFileAttributesW(target.c_str(), attributes & kKept);
  }
  return {};
}

Outcome WindowsBackupFiles::CopyOneFile(const std::string& from, const std::string& to) {
  return CopyFileWithFullSharing(from, to);
}

bool WindowsBackupFiles::LinkFile(const std::string& existing, const std::string& link) {
  return ::CreateHardLinkW(LongPath(link).c_str(), LongPath(existing).c_str(), nullptr) != FALSE;
}

Outcome WindowsBackupFiles::DeleteTree(const std::string& path) {
  return DeleteDirectoryTree(path, ReadOnlyFiles::Delete);
}

Outcome WindowsBackupFiles::Rename(const std::string& from, const std::string& to) {
  return MoveDirectory(from, to);
}

std::optional<uint64_t> WindowsBackupFiles::FreeBytes(const std::string& path) {
  std::wstring directory = LongPath(path);
  if (directory.back() != L'\\') directory += L'\\';
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(directory.c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

Outcome WindowsBackupFiles::WriteIndex(const std::string& file, const PointIndex& index) {
  return WriteBackupIndex(file, index);
}

PointIndex WindowsBackupFiles::ReadIndex(const std::string& file) {
  return ReadBackupIndex(file);
}

Outcome WindowsBackupFiles::WriteTextFile(const std::string& file, const std::string& text) {
  return ReplaceWholeFile(file, text);
}

std::optional<std::string> WindowsBackupFiles::ReadTextFile(const std::string& file) {
  WholeFile read = ReadWholeFile(file);
  if (read.state != FileState::Read) return std::nullopt;
  return std::move(read.bytes);
}

void WindowsBackupFiles::DeleteOneFile(const std::string& file) {
  ::DeleteFileW(LongPath(file).c_str());
}

LocalDateTime WindowsBackupFiles::Now() {
  return LocalNow();
}

int64_t WindowsBackupFiles::MonotonicMilliseconds() {
  return static_cast<int64_t>(::GetTickCount64());
}

}  // namespace tidemoor
