#include "platform/directories_win.h"

#include <windows.h>
#include <shlwapi.h>

#include <optional>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {

std::string ToolExecutable() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Narrow(path);
}

std::string ToolDirectory() {
  std::string path = ToolExecutable();
  const size_t slash = path.find_last_of('\\');
  if (slash != std::string::npos) path.resize(slash);
  return path;
}

void SetCurrentDirectoryTo(std::string_view directory) {
  std::wstring wide = Widen(directory);
  if (!wide.empty() && wide.back() == L':') wide += L'\\';
  ::SetCurrentDirectoryW(wide.c_str());
}

Outcome EnsureDirectory(std::string_view path) {
  const std::wstring wide = Widen(path);
  // An existing directory is no failure; the first other one is what kept the rest from being made.
  std::optional<SystemError> first;
  const auto create = [&first](const std::wstring& directory) {
    if (::CreateDirectoryW(directory.c_str(), nullptr) || first) return;
    SystemError error = LastSystemError();
    if (error.code != ERROR_ALREADY_EXISTS) first = std::move(error);
  };
  if (wide.size() >= 3) {
    // Every prefix before a backslash but the first (the drive root's) is created in turn, then
    // the whole path; failures are passed over, the directory test below tells the outcome.
    int backslashes = 0;
    for (size_t i = 0; i < wide.size(); ++i) {
      if (wide[i] != L'\\') continue;
      if (backslashes++ > 0) create(wide.substr(0, i));
    }
    create(wide);
  }
  if (::PathIsDirectoryW(wide.c_str()) == FILE_ATTRIBUTE_DIRECTORY) return {};
  return first ? *first
               : SystemErrorOf(wide.size() < 3 ? ERROR_INVALID_NAME : ERROR_ALREADY_EXISTS);
}

}  // namespace tidemoor
