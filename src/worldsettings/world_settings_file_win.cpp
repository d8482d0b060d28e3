#include "worldsettings/world_settings_file_win.h"

#include <string>

#include "app/program_state.h"
#include "platform/directories_win.h"
#include "platform/codepage_win.h"
#include "platform/message_box_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

// A file this short cannot hold an option list; the server leaves such files behind.
constexpr size_t kNearlyEmptyBytes = 10;

enum class FileState { Read, Missing, Unreadable };

struct FileContent {
  FileState state = FileState::Missing;
  std::string bytes;
};

FileContent ReadWholeFile(const std::string& path) {
  // Sharing everything: a text editor that holds the file open must not make it unreadable.
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return {missing ? FileState::Missing : FileState::Unreadable, {}};
  }
  FileContent content{FileState::Read, {}};
  char buffer[16384];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) {
      return {FileState::Unreadable, {}};
    }
    if (read == 0) break;
    content.bytes.append(buffer, read);
  }
  return content;
}

// Writes the bytes beside the file and moves them over it, so the file is either the old one or
// the whole new one, never a cut-off mix. A file the user marked read-only stays as it is: the
// move would replace it on some file systems, though writing into it never would.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;

  const std::wstring temporary = target + L".saving";
  {
    UniqueFileHandle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool complete = ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr) &&
                          written == bytes.size() && ::FlushFileBuffers(file.get());
    if (!complete) {
      file.reset();
      ::DeleteFileW(temporary.c_str());
      return false;
    }
  }
  if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

std::string SettingsFile() {
  return WorldSettingsFile(Program().Paths);
}

}  // namespace

bool EnsureWorldSettingsFile() {
  EnsureDirectory(WorldSettingsDir(Program().Paths));
  const FileContent content = ReadWholeFile(SettingsFile());
  if (content.state == FileState::Unreadable) return false;
  if (content.state == FileState::Missing || content.bytes.size() <= kNearlyEmptyBytes) {
    // A failed write leaves no file or the short one; loading then keeps the presets.
    ReplaceWholeFile(SettingsFile(), WorldSettingsTemplate());
  }
  return true;
}

bool LoadWorldSettings(WorldSettings& settings) {
  const FileContent content = ReadWholeFile(SettingsFile());
  if (content.state == FileState::Unreadable) return false;
  ApplyWorldSettingsText(content.bytes, settings);
  return true;
}

bool SaveWorldSettings(const WorldSettings& settings, HWND owner) {
  if (!ReplaceWholeFile(SettingsFile(), WorldSettingsFileText(settings))) {
    ShowMessage(owner, " 保存失败 - 无法写入 PalWorldSettings.ini ", " Error",
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return false;
  }
  ShowMessage(owner, " 已保存当前设置，需要重启服务端后生效 ", " Save", MB_OK | MB_TASKMODAL);
  return true;
}

void ShowWorldSettingsUnreadable(HWND owner) {
  ShowMessage(owner, " 无法读取 PalWorldSettings.ini - 请关闭占用该文件的程序后重试 ", " Error",
              MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace tidemoor
