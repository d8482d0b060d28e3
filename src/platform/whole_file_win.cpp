#include "platform/whole_file_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

Outcome WriteAndFlush(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return LastSystemError();
    if (written == 0) return SystemErrorOf(ERROR_WRITE_FAULT);
    bytes.remove_prefix(written);
  }
  // The move below may reach the disk before the data would on its own; after a power cut the
  // file must not be the right size and full of zeros.
  if (!::FlushFileBuffers(file)) return LastSystemError();
  return {};
}

// The bytes go to a file beside the target, which is then moved into place in one step.
Outcome WriteBesideThenMove(const std::wstring& target, std::string_view bytes, DWORD moveFlags) {
  const std::wstring temporary = target + L".saving";
  {
    UniqueFileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastSystemError();
    Outcome written = WriteAndFlush(file.get(), bytes);
    if (!written) {
      file.reset();
      ::DeleteFileW(temporary.c_str());
      return written;
    }
  }
  if (!::MoveFileExW(temporary.c_str(), target.c_str(), moveFlags)) {
    const SystemError error = LastSystemError();
    ::DeleteFileW(temporary.c_str());
    return error;
  }
  return {};
}

}  // namespace

WholeFile ReadWholeFile(std::string_view path, size_t maxBytes) {
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    SystemError error = LastSystemError();
    const bool missing = error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND;
    return {missing ? FileState::Missing : FileState::Unreadable, {}, std::move(error)};
  }
  WholeFile content{FileState::Read, {}};
  char buffer[16384];
  for (;;) {
    const size_t room = maxBytes - content.bytes.size();
    const auto wanted = static_cast<DWORD>(room < sizeof(buffer) ? room + 1 : sizeof(buffer));
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, wanted, &read, nullptr)) {
      return {FileState::Unreadable, {}, LastSystemError()};
    }
    if (read == 0) break;
    if (read > room) return {FileState::Unreadable, {}, SystemErrorOf(ERROR_FILE_TOO_LARGE)};
    content.bytes.append(buffer, read);
  }
  return content;
}

// A read-only file is left alone explicitly: the move would replace it on some file systems,
// where writing into it never would.
Outcome ReplaceWholeFile(std::string_view path, std::string_view bytes) {
  const std::wstring target = Widen(path);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return SystemErrorOf(ERROR_ACCESS_DENIED);
  }

  return WriteBesideThenMove(target, bytes, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

Outcome WriteNewWholeFile(std::string_view path, std::string_view bytes) {
  return WriteBesideThenMove(Widen(path), bytes, MOVEFILE_WRITE_THROUGH);
}

Outcome WriteWholeFile(std::string_view path, std::string_view bytes) {
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastSystemError();
  return WriteAndFlush(file.get(), bytes);
}

}  // namespace tidemoor
