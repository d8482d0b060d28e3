#include "install/install_files_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1 << 20));
    if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

bool WriteNewFileCompletely(const std::string& path, std::string_view bytes) {
  const std::wstring temporary = Widen(path + ".partial");
  const bool done = WriteWholeFile(path + ".partial", bytes) &&
                    ::MoveFileExW(temporary.c_str(), Widen(path).c_str(), MOVEFILE_WRITE_THROUGH);
  if (!done) ::DeleteFileW(temporary.c_str());
  return done;
}

}  // namespace tidemoor
