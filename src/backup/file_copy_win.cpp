#include "backup/file_copy_win.h"

#include <windows.h>

#include <memory>

#include "backup/folder_tree_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

constexpr DWORD kEverySharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A new file is ready for archiving anyway; a file with none of these keeps its attributes as
// made, which spares Wine rewriting them on every copy.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                    FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// As CopyFileExW reads: under Wine a larger buffer made small files slower to copy (the heap does
// not reuse it), and one for a whole world took twice as long (it falls out of the cache).
constexpr DWORD kPiece = 64 << 10;

// The cause of a failure, with the half-written target removed as its handle closes.
SystemError Abandon(HANDLE target, SystemError cause) {
  FILE_DISPOSITION_INFO dispose{TRUE};
  ::SetFileInformationByHandle(target, FileDispositionInfo, &dispose, sizeof dispose);
  return cause;
}

// Reads the next piece, as much as fits; an empty piece at the end of the file.
bool ReadPiece(HANDLE source, char* buffer, DWORD capacity, DWORD& length) {
  length = 0;
  while (length < capacity) {
    DWORD read = 0;
    if (!::ReadFile(source, buffer + length, capacity - length, &read, nullptr)) return false;
    if (read == 0) break;
    length += read;
  }
  return true;
}

// Every byte the source holds now, written to the target; the source is held for as long as its
// bytes take to copy and closed once its last piece is read. False with the thread's last error.
bool CopyContents(UniqueFileHandle& source, HANDLE target) {
  const auto buffer = std::make_unique_for_overwrite<char[]>(kPiece);
  for (;;) {
    DWORD length = 0;
    if (!ReadPiece(source.get(), buffer.get(), kPiece, length)) return false;
    if (length < kPiece) source.reset();
    DWORD written = 0;
    if (length > 0 && !::WriteFile(target, buffer.get(), length, &written, nullptr)) return false;
    if (written != length) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    if (!source) return true;
  }
}

}  // namespace

Outcome CopyFileWithFullSharing(std::string_view from, std::string_view to) {
  UniqueFileHandle source(::CreateFileW(LongPath(from).c_str(), GENERIC_READ, kEverySharing,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                        nullptr));
  FILE_BASIC_INFO basic{};
  if (!source ||
      !::GetFileInformationByHandleEx(source.get(), FileBasicInfo, &basic, sizeof basic)) {
    return LastSystemError();
  }
  UniqueFileHandle target(::CreateFileW(LongPath(to).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target) return LastSystemError();
  if (!CopyContents(source, target.get())) {
    return Abandon(target.get(), LastSystemError());
  }
  // Zero leaves a time or the attributes as they are; the change time is the target's own.
  basic.ChangeTime.QuadPart = 0;
  basic.FileAttributes &= kCopiedAttributes;
  if (!::SetFileInformationByHandle(target.get(), FileBasicInfo, &basic, sizeof basic)) {
    return Abandon(target.get(), LastSystemError());
  }
  return {};
}

}  // namespace tidemoor
