#include "mods/mod_folders_win.h"

#include <windows.h>

#include <deque>

#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/recycle_bin_win.h"
#include "platform/system_error_win.h"
#include "platform/text.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

std::string Below(const std::string& root, const std::string& relative) {
  return relative.empty() ? root : root + "\\" + relative;
}

std::string Failure(std::string_view what, const std::string& path, const SystemError& error) {
  return WithCause(std::string(what) + " " + path, error);
}

bool IsLink(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The entries of one folder, "." and ".." left out; false when it cannot be read.
bool ReadFolder(const std::string& path, std::vector<WIN32_FIND_DATAW>& entries,
                SystemError& error) {
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileW(Widen(path + "\\*").c_str(), &entry));
  if (!search) {
    error = LastSystemError();
    return error.code == ERROR_FILE_NOT_FOUND;  // an empty drive root
  }
  do {
    const std::wstring_view name = entry.cFileName;
    if (name != L"." && name != L"..") entries.push_back(entry);
  } while (::FindNextFileW(search.get(), &entry));
  return true;
}

}  // namespace

FolderContent FolderContentOf(const std::string& root) {
  FolderContent content;
  std::deque<std::string> waiting{""};
  while (!waiting.empty()) {
    const std::string relative = std::move(waiting.front());
    waiting.pop_front();
    std::vector<WIN32_FIND_DATAW> entries;
    SystemError error;
    if (!ReadFolder(Below(root, relative), entries, error)) {
      content.failure = Failure("无法读取", Below(root, relative), error);
      return content;
    }
    for (const WIN32_FIND_DATAW& entry : entries) {
      if (IsLink(entry.dwFileAttributes)) continue;
      const std::string path = Below(relative, Narrow(entry.cFileName));
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        content.folders.push_back(path);
        waiting.push_back(path);
      } else {
        content.files.push_back(path);
      }
    }
  }
  return content;
}

FolderFailure CopyFolderContent(const std::string& from, const FolderContent& content,
                                const std::string& to, const FilesDone& progress) {
  for (const std::string& folder : content.folders) {
    if (Outcome made = EnsureDirectory(Below(to, folder)); !made) {
      return Failure("无法创建", Below(to, folder), made.Error());
    }
  }
  const int total = static_cast<int>(content.files.size());
  for (int done = 0; done < total; ++done) {
    const std::string& file = content.files[done];
    if (!::CopyFileW(Widen(Below(from, file)).c_str(), Widen(Below(to, file)).c_str(), TRUE)) {
      return Failure("无法复制", Below(from, file), LastSystemError());
    }
    progress(done + 1, total);
  }
  return std::nullopt;
}

FolderFailure UnpackArchive(const ArchiveImportPlan& plan, const std::string& to,
                            const FilesDone& progress) {
  int total = 0;
  for (const PlacedEntry& placed : plan.entries) total += placed.entry.isFolder ? 0 : 1;
  int done = 0;
  for (const PlacedEntry& placed : plan.entries) {
    const std::string target = Below(to, placed.target);
    const size_t slash = target.rfind('\\');
    const std::string folder = placed.entry.isFolder ? target : target.substr(0, slash);
    if (Outcome made = EnsureDirectory(folder); !made) {
      return Failure("无法创建", folder, made.Error());
    }
    if (placed.entry.isFolder) continue;
    const std::optional<std::string> bytes = UnpackZipEntry(placed.entry);
    if (!bytes) return "压缩包中的 " + EscapeControlCharacters(placed.target, 120) + " 已损坏";
    if (Outcome written = WriteNewWholeFile(target, *bytes); !written) {
      return Failure("无法写入", target, written.Error());
    }
    progress(++done, total);
  }
  return std::nullopt;
}

void RemoveOwnFolder(const std::string& path) {
  std::vector<std::string> folders{path};
  for (size_t next = 0; next < folders.size(); ++next) {
    std::vector<WIN32_FIND_DATAW> entries;
    SystemError error;
    ReadFolder(folders[next], entries, error);
    for (const WIN32_FIND_DATAW& entry : entries) {
      const std::string below = folders[next] + "\\" + Narrow(entry.cFileName);
      const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      const bool link = IsLink(entry.dwFileAttributes);
      // A copy keeps the read-only mark of Steam's file, which would keep it from going; a link's
      // target keeps its own.
      if (!link) ::SetFileAttributesW(Widen(below).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (folder && !link) {
        folders.push_back(below);
      } else if (folder) {
        ::RemoveDirectoryW(Widen(below).c_str());
      } else {
        ::DeleteFileW(Widen(below).c_str());
      }
    }
  }
  // The deepest first, each once what it held has gone.
  for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
    ::RemoveDirectoryW(Widen(*folder).c_str());
  }
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FolderFailure PutInPlace(const std::string& finished, const std::string& target, bool replace) {
  if (::GetFileAttributesW(Widen(target).c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (!replace) return Failure("已存在:", target, SystemErrorOf(ERROR_ALREADY_EXISTS));
    if (Outcome recycled = MoveToRecycleBin(target); !recycled) {
      return Failure("无法把旧版本移到回收站:", target, recycled.Error());
    }
  }
  if (!::MoveFileExW(Widen(finished).c_str(), Widen(target).c_str(), 0)) {
    return Failure("无法移动到", target, LastSystemError());
  }
  return std::nullopt;
}

}  // namespace tidemoor
