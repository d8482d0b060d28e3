#include "platform/directory_listing_win.h"

#include <windows.h>

#include <functional>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

std::wstring WithBackslash(std::string_view path) {
  std::wstring wide = Widen(path);
  if (wide.empty() || wide.back() != L'\\') wide.push_back(L'\\');
  return wide;
}

bool IsDotEntry(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') ||
         (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// Calls found for every directory entry but "." and ".." until it answers false.
void ForEachSubdirectory(const std::wstring& directory,
                         const std::function<bool(const wchar_t* name)>& found) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileW((directory + L"*.*").c_str(), &entry));
  if (!search) return;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
    if (!found(entry.cFileName)) return;
  } while (::FindNextFileW(search.get(), &entry));
}

}  // namespace

int ListDirectories(std::string_view path, std::vector<std::string>& output, bool withFullPath,
                    bool recursive) {
  const std::wstring directory = WithBackslash(path);
  const std::string prefix = Narrow(directory);
  std::vector<std::string> names;
  ForEachSubdirectory(directory, [&](const wchar_t* name) {
    if (!IsDotEntry(name)) {
      names.push_back(Narrow(name));
      output.push_back(withFullPath ? prefix + names.back() : names.back());
    }
    return true;
  });

  int count = static_cast<int>(names.size());
  if (recursive) {
    // Junction cycles end where paths reach the length the search functions take.
    for (const std::string& name : names) {
      if (HasSubdirectories(prefix + name)) {
        count += ListDirectories(prefix + name, output, withFullPath, recursive);
      }
    }
  }
  return count;
}

bool HasSubdirectories(std::string_view path) {
  bool found = false;
  ForEachSubdirectory(WithBackslash(path), [&](const wchar_t* name) {
    found = !IsDotEntry(name);
    return !found;
  });
  return found;
}

}  // namespace tidemoor
